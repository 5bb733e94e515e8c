// Times the export of a whole year of one class and subject (every period ticked) through
// the export wizard, from its first page to its result page painted, beside the same work
// done with plain SQLite: the series list read, a new keyed file with the same tables, the
// same reads and inserts in one transaction.
//
//   bench_exchange [file]    (default: <temp>/quibolet-bench.dat, generated when missing)
#include "BenchKit.h"

#include "controls/vskTab.h"
#include "exchange/frmExport.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FormInstance.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using bench::sink;

constexpr int kClassPosition = 15, kSubjectPosition = 6;

// The plain export: statements of the gradebook prepared once; the file made anew.
class PlainExport {
public:
    explicit PlainExport(const bench::Plain& gradebook)
        : m_list(gradebook.prepare("SELECT * FROM \"Séries\" WHERE \"NumClass\" = ? AND \"NumMat\" = ? "
                                   "ORDER BY \"Période\", \"Date\"")),
          m_students(gradebook.prepare("SELECT \"NumElv\", \"Nom\", \"Prénom\" FROM \"Elèves\" WHERE \"NumClass\" = ?")),
          m_series(gradebook.prepare("SELECT \"NumSérie\", \"Nom\", \"Sur\", \"Coefficient\", \"Date\", \"Période\" "
                                     "FROM \"Séries\" WHERE \"NumClass\" = ? AND \"NumMat\" = ? AND \"Période\" = ?")),
          m_notes(gradebook.prepare("SELECT \"Note\", \"NumSérie\", \"NumElv\" FROM \"Notes\" WHERE \"NumSérie\" = ?")) {}

    void run(const QString& path, int classKey, int subjectKey) {
        sqlite3_bind_int(m_list.get(), 1, classKey);
        sqlite3_bind_int(m_list.get(), 2, subjectKey);
        bench::readAll(m_list);

        const bench::Plain file(path, true);
        sqlite3_exec(file.h,
                     "BEGIN;"
                     "CREATE TABLE __Properties (Name TEXT PRIMARY KEY, Type INTEGER, Value);"
                     "CREATE TABLE \"Elèves\" (\"NumElv\" INTEGER, \"NumElvIn\" INTEGER, \"Nom\" VARCHAR, "
                     "\"Prénom\" VARCHAR, PRIMARY KEY (\"NumElv\"));"
                     "CREATE INDEX \"Elèves.NomPrénom\" ON \"Elèves\" (\"Nom\", \"Prénom\");"
                     "CREATE TABLE \"Notes\" (\"Note\" FLOAT, \"NumSérie\" INTEGER, \"NumElv\" INTEGER, "
                     "PRIMARY KEY (\"NumSérie\", \"NumElv\"));"
                     "CREATE INDEX \"Notes.NumSérie\" ON \"Notes\" (\"NumSérie\");"
                     "CREATE INDEX \"Notes.NumElv\" ON \"Notes\" (\"NumElv\");"
                     "CREATE TABLE \"Séries\" (\"NumSérie\" INTEGER, \"Nom\" VARCHAR, \"Sur\" TINYINT, "
                     "\"Coefficient\" TINYINT, \"Date\" DATETIME, \"Période\" TINYINT, PRIMARY KEY (\"NumSérie\"));"
                     "CREATE INDEX \"Séries.PériodeDate\" ON \"Séries\" (\"Période\", \"Date\");"
                     "INSERT INTO __Properties VALUES ('App', 10, 'Vorsk App Quibolet Export'), ('VersionID', 10, '1.2.2'),"
                     "('Classe', 10, 'Classe 15'), ('Matière', 10, 'Matière 6'), ('Commentaire', 12, 'Aucun commentaire'),"
                     "('Importé', 1, 0);",
                     nullptr, nullptr, nullptr);
        const db::sqlite::Statement student = file.prepare("INSERT INTO \"Elèves\" (\"NumElv\", \"Nom\", \"Prénom\") VALUES (?, ?, ?)");
        const db::sqlite::Statement series = file.prepare("INSERT INTO \"Séries\" VALUES (?, ?, ?, ?, ?, ?)");
        const db::sqlite::Statement note = file.prepare("INSERT INTO \"Notes\" VALUES (?, ?, ?)");
        sqlite3_bind_int(m_students.get(), 1, classKey);
        copy(m_students, student, 3);
        QList<int> keys;
        for (int period = 1; period <= 3; ++period) {
            sqlite3_bind_int(m_series.get(), 1, classKey);
            sqlite3_bind_int(m_series.get(), 2, subjectKey);
            sqlite3_bind_int(m_series.get(), 3, period);
            while (sqlite3_step(m_series.get()) == SQLITE_ROW) {
                keys << sqlite3_column_int(m_series.get(), 0);
                copyRow(m_series, series, 6);
            }
            sqlite3_reset(m_series.get());
        }
        for (int key : keys) {
            sqlite3_bind_int(m_notes.get(), 1, key);
            copy(m_notes, note, 3);
        }
        sqlite3_exec(file.h, "COMMIT", nullptr, nullptr, nullptr);
    }

private:
    static void copyRow(const db::sqlite::Statement& from, const db::sqlite::Statement& to, int columns) {
        for (int c = 0; c < columns; ++c) sqlite3_bind_value(to.get(), c + 1, sqlite3_column_value(from.get(), c));
        sqlite3_step(to.get());
        sqlite3_reset(to.get());
    }
    static void copy(const db::sqlite::Statement& from, const db::sqlite::Statement& to, int columns) {
        while (sqlite3_step(from.get()) == SQLITE_ROW) copyRow(from, to, columns);
        sqlite3_reset(from.get());
    }

    db::sqlite::Statement m_list, m_students, m_series, m_notes;
};

}  // namespace

int main(int argc, char** argv) {
    // Exchange files go to the documents of a home of the bench's own.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    bench::WindowBench window(argc, argv);
    frmMain& main = *window.main;
    if (!main.OpenAFile(window.path)) return 1;
    main.vskTab_HeaderClick(kClassPosition);
    main.vskTab_ItemClick(kClassPosition, kSubjectPosition);
    const int classKey = main.vskTab->SectionAt(kClassPosition).Tag().toInt();
    const int subjectKey = main.vskTab->SectionAt(kClassPosition).SelectedItem().Tag().toInt();
    const QString folder = platform::paths::exportFolder();

    bench::Plain plain(window.path);
    PlainExport plainExport(plain);
    QTemporaryDir plainFolder;

    bench::printHeader();
    bench::compare("export a whole year (3 periods, 40 series)", 3, [&](int) {
        frmExport& wizard = platform::Form<frmExport>::get();
        wizard.PopulateClassMat(main, mUtilities::gDB);
        wizard.show();
        wizard.cmdAction[1]->click();
        wizard.cmdAction[1]->click();
        for (int i = 0; i < wizard.lisPériodes->count(); ++i) wizard.lisPériodes->item(i)->setCheckState(Qt::Checked);
        wizard.cmdAction[1]->click();
        wizard.repaint();
        sink += wizard.writtenFile().size();
        QFile::remove(wizard.writtenFile());
        platform::Form<frmExport>::unload();
        QCoreApplication::sendPostedEvents();
    }, [&](int) {
        const QString path = plainFolder.filePath(QStringLiteral("Notes Export 0001.dat"));
        plainExport.run(path, classKey, subjectKey);
        QFile::remove(path);
    });
    std::printf("(files written in %s)\n\n(checksum %g)\n", qPrintable(folder), sink);
    return 0;
}
