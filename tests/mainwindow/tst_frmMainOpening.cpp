// Opening files that a teacher may meet on a USB stick or receive from someone else: damaged,
// read-only, held by another program, or crafted. Each is refused with a message that says
// why, and nothing is written to it; a file that is sound opens.
#include "DbTestSupport.h"
#include "FileRights.h"
#include "GradebookBuilder.h"
#include "UiHelpers.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FormInstance.h"
#include "platform/Modal.h"
#include "platform/db/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::Form;
using namespace testsupport;

namespace {

const QString kReadOnly = u"Impossible d'ouvrir ce carnet de notes.\nLe fichier ou son dossier est en lecture seule."_s;
const QString kDamaged = u"Impossible d'ouvrir ce carnet de notes.\nLe fichier est endommagé."_s;
const QString kBusy = u"Impossible d'ouvrir ce carnet de notes.\nLe fichier est utilisé par un autre programme."_s;
const QString kNotValid = u"Ce fichier n'est pas un carnet de notes valide."_s;
const QString kCannotOpen =
    u"Impossible d'ouvrir ce carnet de notes.\nIl ne s'agit sans doute pas d'un carnet de notes valide."_s;

constexpr int kPage = 1024;  // the page size of the files

const QByteArray kKey = gradebook::databasePassword().toUtf8();

// The definition of "Séries" in the file, one text changed.
QByteArray changeDefinition(const char* from, const char* to) {
    return QByteArray("UPDATE __TableDefs SET Definition = replace(Definition, '") + from + "', '" + to
         + "') WHERE Name = 'Séries'";
}

void overwrite(const QString& file, qint64 at, const QByteArray& bytes) {
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(at));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Files that lie beside `file` and would show that something was written (a journal).
QStringList leftovers(const QString& file) {
    const QFileInfo info(file);
    return QDir(info.absolutePath()).entryList({info.fileName() + u"-*"_s}, QDir::Files | QDir::Hidden);
}

}  // namespace

class tst_frmMainOpening : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_base;
    int m_rows = 0;

    // A fresh copy of the sound gradebook in a folder of its own.
    QString copyOfBase(const QString& name) {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        const QString file = folder + u"/carnet.dat"_s;
        QFile::remove(file);
        QFile::copy(m_base, file);
        return file;
    }

    // Opens the file through the main window, answering the one message it may show.
    // Returns the message ("" when the file opened).
    QString open(frmMain& main, const QString& file) {
        platform::ModalTestScope scope;
        QString message;
        scope.push([&](QWidget& w) {
            auto* box = qobject_cast<QMessageBox*>(&w);
            QVERIFY(box && box->icon() == QMessageBox::Critical);
            message = box->text();
            clickButton(w, u"OK"_s);
        });
        bool opened = main.OpenAFile(file);
        // A file damaged where opening does not read is refused once the walk of the whole file is over.
        if (opened && dbError([] { mUtilities::gDB.awaitIntegrity(); }) >= 0)
            opened = !QTest::qWaitFor([] { return !mUtilities::gDB.isOpen(); });
        if (opened != message.isEmpty()) qWarning("opened %d with message %s", opened, qPrintable(message));
        return opened ? QString() : message;
    }

    // Every class and subject of the open gradebook shown in turn.
    void showEverything(frmMain& main) {
        for (int s = 1; s <= main.vskTab->SectionCount(); ++s)
            for (int i = 1; i <= main.vskTab->SectionAt(s).ItemCount(); ++i) main.selectClassAndSubject(s, i);
    }

private slots:
    void initTestCase() {
        m_base = m_dir.filePath(u"base.dat"_s);
        GradebookBuilder b(m_base);
        const int cls = b.addClass(u"Sixième A"_s, u"6e A"_s);
        const int maths = b.addSubject(u"Mathématiques"_s), french = b.addSubject(u"Français"_s);
        QList<int> students;
        for (int i = 0; i < 12; ++i) students << b.addStudent(cls, u"Élève %1"_s.arg(i), u"Prénom"_s);
        for (int s = 0; s < 6; ++s) {
            const int series = b.addSeries(cls, s % 2 ? maths : french, u"Contrôle %1"_s.arg(s), 20, 1, 1 + s % 3);
            for (int e = 0; e < students.size(); ++e) b.addGrade(series, students[e], (e * 7 + s) % 21);
        }
        b.close();
        m_rows = int(QFileInfo(m_base).size() / kPage);
    }

    void cleanup() {
        Form<frmMain>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void refusedFiles_data() {
        QTest::addColumn<QByteArray>("damage");  // SQL run on the file, or a change of its bytes or rights
        QTest::addColumn<bool>("older");         // the SQL compares texts as an older engine did
        QTest::addColumn<QString>("message");
        const auto row = [](const char* tag, const QByteArray& damage, const QString& message, bool older = false) {
            QTest::newRow(tag) << damage << older << message;
        };
        row("read-only file", "chmod file", kReadOnly);
        row("read-only folder", "chmod folder", kReadOnly);
        row("another program writing it", "lock", kBusy);
        row("a byte flipped in a page of grades", "flip", kDamaged);
        row("a page zeroed", "zero", kDamaged);
        row("truncated", "truncate", kDamaged);
        row("a trigger deleting every grade", "CREATE TRIGGER t AFTER INSERT ON Notes BEGIN DELETE FROM Notes; END", kNotValid);
        row("a view", "CREATE VIEW v AS SELECT * FROM Notes", kNotValid);
        row("a table of its own", "CREATE TABLE Journal (x)", kNotValid);
        row("an index of its own", "CREATE INDEX \"Notes.Note\" ON Notes (Note)", kNotValid);
        row("a unique index dropped", "DROP INDEX \"Classes.Nom abrégé\"", kNotValid);
        row("grades rebuilt without their rules",
            "DROP TABLE Notes; CREATE TABLE \"Notes\" (\"Note\" FLOAT, \"NumSérie\" INTEGER, \"NumElv\" INTEGER, "
            "PRIMARY KEY (\"NumSérie\", \"NumElv\")); CREATE INDEX \"Notes.NumSérie\" ON \"Notes\" (\"NumSérie\");"
            "CREATE INDEX \"Notes.NumElv\" ON \"Notes\" (\"NumElv\")",
            kNotValid);
        row("a period rule up to 1e300", changeDefinition("\"between\":[1,3]", "\"between\":[1,1e300]"), kNotValid);
        row("a field of no known type", changeDefinition("\"type\":2", "\"type\":99"), kNotValid);
        row("a definition cut short", changeDefinition("]}", ""), kNotValid);
        row("a text field of 100000 characters", changeDefinition("\"size\":30", "\"size\":100000"), kNotValid);
        row("decimals of 1e300", "UPDATE __Properties SET Value = 1e300 WHERE Name = 'Moyenne'", kNotValid);
        // Names indexed by an older comparison that told a combining accent from a precomposed one.
        row("a name out of its index's order", "INSERT INTO Elèves (Nom, Prénom, NumClass) VALUES ('E\u0301mile', 'A', 1)",
            kDamaged, true);
        row("a subject twice in a unique index", "INSERT INTO Matières VALUES (0, 'Mathe\u0301matiques')", kDamaged, true);
        // Refused once the conversion that a version 1.2 asks for was accepted.
        const QByteArray version12 = "; UPDATE __Properties SET Value = '1.2' WHERE Name = 'VersionID'";
        row("version 1.2 without its decimals", "DELETE FROM __Properties WHERE Name = 'Moyenne'" + version12, kCannotOpen);
        row("version 1.2 without its password", "DELETE FROM __Properties WHERE Name = 'Passe'" + version12, kCannotOpen);
        row("version 1.2 with a period 7",
            "PRAGMA ignore_check_constraints = 1; UPDATE Séries SET Période = 7 WHERE rowid = 3" + version12, kCannotOpen);
    }

    void refusedFiles() {
        QFETCH(QByteArray, damage);
        QFETCH(bool, older);
        QFETCH(QString, message);
        const QString file = copyOfBase(QString::fromLatin1(QTest::currentDataTag()));
        const QString folder = QFileInfo(file).absolutePath();
        const qint64 size = QFileInfo(file).size();
        sqlite3* locker = nullptr;
        if (damage == "chmod file") {
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        } else if (damage == "chmod folder") {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (damage == "lock") {
            // Another program in the middle of writing: it holds the file for itself.
            sqlite3_open(QFile::encodeName(file).constData(), &locker);
            sqlite3_key(locker, kKey.constData(), int(kKey.size()));
            QCOMPARE(sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else if (damage == "flip") {
            overwrite(file, size - kPage / 2, QByteArray(1, '\xa5'));
        } else if (damage == "zero") {
            overwrite(file, 4 * kPage, QByteArray(kPage, '\0'));
        } else if (damage == "truncate") {
            QVERIFY(QFile::resize(file, size / 2));
        } else {
            QCOMPARE(rawExec(file, kKey, damage.constData(), older), SQLITE_OK);
        }
        const QByteArray before = fileBytes(file);
        frmMain& main = Form<frmMain>::get();
        mUtilities::setConversionQuestion([](const QString&, const QString&) { return u"1"_s; });
        QString shown;
        {
            FileRightsEnforced rights;
            shown = open(main, file);
        }
        if (locker) {
            sqlite3_exec(locker, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(locker);
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(shown, message);
        QVERIFY(!mUtilities::gDB.isOpen());
        QCOMPARE(main.windowTitle(), u"Carnet de notes"_s);
        // With no gradebook open, what needs one does nothing.
        main.Message(&main, mSubClass::WM_COMMAND, commands::RenameSubject, 0);
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(leftovers(file), QStringList());
    }

    // A few hundred files damaged at random (with a fixed seed, so that a failure comes back):
    // each is refused with a message, writing nothing, or opens and shows every grid.
    void damagedCorpus() {
        QRandomGenerator random(20261207);
        const QByteArray sound = fileBytes(m_base);
        const QStringList refusals{kDamaged, kNotValid, kCannotOpen};
        const QString file = copyOfBase(u"corpus"_s);
        QMap<QString, int> answers;
        frmMain& main = Form<frmMain>::get();
        QCOMPARE(open(main, copyOfBase(u"sound"_s)), QString());  // the sound file opens
        for (int n = 0; n < 200; ++n) {
            QByteArray bytes = sound;
            switch (n % 3) {
            case 0:  // cut anywhere
                bytes.truncate(random.bounded(bytes.size()));
                break;
            case 1:  // up to four bytes flipped
                for (int i = 0, count = 1 + random.bounded(4); i < count; ++i)
                    bytes[random.bounded(bytes.size())] ^= char(1 + random.bounded(255));
                break;
            case 2:  // a page zeroed
                bytes.replace(random.bounded(m_rows) * kPage, kPage, QByteArray(kPage, '\0'));
                break;
            }
            QVERIFY(writeFile(file, bytes));
            const QString shown = open(main, file);
            const QString what = u"file %1: %2"_s.arg(n).arg(shown);
            if (shown.isEmpty()) {
                showEverything(main);
                mUtilities::gRsNotes = db::Recordset();
                mUtilities::gDB = db::Database();
            } else {
                QVERIFY2(refusals.contains(shown), qPrintable(what));
                QVERIFY2(fileBytes(file) == bytes, qPrintable(what));
            }
            QVERIFY2(leftovers(file).isEmpty(), qPrintable(what));
            ++answers[shown.section(u'\n', -1)];
        }
        qInfo() << answers;
    }
};

QTEST_MAIN(tst_frmMainOpening)
#include "tst_frmMainOpening.moc"
