// Opening files that a teacher may meet on a USB stick or receive from someone else: damaged,
// read-only, held by another program, or crafted. Each is refused with a message that says
// why, and nothing is written to it; a file that is sound opens.
#include "Answers.h"
#include "DbTestSupport.h"
#include "FileRights.h"
#include "GradebookBuilder.h"
#include "UiHelpers.h"
#include "controls/mSubClass.h"
#include "controls/vskTab.h"
#include "gradebook/GradebookSchema.h"
#include "gradebook/mUtilities.h"
#include "mainwindow/frmMain.h"
#include "platform/FlexGrid.h"
#include "platform/FormInstance.h"
#include "platform/db/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using platform::Form;
using namespace testsupport;

namespace {

enum class Damage {
    ReadOnlyFile, ReadOnlyFolder, Busy, FlippedByte, ZeroedPage, Truncated,
    Trigger, View, ExtraTable, ExtraIndex, MissingIndex, TableWithoutRules,
    HugeRule, UnknownType, BrokenDefinition, HugeTextSize, PropertyOutOfRange, OlderOrder, OlderUnique,
    OldWithoutDecimals, OldWithoutPassword, OldFailingConversion,
};

const QString kReadOnly = QStringLiteral("Impossible d'ouvrir ce carnet de notes.\nLe fichier ou son dossier est en lecture seule.");
const QString kDamaged = QStringLiteral("Impossible d'ouvrir ce carnet de notes.\nLe fichier est endommagé.");
const QString kBusy = QStringLiteral("Impossible d'ouvrir ce carnet de notes.\nLe fichier est utilisé par un autre programme.");
const QString kNotValid = QStringLiteral("Ce fichier n'est pas un carnet de notes valide.");
const QString kCannotOpen =
    QStringLiteral("Impossible d'ouvrir ce carnet de notes.\nIl ne s'agit sans doute pas d'un carnet de notes valide.");

constexpr int kPage = 1024;  // the page size of the files

const QByteArray kKey = gradebook::databasePassword().toUtf8();

// SQL that only another program would run on the file, with the key anyone can read.
int craft(const QString& file, const char* sql) { return rawExec(file, kKey, sql); }

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
    return QDir(info.absolutePath()).entryList({info.fileName() + QStringLiteral("-*")}, QDir::Files | QDir::Hidden);
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
        const QString file = folder + QStringLiteral("/carnet.dat");
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
            clickButton(w, QStringLiteral("OK"));
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
        m_base = m_dir.filePath(QStringLiteral("base.dat"));
        GradebookBuilder b(m_base);
        const int cls = b.addClass(QStringLiteral("Sixième A"), QStringLiteral("6e A"));
        const int maths = b.addSubject(QStringLiteral("Mathématiques")), french = b.addSubject(QStringLiteral("Français"));
        QList<int> students;
        for (int i = 0; i < 12; ++i) students << b.addStudent(cls, QStringLiteral("Élève %1").arg(i), QStringLiteral("Prénom"));
        for (int s = 0; s < 6; ++s) {
            const int series = b.addSeries(cls, s % 2 ? maths : french, QStringLiteral("Contrôle %1").arg(s), 20, 1, 1 + s % 3);
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
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("read-only file") << Damage::ReadOnlyFile << kReadOnly;
        QTest::newRow("read-only folder") << Damage::ReadOnlyFolder << kReadOnly;
        QTest::newRow("another program writing it") << Damage::Busy << kBusy;
        QTest::newRow("a byte flipped in a page of grades") << Damage::FlippedByte << kDamaged;
        QTest::newRow("a page zeroed") << Damage::ZeroedPage << kDamaged;
        QTest::newRow("truncated") << Damage::Truncated << kDamaged;
        QTest::newRow("a trigger deleting every grade") << Damage::Trigger << kNotValid;
        QTest::newRow("a view") << Damage::View << kNotValid;
        QTest::newRow("a table of its own") << Damage::ExtraTable << kNotValid;
        QTest::newRow("an index of its own") << Damage::ExtraIndex << kNotValid;
        QTest::newRow("a unique index dropped") << Damage::MissingIndex << kNotValid;
        QTest::newRow("grades rebuilt without their rules") << Damage::TableWithoutRules << kNotValid;
        QTest::newRow("a period rule up to 1e300") << Damage::HugeRule << kNotValid;
        QTest::newRow("a field of no known type") << Damage::UnknownType << kNotValid;
        QTest::newRow("a definition cut short") << Damage::BrokenDefinition << kNotValid;
        QTest::newRow("a text field of 100000 characters") << Damage::HugeTextSize << kNotValid;
        QTest::newRow("decimals of 1e300") << Damage::PropertyOutOfRange << kNotValid;
        // Names indexed by an older comparison that told a combining accent from a precomposed one.
        QTest::newRow("a name out of its index's order") << Damage::OlderOrder << kDamaged;
        QTest::newRow("a subject twice in a unique index") << Damage::OlderUnique << kDamaged;
        // Refused once the conversion that a version 1.2 asks for was accepted.
        QTest::newRow("version 1.2 without its decimals") << Damage::OldWithoutDecimals << kCannotOpen;
        QTest::newRow("version 1.2 without its password") << Damage::OldWithoutPassword << kCannotOpen;
        QTest::newRow("version 1.2 with a period 7") << Damage::OldFailingConversion << kCannotOpen;
    }

    void refusedFiles() {
        QFETCH(Damage, damage);
        QFETCH(QString, message);
        const QString file = copyOfBase(QString::fromLatin1(QTest::currentDataTag()));
        const QString folder = QFileInfo(file).absolutePath();
        const qint64 size = QFileInfo(file).size();
        sqlite3* locker = nullptr;
        switch (damage) {
        case Damage::ReadOnlyFile: QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup)); break;
        case Damage::ReadOnlyFolder:
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            break;
        case Damage::Busy:
            // Another program in the middle of writing: it holds the file for itself.
            sqlite3_open(QFile::encodeName(file).constData(), &locker);
            sqlite3_key(locker, kKey.constData(), int(kKey.size()));
            QCOMPARE(sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
            break;
        case Damage::FlippedByte: overwrite(file, size - kPage / 2, QByteArray(1, '\xa5')); break;
        case Damage::ZeroedPage: overwrite(file, 4 * kPage, QByteArray(kPage, '\0')); break;
        case Damage::Truncated: QVERIFY(QFile::resize(file, size / 2)); break;
        case Damage::Trigger:
            QCOMPARE(craft(file, "CREATE TRIGGER t AFTER INSERT ON Notes BEGIN DELETE FROM Notes; END"), SQLITE_OK);
            break;
        case Damage::View: QCOMPARE(craft(file, "CREATE VIEW v AS SELECT * FROM Notes"), SQLITE_OK); break;
        case Damage::ExtraTable: QCOMPARE(craft(file, "CREATE TABLE Journal (x)"), SQLITE_OK); break;
        case Damage::ExtraIndex: QCOMPARE(craft(file, "CREATE INDEX \"Notes.Note\" ON Notes (Note)"), SQLITE_OK); break;
        case Damage::MissingIndex: QCOMPARE(craft(file, "DROP INDEX \"Classes.Nom abrégé\""), SQLITE_OK); break;
        case Damage::TableWithoutRules:
            QCOMPARE(craft(file, "DROP TABLE Notes; CREATE TABLE \"Notes\" (\"Note\" FLOAT, \"NumSérie\" INTEGER, "
                                 "\"NumElv\" INTEGER, PRIMARY KEY (\"NumSérie\", \"NumElv\"));"
                                 "CREATE INDEX \"Notes.NumSérie\" ON \"Notes\" (\"NumSérie\");"
                                 "CREATE INDEX \"Notes.NumElv\" ON \"Notes\" (\"NumElv\")"),
                     SQLITE_OK);
            break;
        case Damage::HugeRule: QCOMPARE(craft(file, changeDefinition("\"between\":[1,3]", "\"between\":[1,1e300]")), SQLITE_OK); break;
        case Damage::UnknownType: QCOMPARE(craft(file, changeDefinition("\"type\":2", "\"type\":99")), SQLITE_OK); break;
        case Damage::BrokenDefinition: QCOMPARE(craft(file, changeDefinition("]}", "")), SQLITE_OK); break;
        case Damage::HugeTextSize: QCOMPARE(craft(file, changeDefinition("\"size\":30", "\"size\":100000")), SQLITE_OK); break;
        case Damage::PropertyOutOfRange:
            QCOMPARE(craft(file, "UPDATE __Properties SET Value = 1e300 WHERE Name = 'Moyenne'"), SQLITE_OK);
            break;
        case Damage::OlderOrder:
            QCOMPARE(rawExec(file, kKey, "INSERT INTO Elèves (Nom, Prénom, NumClass) VALUES ('E\u0301mile', 'A', 1)", true),
                     SQLITE_OK);
            break;
        case Damage::OlderUnique:
            QCOMPARE(rawExec(file, kKey, "INSERT INTO Matières VALUES (0, 'Mathe\u0301matiques')", true), SQLITE_OK);
            break;
        case Damage::OldWithoutDecimals: QCOMPARE(craft(file, "DELETE FROM __Properties WHERE Name = 'Moyenne'"), SQLITE_OK); break;
        case Damage::OldWithoutPassword: QCOMPARE(craft(file, "DELETE FROM __Properties WHERE Name = 'Passe'"), SQLITE_OK); break;
        case Damage::OldFailingConversion:
            QCOMPARE(craft(file, "PRAGMA ignore_check_constraints = 1; UPDATE Séries SET Période = 7 WHERE rowid = 3"), SQLITE_OK);
            break;
        }
        if (damage >= Damage::OldWithoutDecimals)
            QCOMPARE(craft(file, "UPDATE __Properties SET Value = '1.2' WHERE Name = 'VersionID'"), SQLITE_OK);
        const QByteArray before = fileBytes(file);
        frmMain& main = Form<frmMain>::get();
        mUtilities::setConversionQuestion([](const QString&, const QString&) { return QStringLiteral("1"); });
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
        QCOMPARE(main.windowTitle(), QStringLiteral("Carnet de notes"));
        // With no gradebook open, what needs one does nothing.
        main.Message(&main, mSubClass::WM_COMMAND, commands::RenameSubject, 0);
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(leftovers(file), QStringList());
    }

    // Files the program made stay accepted: a new one, one with a password, one converted
    // from an older version (its width fields added after the tables were made).
    void soundFilesOpen() {
        frmMain& main = Form<frmMain>::get();
        QCOMPARE(open(main, copyOfBase(QStringLiteral("sound"))), QString());
        QCOMPARE(main.lblPrincipal->text(), QStringLiteral("6e A - Mathématiques"));

        const QString old = m_dir.filePath(QStringLiteral("sound/ancien.dat"));
        {
            db::Database d = db::Database::CreateDatabase(old, gradebook::databasePassword());
            for (const gradebook::PropertyDef& p : gradebook::gradebookProperties()) d.CreateProperty(p.name, p.type, p.value);
            d.Properties(QStringLiteral("VersionID")).setValue(QStringLiteral("1.1.9"));
            for (const db::TableDef& table : gradebook::gradebookTables(QDateTime::currentDateTime())) {
                db::TableDef without(table.Name());
                for (const db::FieldDef& f : table.Fields())
                    if (f.Name() != u"Colonne") without.appendField(f);
                for (const db::IndexDef& i : table.Indexes()) without.appendIndex(i);
                d.CreateTable(without);
            }
        }
        platform::ModalTestScope scope;
        scope.push(msgBox(QStringLiteral("Le carnet de notes que vous tentez d'ouvrir"), QStringLiteral("OK")));
        QVERIFY(main.OpenAFile(old));
        QVERIFY(main.OpenAFile(old));  // as converted
        QCOMPARE(scope.pending(), 0);
    }

    // A few hundred files damaged at random (with a fixed seed, so that a failure comes back):
    // each is refused with a message, writing nothing, or opens and shows every grid.
    void damagedCorpus() {
        QRandomGenerator random(20261207);
        const QByteArray sound = fileBytes(m_base);
        const QStringList refusals{kDamaged, kNotValid, kCannotOpen};
        const QString file = copyOfBase(QStringLiteral("corpus"));
        QMap<QString, int> answers;
        frmMain& main = Form<frmMain>::get();
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
            const QString what = QStringLiteral("file %1: %2").arg(n).arg(shown);
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
