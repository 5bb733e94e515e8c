// Times what the teacher waits for on the import wizard's summary page: a file of 40 series
// of a class of 35 students imported into the large gradebook (the plan checked, the
// series and grades written in one transaction, the file marked as imported) and the
// wizard's result page painted. Beside it, the same inserts with plain SQLite statements in
// one transaction.
//
//   bench_import [file]    (default: <temp>/quibolet-bench.dat, generated when missing;
//                          the import goes into a copy)
#include "BenchKit.h"

#include "controls/vskTab.h"
#include "exchange/ExchangeFile.h"
#include "exchange/ImportGrades.h"
#include "exchange/frmImport.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using bench::sink;

constexpr int kClassPosition = 15, kSubjectPosition = 6;

// The plain import: the new series and the grades of the students kept, by the keys the
// plan gives.
class PlainImport {
public:
    explicit PlainImport(const bench::Plain& gradebook)
        : m_plain(gradebook),
          m_series(gradebook.prepare("INSERT INTO \"Séries\" (\"Nom\", \"Sur\", \"Coefficient\", \"Date\", \"Période\", "
                                     "\"NumMat\", \"NumClass\", \"Colonne\") VALUES (?, ?, ?, ?, ?, ?, ?, 600)")),
          m_note(gradebook.prepare("INSERT INTO \"Notes\" (\"Note\", \"NumSérie\", \"NumElv\") VALUES (?, ?, ?)")) {}

    void run(const exchangefile::Contents& file, const QHash<qint32, qint32>& receiver, int classKey, int subjectKey) {
        sqlite3_exec(m_plain.h, "BEGIN", nullptr, nullptr, nullptr);
        for (const exchangefile::Series& s : file.series) {
            const QByteArray name = s.nom.toUtf8(), date = s.date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
            sqlite3_bind_text(m_series.get(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(m_series.get(), 2, s.sur);
            sqlite3_bind_int(m_series.get(), 3, s.coefficient);
            sqlite3_bind_text(m_series.get(), 4, date.constData(), int(date.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(m_series.get(), 5, s.period);
            sqlite3_bind_int(m_series.get(), 6, subjectKey);
            sqlite3_bind_int(m_series.get(), 7, classKey);
            sqlite3_step(m_series.get());
            sqlite3_reset(m_series.get());
            const qint64 key = sqlite3_last_insert_rowid(m_plain.h);
            for (const exchangefile::Grade& g : file.grades) {
                if (g.numSerie != s.numSerie || !receiver.contains(g.numElv)) continue;
                sqlite3_bind_double(m_note.get(), 1, g.note);
                sqlite3_bind_int64(m_note.get(), 2, key);
                sqlite3_bind_int(m_note.get(), 3, receiver.value(g.numElv));
                sqlite3_step(m_note.get());
                sqlite3_reset(m_note.get());
            }
        }
        sqlite3_exec(m_plain.h, "COMMIT", nullptr, nullptr, nullptr);
    }

private:
    const bench::Plain& m_plain;
    db::sqlite::Statement m_series, m_note;
};

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir work;
    bench::WindowBench window(argc, argv);
    const QString copy = work.filePath(QStringLiteral("carnet.dat"));
    if (!QFile::copy(window.path, copy)) return 1;
    frmMain& main = *window.main;
    if (!main.OpenAFile(copy)) return 1;
    mUtilities::gDB.awaitIntegrity();  // the opening's check, done while the first grid is read
    main.vskTab_HeaderClick(kClassPosition);
    main.vskTab_ItemClick(kClassPosition, kSubjectPosition);
    const int classKey = main.vskTab->SectionAt(kClassPosition).Tag().toInt();
    const int subjectKey = main.vskTab->SectionAt(kClassPosition).SelectedItem().Tag().toInt();

    // The file: every series of that class and subject, sent back to the same gradebook,
    // whose students it matches by name.
    const QString path = exchangefile::write(mUtilities::gDB, {classKey, subjectKey, QStringLiteral("Classe"),
                                                               QStringLiteral("Matière"), {}, {1, 2, 3}},
                                             work.filePath(QStringLiteral("Export")));
    const db::Database file = db::Database::OpenDatabase(path, gradebook::databasePassword());
    const exchangefile::Contents contents = exchangefile::read(file);
    const QList<importgrades::Decision> plan =
        importgrades::autoMatch(contents.students, importgrades::readStudents(mUtilities::gDB));
    QHash<qint32, qint32> receiver;
    for (int i = 0; i < plan.size(); ++i) receiver.insert(contents.students[i].numElv, plan[i].numElv);
    std::printf("%lld series, %lld students, %lld grades; %d students matched\n", qint64(contents.series.size()),
                qint64(contents.students.size()), qint64(contents.grades.size()), importgrades::processed(plan));

    bench::Plain plain(copy);
    PlainImport plainImport(plain);
    // The wizard on its summary page, over the main window.
    frmImport wizard;
    wizard.prepare(mUtilities::gDB, main);
    wizard.fraImport[0]->hide();
    wizard.fraImport[2]->show();
    wizard.show();

    bench::printHeader();
    bench::compare("import 40 series x 35 students", 3, [&](int) {
        sink += importgrades::refusals(mUtilities::gDB, contents.students, plan).size();
        const importgrades::Result result = importgrades::importMarked(mUtilities::gDB, file, contents, plan, subjectKey);
        wizard.fraImport[2]->hide();
        wizard.lblEti[13]->setText(QStringLiteral("Importation terminée avec succès."));
        wizard.fraImport[3]->show();
        wizard.repaint();
        wizard.fraImport[3]->hide();
        wizard.fraImport[2]->show();
        sink += result.grades;
    }, [&](int) { plainImport.run(contents, receiver, classKey, subjectKey); });
    std::printf("\n(checksum %g)\n", sink);
    return 0;
}
