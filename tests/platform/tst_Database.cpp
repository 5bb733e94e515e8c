// The database engine: files, passwords, properties, definitions and their rules, and its
// recordsets: moving, finding, adding, editing and deleting rows.
#include "platform/db/Collations.h"
#include "platform/db/Connection.h"
#include "platform/db/Database.h"
#include "platform/db/Guard.h"
#include "platform/db/Sqlite.h"
#include "DbTestSupport.h"
#include "FileSizeLimit.h"
#include "FileTraps.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <limits>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace db;
using namespace testsupport;

namespace {

const RecordsetType kKinds[] = {RecordsetType::Dynaset, RecordsetType::Snapshot, RecordsetType::ForwardOnly};

void addStudent(Recordset& rs, const QString& name, const QString& first, int classKey) {
    addRow(rs, {{"Nom", name}, {"Prénom", first}, {"NumClass", classKey}});
}

void addNote(Recordset& rs, int series, int student, double note) {
    addRow(rs, {{"NumSérie", series}, {"NumElv", student}, {"Note", note}});
}

QStringList names(Recordset rs) {
    QStringList result;
    for (; !rs.Eof(); rs.MoveNext())
        result << rs.Fields(u"Nom"_s).Value().toString();
    return result;
}

Criteria grade(int series, int student) {
    return Field(u"NumSérie"_s) == series && Field(u"NumElv"_s) == student;
}

// The field of the row a find lands on; Null when it finds none.
QVariant found(Recordset& rs, const Criteria& criteria, const QString& field = u"Nom"_s) {
    rs.FindFirst(criteria);
    return rs.NoMatch() ? QVariant() : rs.Fields(field).Value();
}

quint32 wordAt(const QByteArray& bytes, qint64 at) { return qFromBigEndian<quint32>(bytes.constData() + at); }

QByteArray withWord(QByteArray bytes, qint64 at, quint32 value) {
    qToBigEndian(value, bytes.data() + at);
    return bytes;
}

QByteArray withByteFlipped(QByteArray bytes, qint64 at) {
    bytes[at] = char(bytes[at] ^ 0x10);
    return bytes;
}

// The journal ended, as SQLite ends it, by the record that names a super-journal, in a sector
// of its own; `sumError` spoils its checksum.
QByteArray namingSuperJournal(QByteArray journal, const QString& super, quint32 sumError = 0) {
    const quint32 sector = wordAt(journal, 20);
    journal = journal.leftJustified((journal.size() + sector - 1) / sector * sector, '\0');
    const QByteArray name = QFile::encodeName(super), word(4, '\0');
    quint32 sum = sumError;
    for (const char c : name) sum += quint32(qint32(c));
    return journal + withWord(word, 0, 0x40000000 / 1024 + 1) + name + withWord(word, 0, quint32(name.size()))
         + withWord(word, 0, sum) + QByteArray::fromHex("d9d505f920a163d7");
}

// At `path`, a file of 200 classes, and beside it what a kill leaves of a transaction of the
// program larger than SQLite's cache: pages of it written into the file, and the former
// content of pages in the journal; `unsynced`: pages journaled since, past a header that
// SQLite has not synced yet, whose change the file does not hold. The file as it was before
// the transaction, decrypted; empty when the path was taken.
QByteArray killedTransaction(const QString& path, const QString& scratch, bool unsynced = false) {
    {
        Recordset rs = createTestFile(scratch).OpenRecordset(Query(u"Classes"_s));
        for (int i = 0; i < 200; ++i) addRow(rs, {{"Nom", u"Classe %1"_s.arg(i)}, {"Colonne", 1800}});
    }
    const QByteArray before = decryptedContent(scratch);
    const qint64 size = QFileInfo(scratch).size();
    Database d = Database::OpenDatabase(scratch, kTestPassword);
    Transaction t(d);
    d.updateRows(Query(u"Classes"_s), {{u"Colonne"_s, 900}});
    Recordset notes = d.OpenRecordset(Query(u"Notes"_s));
    for (int i = 0; QFileInfo(scratch).size() == size; ++i) addRow(notes, {{"NumSérie", i}, {"NumElv", i}, {"Note", 12.5}});
    if (unsynced) {
        Recordset students = d.OpenRecordset(Query(u"Elèves"_s));
        addStudent(students, u"Durand"_s, u"Léa"_s, 1);
    }
    const bool copied = QFile::copy(scratch, path) && QFile::copy(scratch + u"-journal"_s, path + u"-journal"_s);
    return copied ? before : QByteArray();
}

// The journal's first segment alone.
QByteArray firstSegment(const QByteArray& journal) { return journal.left(wordAt(journal, 20) + wordAt(journal, 8) * 1032); }

// At `path`, a file of classes that a transaction changing each of them in place wrote whole,
// with the transaction's journal, as a kill leaves them the moment before SQLite deletes it;
// at `unwritten`, the file as it was before, with the same journal, as a kill leaves them
// before SQLite wrote the file. However much of the journal SQLite plays back, both files
// stay sound: only the journal's own checks tell. The cache is too small for the transaction,
// so that the journal has several segments; with `psow` off, SQLite writes it with sectors of
// 4096 bytes. False when they could not be made.
bool committedTransaction(const QString& path, const QString& unwritten, const QString& scratch, bool psow = true) {
    {
        Recordset rs = createTestFile(scratch).OpenRecordset(Query(u"Classes"_s));
        for (int i = 0; i < 300; ++i) addRow(rs, {{"Nom", u"Classe %1"_s.arg(i)}, {"Colonne", 1800}});
    }
    sqlite3* h = nullptr;
    const QByteArray uri = "file:" + QFile::encodeName(scratch) + (psow ? "" : "?psow=0");
    const QByteArray key = kTestPassword.toUtf8(), journal = QFile::encodeName(scratch + u"-journal"_s);
    const auto run = [&](const char* sql) { return sqlite3_exec(h, sql, nullptr, nullptr, nullptr) == SQLITE_OK; };
    // A second name keeps the journal as the commit leaves it when SQLite deletes the first.
    const bool done = QFile::copy(scratch, unwritten)
                   && sqlite3_open_v2(uri.constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) == SQLITE_OK
                   && sqlite3_key(h, key.constData(), int(key.size())) == SQLITE_OK && collation::registerOn(h)
                   && run("PRAGMA cache_size = 6; BEGIN; UPDATE Classes SET Colonne = 900")
                   && ::link(journal.constData(), QFile::encodeName(path + u"-journal"_s).constData()) == 0
                   && run("COMMIT");
    sqlite3_close(h);
    return done && QFile::copy(scratch, path) && QFile::copy(path + u"-journal"_s, unwritten + u"-journal"_s);
}

// While it lives, the writes into each file of the `kind` given (SQLITE_OPEN_MAIN_DB,
// SQLITE_OPEN_MAIN_JOURNAL) that SQLite opens, in the system's own file layer under every
// other, go wrong once told, from the `n`th on: they fail, as on a disk that no longer
// answers, or kill the process, whose files are left as a kill or a power cut leaves them.
class WriteTrap {
public:
    enum Action { Fail, Kill };
    explicit WriteTrap(int kind) : m_system(sqlite3_vfs_find(nullptr)) {
        s_kind = kind;
        s_open = m_system->xOpen;
        m_system->xOpen = [](sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* out) {
            const int rc = s_open(vfs, name, f, flags, out);
            if (rc == SQLITE_OK && f->pMethods && (flags & s_kind)) {
                s_write = f->pMethods->xWrite;
                s_methods = *f->pMethods;
                s_methods.xWrite = [](sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
                    if (!s_armed || --s_left > 0) return s_write(file, data, amount, offset);
                    if (s_action == Kill) ::raise(SIGKILL);
                    return SQLITE_IOERR_WRITE;
                };
                f->pMethods = &s_methods;
            }
            return rc;
        };
    }
    ~WriteTrap() {
        m_system->xOpen = s_open;
        s_armed = false;
    }
    WriteTrap(const WriteTrap&) = delete;
    WriteTrap& operator=(const WriteTrap&) = delete;

    void from(int n, Action action) {
        s_left = n;
        s_action = action;
        s_armed = true;
    }
    void stop() { s_armed = false; }

private:
    sqlite3_vfs* m_system;
    static inline int s_kind = 0, s_left = 0;
    static inline bool s_armed = false;
    static inline Action s_action = Fail;
    static inline int (*s_open)(sqlite3_vfs*, const char*, sqlite3_file*, int, int*) = nullptr;
    static inline int (*s_write)(sqlite3_file*, const void*, int, sqlite3_int64) = nullptr;
    static inline sqlite3_io_methods s_methods{};
};

// Runs `work` in a child process killed at its `n`th write into a file of the `kind` given:
// whether it was.
bool killedDuring(int kind, int n, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        WriteTrap trap(kind);
        trap.from(n, WriteTrap::Kill);
        try {
            work();
        } catch (...) {
        }
        ::_exit(1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
}

}  // namespace

class tst_Database : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    Database m_db;  // a new file of the four tables for each test

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init() { m_db = createTestFile(path(u"f%1.dat"_s.arg(++m_files))); }
    void cleanup() { m_db = Database(); }

    void opensOnlyWithThePassword() {
        const QString file = path(u"carnet.dat"_s);
        {
            Database d = Database::CreateDatabase(file, kTestPassword);
            d.CreateProperty(u"App"_s, FieldType::Text, u"essai"_s);
            d.CreateProperty(u"Moyenne"_s, FieldType::Byte, 1);
        }
        QVERIFY(!fileBytes(file).startsWith("SQLite format 3"));
        {
            // Properties keep their type in the file, and are converted as fields are (below).
            Database d = Database::OpenDatabase(file, kTestPassword);
            QCOMPARE(d.Properties(u"App"_s).Value(), QVariant(u"essai"_s));
            d.Properties(u"moyenne"_s).setValue(u"2"_s);
            QCOMPARE(d.Properties(u"Moyenne"_s).Value(), QVariant(2));
            QCOMPARE(dbError([&] { d.Properties(u"Passe"_s); }), code(DbErrc::NoSuchProperty));
        }

        // A wrong password, a plain SQLite file written without a key, a text file, a missing
        // file (which is not created).
        const QString plain = path(u"plain.dat"_s), text = path(u"texte.dat"_s), missing = path(u"absent.dat"_s);
        QCOMPARE(rawExec(plain, {}, "CREATE TABLE t(x); INSERT INTO t VALUES (1);"), SQLITE_OK);
        QVERIFY(writeFile(text, QByteArray("Ceci n'est pas un carnet de notes.\n").repeated(200)));
        const struct { QString file, password; DbErrc error; } refused[] = {
            {file, u"730518 kovrm"_s, DbErrc::NotADatabase}, {plain, kTestPassword, DbErrc::NotADatabase},
            {text, kTestPassword, DbErrc::NotADatabase},     {missing, kTestPassword, DbErrc::CannotOpen}};
        for (const auto& r : refused)
            QCOMPARE(dbError([&] { Database::OpenDatabase(r.file, r.password); }), code(r.error));
        QVERIFY(!QFile::exists(missing));

        const QByteArray before = fileBytes(file);
        QCOMPARE(dbError([&] { Database::CreateDatabase(file, kTestPassword); }), code(DbErrc::AlreadyExists));
        QCOMPARE(fileBytes(file), before);
        const QString nowhere = path(u"nulle/part.dat"_s);
        QCOMPARE(dbError([&] { Database::CreateDatabase(nowhere, kTestPassword); }), code(DbErrc::CannotOpen));
    }

    // A file checked in the background is read at once; damage found there refuses every
    // write before anything is written.
    void writesWaitForTheCheckInTheBackground() {
        const QString file = path(u"abime.dat"_s);
        {
            Recordset rs = createTestFile(file, {notesTable(), classesTable()}).OpenRecordset(Query(u"Classes"_s));
            for (int i = 0; i < 300; ++i) addRow(rs, {{"Nom", u"Classe %1"_s.arg(i)}, {"Colonne", 1800}});
        }
        QByteArray bytes = fileBytes(file);
        bytes[bytes.size() - 100] ^= 0x5a;  // in the last page, of classes, which opening does not read
        QVERIFY(writeFile(file, bytes));
        Database d = Database::OpenDatabase(file, kTestPassword, Integrity::CheckInBackground);
        Recordset rs = d.OpenRecordset(Query(u"Notes"_s));
        QVERIFY(rs.Eof());
        QCOMPARE(dbError([&] { addRow(rs, {{"NumSérie", 1}, {"NumElv", 1}}); }), code(DbErrc::Damaged));
        QCOMPARE(dbError([&] { d.AddField(u"Classes"_s, FieldDef(u"Extra"_s, FieldType::Long)); }), code(DbErrc::Damaged));
        QCOMPARE(dbError([&] { d.awaitIntegrity(); }), code(DbErrc::Damaged));
        QCOMPARE(fileBytes(file), bytes);
    }

    // SQLCipher reads a page of the size that the header gives into a buffer of its own page
    // size: a header that asks for another size (512: past the buffer), other reserved space
    // or a WAL is refused as damaged before a page is read, the file left as it was.
    void aHeaderIsCheckedBeforeAPageIsRead() {
        const QString file = path(u"entete.dat"_s);
        {
            // A definition long enough to go on to a page of its own, as a gradebook's do.
            TableDef wide(u"Large"_s);
            for (int i = 0; i < 40; ++i) wide.appendField(FieldDef(u"Champ %1"_s.arg(i), FieldType::Long));
            Database d = createTestFile(file, {classesTable(), wide});
            Recordset rs = d.OpenRecordset(Query(u"Classes"_s));
            for (int i = 0; i < 100; ++i) addRow(rs, {{"Nom", u"Classe %1"_s.arg(i)}, {"Colonne", 1800}});
        }
        const QByteArray sound = fileBytes(file);
        const struct { const char* what; int offset; QByteArray bytes; } changes[] = {
            {"page size 512", 16, QByteArray::fromHex("0200")}, {"page size 4096", 16, QByteArray::fromHex("1000")},
            {"page size 65536", 16, QByteArray::fromHex("0001")}, {"no reserved space", 20, QByteArray(1, 0)},
            {"more reserved space", 20, QByteArray(1, 64)},
            {"a WAL", 18, QByteArray::fromHex("0202")}, {"payload fraction", 21, QByteArray(1, 65)},
            {"least payload fraction", 22, QByteArray(1, 31)}, {"leaf payload fraction", 23, QByteArray(1, 33)},
            {"free list trunk beyond the file", 32, QByteArray::fromHex("00000400")},
            {"free list of 0xFFFFFFFF pages", 36, QByteArray::fromHex("ffffffff")},
            {"free list as long as the file", 36, QByteArray::fromHex("00000100")},
            {"schema format 5", 44, QByteArray::fromHex("00000005")}, {"cache size", 48, QByteArray::fromHex("00000800")},
            {"auto-vacuum", 52, QByteArray::fromHex("00000003")}, {"text encoding 4", 56, QByteArray::fromHex("00000004")},
            {"UTF-16", 56, QByteArray::fromHex("00000002")}, {"user version", 60, QByteArray::fromHex("00000001")},
            {"incremental vacuum", 64, QByteArray::fromHex("00000001")},
            {"application id", 68, QByteArray::fromHex("00000001")}, {"reserved for expansion", 91, QByteArray(1, 1)}};
        for (const auto& c : changes) {
            QVERIFY(writeFile(file, sound));
            QVERIFY(rewriteFirstPage(file, [&](QByteArray& page) { page.replace(c.offset, c.bytes.size(), c.bytes); }));
            const QByteArray before = fileBytes(file);
            for (const Integrity integrity : {Integrity::CheckFirst, Integrity::CheckInBackground})
                QVERIFY2(dbError([&] { Database::OpenDatabase(file, kTestPassword, integrity).awaitIntegrity(); })
                             == code(DbErrc::Damaged),
                         c.what);
            QCOMPARE(fileBytes(file), before);
            QCOMPARE(QDir(m_dir.path()).entryList({u"entete.dat-*"_s}), QStringList());
        }
        QVERIFY(writeFile(file, sound));
        QVERIFY(rewriteFirstPage(file, [](QByteArray&) {}));
        QCOMPARE(fileBytes(file), sound);
        QCOMPARE(rowCount(Database::OpenDatabase(file, kTestPassword), u"Classes"_s), 100);
    }

    // A journal beside a file is rolled back as the file opens only when the file it gives is
    // sound: the program's own, left by a crash in the middle of a commit, is. A foreign one,
    // that would cut the file or write another file's pages into it, leaves the file refused,
    // and both as they were. A WAL beside a file is never read.
    void aJournalIsRolledBackOnlyIntoASoundFile() {
        const QString crashed = path(u"crash.dat"_s), other = path(u"autre.dat"_s), wal = path(u"wal.dat"_s);
        for (const QString& file : {crashed, other, wal}) {
            Recordset rs = createTestFile(file).OpenRecordset(Query(u"Classes"_s));
            for (int i = 0; i < 200; ++i) addRow(rs, {{"Nom", u"%1 %2"_s.arg(file).arg(i)}, {"Colonne", 1800}});
        }
        const QByteArray sound = fileBytes(crashed);
        {
            // The program's own transaction, larger than SQLite's cache: SQLite has written pages
            // of it to the file, and their former content to the journal. What a kill leaves.
            Database d = Database::OpenDatabase(crashed, kTestPassword);
            Transaction t(d);
            d.updateRows(Query(u"Classes"_s), {{u"Colonne"_s, 900}});
            Recordset notes = d.OpenRecordset(Query(u"Notes"_s));
            for (int i = 0; QFileInfo(crashed).size() == sound.size(); ++i)
                addRow(notes, {{"NumSérie", i}, {"NumElv", i}, {"Note", 12.5}});
            QVERIFY(QFile::copy(crashed, path(u"tue.dat"_s)) && QFile::copy(crashed + u"-journal"_s, path(u"tue.dat-journal"_s)));
        }
        const QString killed = path(u"tue.dat"_s), journal = killed + u"-journal"_s;
        const QByteArray own = fileBytes(journal), killedBytes = fileBytes(killed);
        const auto digest = [](const QByteArray& b) { return QCryptographicHash::hash(b, QCryptographicHash::Sha256); };
        const detail::FileKey key = detail::keyForFile(killed, kTestPassword.toUtf8());
        // Into the file it was not tried with, with another journal, or without a try, it is not
        // rolled back.
        for (const detail::Replay& tried : {detail::Replay{digest(sound), digest(own), {}},
                                            detail::Replay{digest(killedBytes), digest(sound), {}}, detail::Replay{}}) {
            QCOMPARE(dbError([&] { detail::Connection::open(killed, key, false, tried.file.isEmpty() ? nullptr : &tried); }),
                     code(DbErrc::Damaged));
            QCOMPARE(fileBytes(killed), killedBytes);
            QCOMPARE(fileBytes(journal), own);
        }
        // Beside another gradebook, or cutting the file: refused, nothing changed.
        for (const QByteArray& foreign : {own, journalCuttingTo(3)}) {
            QVERIFY(writeFile(other + u"-journal"_s, foreign));
            const QByteArray before = fileBytes(other);
            QCOMPARE(dbError([&] { Database::OpenDatabase(other, kTestPassword, Integrity::CheckInBackground); }),
                     code(DbErrc::Damaged));
            QCOMPARE(fileBytes(other), before);
            QCOMPARE(fileBytes(other + u"-journal"_s), foreign);
        }
        // Its own, as the kill left it: the transaction undone, the file back to its length,
        // the journal gone.
        {
            const Database d = Database::OpenDatabase(killed, kTestPassword, Integrity::CheckInBackground);
            QCOMPARE(columnWidths(d, u"Classes"_s), QList<int>(200, 1800));
            QCOMPARE(rowCount(d, u"Notes"_s), 0);
            d.awaitIntegrity();
        }
        QCOMPARE(QFileInfo(killed).size(), sound.size());
        QVERIFY(!QFile::exists(journal));
        // Through a link from another folder: the file it names, with its journal, as by its own
        // name; and shown by the name it was opened by.
        const QString named = path(u"tue-lien.dat"_s), link = path(u"lien/tue.dat"_s);
        const QByteArray beforeKill = killedTransaction(named, path(u"brouillon-lien.dat"_s), true);
        QVERIFY(!beforeKill.isEmpty() && QDir().mkdir(path(u"lien"_s)) && QFile::link(named, link));
        QCOMPARE(Database::OpenDatabase(link, kTestPassword).Name(), link);
        QCOMPARE(decryptedContent(named), beforeKill);
        QVERIFY(!QFile::exists(named + u"-journal"_s));

        // A WAL from a copy of the file, with a change that the file does not hold.
        const QString copy = path(u"copie.dat"_s);
        QVERIFY(QFile::copy(wal, copy));
        {
            const RawFile raw = rawOpen(copy, kTestPassword.toUtf8());
            QCOMPARE(sqlite3_exec(raw.get(), "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; "
                                             "UPDATE Classes SET Colonne = 900", nullptr, nullptr, nullptr), SQLITE_OK);
            QVERIFY(QFile::copy(copy + u"-wal"_s, wal + u"-wal"_s));
        }
        const QByteArray walBytes = fileBytes(wal + u"-wal"_s), before = fileBytes(wal);
        {
            const Database d = Database::OpenDatabase(wal, kTestPassword, Integrity::CheckInBackground);
            QCOMPARE(columnWidths(d, u"Classes"_s), QList<int>(200, 1800));
            d.awaitIntegrity();
        }
        QCOMPARE(fileBytes(wal), before);
        QCOMPARE(fileBytes(wal + u"-wal"_s), walBytes);
        QVERIFY(!QFile::exists(wal + u"-shm"_s));
    }

    // A journal is judged before SQLite, or a copy, sees it: one that would harm the file as
    // SQLite plays it, or whose records SQLite would skip while the file it gives does not hold
    // them, leaves the file refused, the file, its journal and a super-journal it names as they
    // were. What SQLite skips and that changes nothing, or what it never reads, is no reason to
    // refuse one. The damaged file's own journal holds the page's former content, and gives it
    // back (last).
    void aJournalIsCheckedBeforeItIsPlayed_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<int>("error");
        const QString sound = path(u"carnet-sain.dat"_s), killed = path(u"carnet-tue.dat"_s);
        createTestFile(sound);
        QVERIFY(!killedTransaction(killed, path(u"brouillon.dat"_s)).isEmpty());
        const QByteArray own = fileBytes(killed + u"-journal"_s);
        const qint64 record = wordAt(own, 20);  // the first one, past the header's sector
        const quint32 number = wordAt(own, record);
        // Its page damaged in the file: only the journal gives it back.
        QVERIFY(writeFile(killed, withByteFlipped(fileBytes(killed), (number - 1) * 1024 + 500)));
        // Sound as SQLite leaves it, whatever it plays of the journal: only the journal's checks
        // refuse it; sound whatever it plays, and the same once played.
        const QString written = path(u"carnet-ecrit.dat"_s), unwritten = path(u"carnet-non-ecrit.dat"_s);
        QVERIFY(committedTransaction(written, unwritten, path(u"brouillon-3.dat"_s)));
        const QByteArray whole = fileBytes(written + u"-journal"_s);
        // Its first segment's records, the next segment's header, and last, page 1's record.
        const qint64 first = wordAt(whole, 20), second = first + 1032, page1 = whole.size() - 1032;
        const qint64 header = (first + wordAt(whole, 8) * 1032 + 511) / 512 * 512;
        const quint32 original = wordAt(whole, 16);
        QVERIFY(wordAt(whole, 8) > 1 && whole.mid(header, 4) == whole.left(4) && wordAt(whole, page1) == 1);
        // A record, of the page of the first, as the file holds it now: not as the rollback gives it.
        const QByteArray laterPage = fileBytes(written).mid((wordAt(whole, first) - 1) * 1024, 1024);
        const QByteArray later = whole.leftJustified((whole.size() + 511) / 512 * 512 + 512, '\0')
                               + whole.mid(first, 4) + laterPage + QByteArray(4, '\0');
        const auto word = [](quint32 value) { return withWord(QByteArray(4, '\0'), 0, value); };
        const quint32 pages = quint32(QFileInfo(sound).size() / 1024);
        // A page of the file's keys past its length, as a copy that grew has it, where SQLite stops.
        const QString grown = path(u"carnet-sain-2.dat"_s);
        QVERIFY(QFile::copy(sound, grown));
        {
            Recordset rs = Database::OpenDatabase(grown, kTestPassword).OpenRecordset(Query(u"Classes"_s));
            for (int i = 0; i < 100; ++i) addRow(rs, {{"Nom", u"Classe %1"_s.arg(i)}, {"Colonne", 1800}});
        }
        const QByteArray beyond = journalCuttingTo(pages) + word(pages + 1) + fileBytes(grown).mid(pages * 1024, 1024) + word(0);
        const QString there = killed + u"-mjABCDEF9AB"_s, empty = unwritten + u"-mj0123459AB"_s;
        const QByteArray listsOwn = QFile::encodeName(killed) + "-journal" + '\0';
        QVERIFY(writeFile(there, listsOwn));
        // Super-journals that list its journal, but are none that the engine writes: one of more
        // names than a commit of two files has, one whose last name is not ended.
        const QString large = killed + u"-mj00000A9BC"_s, unended = killed + u"-mj00000B9CD"_s;
        QVERIFY(writeFile(large, (listsOwn + QByteArray(2048 - listsOwn.size(), 'x')) + '\0' + "y" + '\0'));
        QVERIFY(writeFile(unended, listsOwn + "reste"));
        const QString relative = killed + u"-mj00000C9DE"_s;
        QVERIFY(writeFile(relative, QFileInfo(killed).fileName().toUtf8() + "-journal" + '\0'));
        const QByteArray toThere = namingSuperJournal(own, there);
        const qint64 superRecord = toThere.size() - 20 - QFile::encodeName(there).size();
        QVERIFY(writeFile(empty, {}));
        // Named by a journal, a file elsewhere that is no super-journal of this file's.
        QVERIFY(QDir().mkdir(path(u"ailleurs"_s)) && QFile::link(there, path(u"lien-mj0123459AB"_s)));
        QVERIFY(writeFile(path(u"ailleurs/precieux-mj0123459AB"_s), QFile::encodeName(path(u"autre.dat-journal"_s)) + '\0'));
        QVERIFY(writeFile(path(u"ailleurs/precieux.dat"_s), QFile::encodeName(killed) + "-journal" + '\0'));
        const int damaged = code(DbErrc::Damaged), opened = -1;
        const struct { const char* what; const QString& file; QByteArray journal; int error; } rows[] = {
            // What SQLite would play that harms the file.
            {"page size 512", killed, withWord(own, 24, 512), damaged},
            {"page size 512, no page", sound, withWord(journalCuttingTo(3), 24, 512), damaged},
            {"page size 4096", killed, withWord(own, 24, 4096), damaged},
            {"original length 0", killed, withWord(own, 16, 0), damaged},
            {"original length 0, no page", sound, journalCuttingTo(0), damaged},
            {"original length 0x7FFFFFFF", killed, withWord(own, 16, 0x7fffffff), damaged},
            {"original length 0x7FFFFFFF, no page", sound, journalCuttingTo(0x7fffffff), damaged},
            {"a record past the original length", written, withWord(whole, first, original + 1), damaged},
            {"a record cut short", written, whole.left(second + 100), damaged},
            {"page 1 of another salt", written, withByteFlipped(whole, page1 + 4 + 3), damaged},
            {"a page's HMAC", killed, withByteFlipped(own, record + 4 + 100), damaged},
            // Records that SQLite would skip, leaving the file half written.
            {"no magic", written, withByteFlipped(whole, 1), damaged},
            {"sector size 256", killed, withWord(own, 20, 256), damaged},
            {"sector size 3000", killed, withWord(own, 20, 3000), damaged},
            {"sector size 128 KiB", killed, withWord(own, 20, 131072), damaged},
            {"sector size 64 KiB, past the journal's end", written, withWord(whole, 20, 65536), damaged},
            {"a record of page 0", killed, withWord(own, record, 0), damaged},
            {"a checksum", killed, withByteFlipped(own, record + 4 + 1024 + 3), damaged},
            {"a count that hides a record", written, withWord(whole, 8, wordAt(whole, 8) - 1), damaged},
            {"a later header without magic", written, withByteFlipped(whole, header), damaged},
            {"a record past a header without magic, of a page that the rollback gives back otherwise", written, later, damaged},
            // What SQLite skips and that changes nothing, or never reads.
            {"no magic, a length of none", sound, withByteFlipped(journalCuttingTo(0), 1), opened},
            {"sector size 1536, a length of none", sound, withWord(journalCuttingTo(0), 20, 1536), opened},
            {"sector size 128 KiB, a length of none", sound, withWord(journalCuttingTo(0), 20, 131072), opened},
            {"sector size 16, a length of none", sound, withWord(journalCuttingTo(0), 20, 16), opened},
            {"a record of page 0, then one past the original length", unwritten,
             withWord(withWord(whole, first, 0), second, original + 1), opened},
            {"a record of the page past the lock byte", unwritten, withWord(whole, first, 0x40000000 / 1024 + 1), opened},
            {"a checksum, then a record past the original length", unwritten,
             withByteFlipped(withWord(whole, second, original + 1), first + 4 + 1024 + 3), opened},
            {"a count of every record to its end, as written unsynced", unwritten, withWord(firstSegment(whole), 8, 0xffffffff), opened},
            {"a record past the original length, where SQLite stops", sound, beyond, opened},
            {"larger than any journal of the file", unwritten,
             whole.leftJustified(4 * QFileInfo(unwritten).size() + (4 << 20) + 1, '\0'), damaged},
            {"a header cut short at its end, where SQLite stops", unwritten,
             whole.leftJustified((whole.size() + 511) / 512 * 512, '\0') + whole.left(28), opened},
            // Super-journals: only SQLite's own for this file is played; one that is not there
            // stands for a commit that was complete.
            {"a super-journal that is not there", killed, namingSuperJournal(own, killed + u"-mj0123459AB"_s), damaged},
            {"a super-journal record that does not add up", killed, namingSuperJournal(own, there, 1), damaged},
            {"a super-journal record of no name", killed, namingSuperJournal(own, QString()), damaged},
            {"a super-journal record of a name too long", killed, namingSuperJournal(own, QString(600, u'/') + there), damaged},
            {"a super-journal record of another page", killed, withWord(toThere, superRecord, 2), damaged},
            {"a super-journal's name with a NUL in it", killed, namingSuperJournal(own, there + QChar(0) + u"-mjABCDEF9AB"_s), damaged},
            {"a super-journal of more names than a commit has", killed, namingSuperJournal(own, large), damaged},
            {"a super-journal whose last name is not ended", killed, namingSuperJournal(own, unended), damaged},
            {"a super-journal that names its journal by a relative path", killed, namingSuperJournal(own, relative), damaged},
            {"a super-journal that names another journal", killed, namingSuperJournal(own, path(u"ailleurs/precieux-mj0123459AB"_s)), damaged},
            {"a super-journal named otherwise", killed, namingSuperJournal(own, path(u"ailleurs/precieux.dat"_s)), damaged},
            {"a super-journal by a relative path", killed, namingSuperJournal(own, u"carnet-tue.dat-mjABCDEF9AB"_s), damaged},
            {"a link to a super-journal", killed, namingSuperJournal(own, path(u"lien-mj0123459AB"_s)), damaged},
            {"a super-journal at /dev/null", written, namingSuperJournal(whole, u"/dev/null"_s), damaged},
            {"a super-journal named otherwise, not there", written, namingSuperJournal(whole, path(u"rien.dat"_s)), damaged},
            {"a super-journal by a relative path, not there", written, namingSuperJournal(whole, u"rien.dat-mj0123459AB"_s), damaged},
            {"a FIFO of a super-journal's name", written, namingSuperJournal(whole, written + u"-mj0123459AB"_s), damaged},
            {"a super-journal that is not there, for a commit that was complete", unwritten,
             namingSuperJournal(whole, unwritten + u"-mjABCDEF9AB"_s), opened},
            {"an empty super-journal, for a commit that was complete", unwritten, namingSuperJournal(whole, empty), opened}};
        for (const auto& r : rows)
            QTest::newRow(r.what) << r.file << r.journal << r.error;
        // A kill before SQLite synced what it journaled last, whose pages the file still holds.
        const QString unsynced = path(u"carnet-tue-2.dat"_s);
        QVERIFY(!killedTransaction(unsynced, path(u"brouillon-2.dat"_s), true).isEmpty());
        QTest::newRow("its own, records past a header without magic") << unsynced << fileBytes(unsynced + u"-journal"_s) << opened;
        // Sectors larger than the page: the copies of the header bear its magic and count only
        // in the first, where SQLite writes them as it syncs.
        const QString larger = path(u"carnet-4096.dat"_s);
        QVERIFY(committedTransaction(larger, path(u"carnet-4096-avant.dat"_s), path(u"brouillon-4.dat"_s), false));
        QCOMPARE(wordAt(fileBytes(larger + u"-journal"_s), 20), 4096u);
        QTest::newRow("its own, in sectors of 4096 bytes") << larger << fileBytes(larger + u"-journal"_s) << opened;
        QTest::newRow("its own, naming a super-journal that is there") << killed << toThere << opened;
    }

    void aJournalIsCheckedBeforeItIsPlayed() {
        QFETCH(QString, file);
        QFETCH(QByteArray, journal);
        QFETCH(int, error);
        const QString super = path(u"carnet-tue.dat-mjABCDEF9AB"_s);
        const QStringList named{super, path(u"ailleurs/precieux-mj0123459AB"_s), path(u"ailleurs/precieux.dat"_s),
                                path(u"carnet-tue.dat-mj00000A9BC"_s), path(u"carnet-tue.dat-mj00000B9CD"_s),
                                path(u"carnet-tue.dat-mj00000C9DE"_s)};
        WatchedFifo fifo(path(u"carnet-ecrit.dat-mj0123459AB"_s));
        QVERIFY(writeFile(file + u"-journal"_s, journal));
        QList<QByteArray> namedBefore;
        for (const QString& n : named) namedBefore << fileBytes(n);
        const QByteArray before = fileBytes(file);
        // Where a relative name would find the super-journal.
        const QString current = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        for (const Integrity integrity : {Integrity::CheckFirst, Integrity::CheckInBackground})
            QCOMPARE(dbError([&] { Database::OpenDatabase(file, kTestPassword, integrity).awaitIntegrity(); }), error);
        QDir::setCurrent(current);
        QVERIFY(!fifo.hung());
        if (error == -1) {  // rolled back, and the super-journal, which named it alone, gone with it
            QVERIFY(!QFile::exists(file + u"-journal"_s));
            QCOMPARE(QFile::exists(super), !journal.contains(QFile::encodeName(super)));
            return;
        }
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(fileBytes(file + u"-journal"_s), journal);
        for (qsizetype i = 0; i < named.size(); ++i) QCOMPARE(fileBytes(named[i]), namedBefore[i]);
        QVERIFY(QFileInfo(path(u"lien-mj0123459AB"_s)).isSymLink());
    }

    // Killed twice: in a large transaction, before SQLite synced its journal, which it then
    // takes for none and leaves where it is; then, the file opened again, as it commits one
    // grade, over that journal, which it does not cut short. Wherever the commit was killed,
    // the file rolls back to what it was before the grade.
    void aFileKilledTwiceRollsBackToBeforeItsLastCommit() {
        const QString base = path(u"deux-fois.dat"_s), file = path(u"tue-deux-fois.dat"_s), journal = file + u"-journal"_s;
        {
            Database d = createTestFile(base);
            Transaction t(d);
            Recordset classes = d.OpenRecordset(Query(u"Classes"_s)), students = d.OpenRecordset(Query(u"Elèves"_s));
            Recordset notes = d.OpenRecordset(Query(u"Notes"_s));
            for (int c = 1, student = 0; c <= 8; ++c) {
                addRow(classes, {{"Nom", u"Classe %1"_s.arg(c)}, {"Colonne", 1800}});
                for (int i = 0; i < 30; ++i, ++student) {
                    addStudent(students, u"Élève %1"_s.arg(student), u"Prénom"_s, c);
                    for (int series = 1; series <= 6; ++series) addNote(notes, series, student + 1, 10 + i % 10);
                }
            }
            t.commit();
        }
        const QByteArray before = decryptedContent(base);
        for (const int first : {20, 60}) {
            int second = 0;
            for (bool killed = true; killed;) {
                QFile::remove(file);
                QFile::remove(journal);
                QVERIFY(QFile::copy(base, file));
                // A class deleted, with its students and their grades.
                QVERIFY(killedDuring(SQLITE_OPEN_MAIN_JOURNAL, first, [&] {
                    Database d = Database::OpenDatabase(file, kTestPassword);
                    Transaction t(d);
                    d.deleteRows(Query(u"Notes"_s)
                                     .innerJoin(u"Elèves"_s, u"NumElv"_s, u"NumElv"_s)
                                     .where(Field(u"Elèves.NumClass"_s) == 1));
                    d.deleteRows(Query(u"Elèves"_s).where(Field(u"NumClass"_s) == 1));
                    d.deleteRows(Query(u"Classes"_s).where(Field(u"NumClass"_s) == 1));
                    t.commit();
                }));
                const qint64 remains = QFileInfo(journal).size();
                QVERIFY(fileBytes(journal).startsWith(QByteArray(8, '\0')));
                killed = killedDuring(SQLITE_OPEN_MAIN_DB, ++second, [&] {
                    Recordset notes = Database::OpenDatabase(file, kTestPassword).OpenRecordset(Query(u"Notes"_s));
                    addNote(notes, 99, 1, 12.5);
                });
                if (killed)  // the grade's journal, shorter, over the remains of the first
                    QVERIFY(QFileInfo(journal).size() == remains && fileBytes(journal).startsWith("\xd9\xd5\x05\xf9"));
                QCOMPARE(dbError([&] { Database::OpenDatabase(file, kTestPassword); }), -1);
                QVERIFY(!QFile::exists(journal));
                if (killed) QCOMPARE(decryptedContent(file), before);
            }
            QVERIFY(second > 2);
        }
    }

    // A journal that names a super-journal is played back as SQLite plays it: while the
    // super-journal is there; which is deleted once no journal it names needs it, and not
    // before. What the caller expects of the file is demanded of what the journal gives.
    void aJournalNamingASuperJournalIsPlayedAsSQLiteWould() {
        const QString file = path(u"super.dat"_s), journal = file + u"-journal"_s;
        const QString other = path(u"autre-super.dat"_s), super = file + u"-mj0A1B2C9D3"_s;
        const QByteArray before = killedTransaction(file, path(u"brouillon-super.dat"_s));
        QVERIFY(!before.isEmpty());
        const QByteArray killed = fileBytes(file);
        // The other file's journal names it still, then no longer.
        QVERIFY(QFile::copy(m_db.Name(), other));
        QVERIFY(writeFile(super, QFile::encodeName(journal) + '\0' + QFile::encodeName(other) + "-journal" + '\0'));
        const QByteArray named = namingSuperJournal(fileBytes(journal), super);
        QVERIFY(writeFile(journal, named));
        QVERIFY(writeFile(other + u"-journal"_s, namingSuperJournal(journalCuttingTo(1).leftJustified(4096, '\0'), super)));

        QCOMPARE(dbError([&] { Database::OpenDatabase(file, kTestPassword, Integrity::CheckFirst, [](const Database& d) {
                     return d.hasTable(u"Séries"_s) && d.hasTable(u"Absente"_s);
                 }); }),
                 code(DbErrc::Damaged));
        QCOMPARE(fileBytes(file), killed);
        QCOMPARE(fileBytes(journal), named);
        Database::OpenDatabase(file, kTestPassword, Integrity::CheckFirst, [](const Database& d) { return d.hasTable(u"Séries"_s); });
        QCOMPARE(decryptedContent(file), before);
        QVERIFY(!QFile::exists(journal));
        QVERIFY(QFile::exists(super));
        QVERIFY(writeFile(other + u"-journal"_s, journalCuttingTo(1)));
        Database::OpenDatabase(file, kTestPassword);
        QVERIFY(!QFile::exists(super));

        // One that names no journal of the file, is not named as SQLite names them, names
        // anything but journals of files by their full paths, is a link, or is named by a
        // journal that cannot be read through, is no business of the file's.
        const QByteArray own = QFile::encodeName(journal) + '\0', otherJournal = QFile::encodeName(other) + "-journal" + '\0';
        const QString link = file + u"-mj0A1B2C9D4"_s;
        QVERIFY(writeFile(path(u"cible"_s), own) && QFile::link(path(u"cible"_s), link));
        const std::pair<QString, QByteArray> foreign[] = {
            {super, otherJournal}, {file + u"-mj0A1B2C9D"_s, own}, {file + u"-mjX0000090A"_s, own},
            {super, own + QFile::encodeName(QDir::current().relativeFilePath(journal)) + '\0'},
            {super, own + QFile::encodeName(other) + ".journal" + '\0'},
            {super, own + QFile::encodeName(path(u"absent.dat-journal"_s)) + '\0'}, {link, {}}, {super, own + otherJournal}};
        // The other file's journal: naming none, or one whose record does not add up.
        const QByteArray namingNone = journalCuttingTo(1).leftJustified(4096, '\0');
        for (const auto& [name, names] : foreign) {
            if (!names.isEmpty()) QVERIFY(writeFile(name, names));
            QVERIFY(writeFile(other + u"-journal"_s, names.endsWith(otherJournal) ? namingSuperJournal(namingNone, super, 1) : namingNone));
            Database::OpenDatabase(file, kTestPassword);
            QVERIFY2(QFile::exists(name), qPrintable(name + QString::fromUtf8(names).replace(QChar(0), u' ')));
        }
    }

    // A commit that fails half-way, and whose rollback fails as well, leaves the journal that the
    // connection wrote beside a file half written: the connection plays it back itself once the
    // disk answers again.
    void aFailedCommitIsRolledBackByItsOwnConnection() {
        WriteTrap disk(SQLITE_OPEN_MAIN_DB);
        const QString file = path(u"echec.dat"_s);
        Database d = createTestFile(file);
        {
            Recordset rs = d.OpenRecordset(Query(u"Classes"_s));
            for (int i = 0; i < 200; ++i) addRow(rs, {{"Nom", u"Classe %1"_s.arg(i)}, {"Colonne", 1800}});
        }
        const QByteArray before = decryptedContent(file), bytes = fileBytes(file);
        disk.from(3, WriteTrap::Fail);
        QVERIFY(dbError([&] { d.updateRows(Query(u"Classes"_s), {{u"Colonne"_s, 900}}); }) != -1);
        QVERIFY(QFile::exists(file + u"-journal"_s) && fileBytes(file) != bytes);
        disk.stop();
        QCOMPARE(columnWidths(d, u"Classes"_s), QList<int>(200, 1800));
        QVERIFY(!QFile::exists(file + u"-journal"_s));
        d = Database();
        QCOMPARE(decryptedContent(file), before);
    }

    // Each value is checked against its field as it is assigned, and converted as stored.
    void valuesAreCheckedAsTheyAreAssigned() {
        const struct { const char* table; const char* field; QVariant value; DbErrc error; } refused[] = {
            {"Classes", "Nom", QString(51, u'x'), DbErrc::TextTooLong}, {"Notes", "Note", 1e39, DbErrc::OutOfRange},
            {"Classes", "Colonne", u"large"_s, DbErrc::TypeMismatch}, {"Classes", "Colonne", 40000, DbErrc::OutOfRange},
            {"Séries", "Date", u"2024-09-02"_s, DbErrc::TypeMismatch}, {"Séries", "Sur", 256, DbErrc::OutOfRange},
            {"Classes", "Colonne", std::numeric_limits<double>::infinity(), DbErrc::OutOfRange},
        };
        for (const auto& r : refused) {
            Recordset rs = m_db.OpenRecordset(Query(QString::fromUtf8(r.table)));
            rs.AddNew();
            QVERIFY2(dbError([&] { rs.Fields(QString::fromUtf8(r.field)).setValue(r.value); }) == code(r.error),
                     r.field);
        }

        // A fraction going into a byte is rounded a half to the even neighbour; a text is
        // read the French way.
        Recordset series = m_db.OpenRecordset(Query(u"Séries"_s));
        addRow(series, {{"Sur", 2.5}});
        addRow(series, {{"Sur", u"3,5"_s}});
        series.MoveFirst();
        QCOMPARE(series.Fields(u"Sur"_s).Value(), QVariant(2));
        QCOMPARE(series.Fields(u"Période"_s).Value(), QVariant(1));
        QCOMPARE(series.Fields(u"Date"_s).Value(), QVariant(QDateTime(QDate(2024, 9, 2), QTime(8, 30), Qt::UTC)));
        series.MoveNext();
        QCOMPARE(series.Fields(u"Sur"_s).Value(), QVariant(4));

        // The rules hold in the file itself, against a writer that skips the engine: the
        // period rule, an empty name, a grade given twice.
        for (const char* sql : {"INSERT INTO \"Séries\" (\"Période\") VALUES (7)",
                                "INSERT INTO \"Classes\" (\"Nom\", \"Colonne\") VALUES ('', 1)",
                                "INSERT INTO \"Notes\" (\"NumSérie\", \"NumElv\") VALUES (1, 1), (1, 1)"})
            QVERIFY2(rawExec(m_db.Name(), kTestPassword.toUtf8(), sql) != SQLITE_OK, sql);
    }

    // Keys are never reused nor set; a required field added to rows that lack it is required
    // from their next write.
    void definitionsAndTheirRules() {
        const QString file = path(u"definitions.dat"_s);
        {
            Database d = createTestFile(file, {classesTable()});
            Recordset rs = d.OpenRecordset(Query(u"Classes"_s));
            for (const char* name : {"5A", "5B", "5C", "5D"}) {
                if (rs.RecordCount() == 3)
                    rs.Delete();  // the last one, 5C
                addRow(rs, {{"Nom", QString::fromLatin1(name)}, {"Colonne", 1800}});
                rs.MoveLast();
            }
            QCOMPARE(rs.Fields(u"NumClass"_s).Value(), QVariant(4));
            rs.Edit();
            QCOMPARE(dbError([&] { rs.Fields(u"NumClass"_s).setValue(9); }), code(DbErrc::InvalidOperation));

            QCOMPARE(dbError([&] { d.CreateTable(classesTable()); }), code(DbErrc::TableExists));
            d.AddField(u"Classes"_s, FieldDef(u"Niveau"_s, FieldType::Integer).setRequired());
            QCOMPARE(dbError([&] { d.AddField(u"Classes"_s, FieldDef(u"niveau"_s, FieldType::Integer)); }),
                     code(DbErrc::FieldExists));
        }
        Recordset rs = Database::OpenDatabase(file, kTestPassword).OpenRecordset(Query(u"Classes"_s));
        QVERIFY(rs.Fields(u"Niveau"_s).Value().isNull());
        rs.Edit();
        rs.Fields(u"Nom"_s).setValue(u"4C"_s);
        QCOMPARE(dbError([&] { rs.Update(); }), code(DbErrc::RequiredMissing));
        rs.Fields(u"Niveau"_s).setValue(4);
        rs.Update();
    }

    // What a nested transaction wrote goes when it is not committed, and with the outer one
    // when that one is not, even once the nested one was committed.
    void transactionsWriteAllOrNothing() {
        Database d = createTestFile(path(u"transactions.dat"_s), {classesTable()});
        {
            Transaction outer(d);
            d.CreateTable(notesTable());
            d.AddField(u"Classes"_s, FieldDef(u"Extra"_s, FieldType::Long));
            for (const bool commit : {false, true}) {
                Transaction inner(d);
                d.CreateProperty(u"App"_s, FieldType::Text, u"x"_s);
                if (commit)
                    inner.commit();
            }
            QCOMPARE(d.PropertyNames(), QStringList{u"App"_s});
            QVERIFY(d.hasTable(u"Notes"_s));
        }
        QVERIFY(!d.hasTable(u"Notes"_s));
        QCOMPARE(d.TableDefs(u"Classes"_s).fieldIndex(u"Extra"_s), -1);
        QCOMPARE(dbError([&] { d.Properties(u"App"_s); }), code(DbErrc::NoSuchProperty));
    }

    void navigationOfEveryKind() {
        for (RecordsetType type : kKinds) {
            Recordset empty = m_db.OpenRecordset(Query(u"Elèves"_s), type);
            QVERIFY(empty.Eof());
            QCOMPARE(dbError([&] { empty.Fields(u"Nom"_s).Value(); }), code(DbErrc::NoCurrentRecord));
        }
        const QStringList added = {"Zoé", "Martin", "Éric", "dupont", "Durand", "Dupont", "Émile", "Eric"};
        Recordset students = m_db.OpenRecordset(Query(u"Elèves"_s));
        for (int n = 0; n < added.size(); ++n)
            addStudent(students, added[n], QString::number(n), n % 2 + 1);

        // Table order is the order in which rows were added; texts sort in French order.
        const Query byName = Query(u"Elèves"_s).orderBy({u"Nom"_s, u"Prénom"_s});
        for (RecordsetType type : kKinds) {
            QCOMPARE(names(m_db.OpenRecordset(Query(u"Elèves"_s), type)), added);
            QCOMPARE(names(m_db.OpenRecordset(byName, type)),
                     (QStringList{"dupont", "Dupont", "Durand", "Émile", "Eric", "Éric", "Martin", "Zoé"}));
        }
        QCOMPARE(names(m_db.OpenRecordset(Query(byName).where(Field(u"NumClass"_s) == 1), RecordsetType::Snapshot)),
                 (QStringList{"Durand", "Émile", "Éric", "Zoé"}));
    }

    // On the dynaset kept open on the whole table of grades, a find uses the table's indexes
    // rather than reading the table, and so do an edit and a delete.
    void findsOnEveryKind() {
        Recordset notes = m_db.OpenRecordset(Query(u"Notes"_s));
        {
            Transaction t(m_db);
            for (int series = 1; series <= 60; ++series)
                for (int student = 1; student <= 40; ++student)
                    addNote(notes, series, student, series * 100 + student);
            t.commit();
        }
        const quint64 before = m_db.fullScanSteps();
        QCOMPARE(found(notes, grade(57, 31), u"Note"_s), QVariant(5731.0f));
        QCOMPARE(found(notes, Field(u"NumElv"_s) == 40, u"Note"_s), QVariant(140.0f));
        notes.Edit();
        notes.Fields(u"Note"_s).setValue(12.5);
        notes.Update();
        notes.Delete();
        QCOMPARE(m_db.fullScanSteps(), before);

        const Query queries[] = {Query(u"Notes"_s), Query(u"Notes"_s).orderBy({u"NumElv"_s})};
        for (const Query& query : queries)
            for (RecordsetType type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
                Recordset rs = m_db.OpenRecordset(query, type);
                rs.MoveLast();
                QCOMPARE(found(rs, grade(2, 3), u"Note"_s), QVariant(203.0f));
                // No match leaves the current row where it was.
                QCOMPARE(found(rs, grade(2, 99), u"Note"_s), QVariant());
                QCOMPARE(rs.Fields(u"Note"_s).Value(), QVariant(203.0f));
                // A text that reads as a number finds the number; one that does not is refused.
                QCOMPARE(found(rs, Field(u"NumSérie"_s) == u"3"_s && Field(u"NumElv"_s) == 40, u"Note"_s),
                         QVariant(340.0f));
                QCOMPARE(dbError([&] { rs.FindFirst(Field(u"NumSérie"_s) == u"trois"_s); }),
                         code(DbErrc::TypeMismatch));
            }
    }

    void editsAndDeletesAreSeenAtOnce() {
        Recordset notes = m_db.OpenRecordset(Query(u"Notes"_s));
        addNote(notes, 1, 1, 8);
        QVERIFY(notes.Eof());  // opened empty: adding a row does not move
        notes.MoveFirst();
        addNote(notes, 1, 2, 9);
        addNote(notes, 2, 1, 10);
        notes.MoveLast();
        QCOMPARE(notes.Fields(u"NumSérie"_s).Value(), QVariant(2));

        // Delete every grade of series 1, as the deletion of a series does.
        for (notes.FindFirst(Field(u"NumSérie"_s) == 1); !notes.NoMatch(); notes.FindFirst(Field(u"NumSérie"_s) == 1)) {
            notes.Delete();
            QCOMPARE(dbError([&] { notes.Fields(u"Note"_s).Value(); }), code(DbErrc::NoCurrentRecord));
        }
        QCOMPARE(rowCount(m_db, u"Notes"_s), 1);

        notes.FindFirst(grade(2, 1));
        notes.Edit();
        notes.Fields(u"Note"_s).setValue(u"12,3"_s);
        notes.Update();
        Recordset copy = m_db.OpenRecordset(Query(u"Notes"_s), RecordsetType::Snapshot);
        QCOMPARE(copy.Fields(u"Note"_s).Value().toFloat(), 12.3f);
        // A refused row is not written, nor later once the recordset has moved.
        QCOMPARE(dbError([&] { addNote(notes, 2, 1, 0); }), code(DbErrc::DuplicateKey));
        notes.Fields(u"NumElv"_s).setValue(5);
        notes.MoveFirst();
        QCOMPARE(dbError([&] { notes.Update(); }), code(DbErrc::UpdateWithoutEdit));
        QCOMPARE(rowCount(m_db, u"Notes"_s), 1);
    }

    void setBasedWritesSelectAsQueriesDo() {
        Recordset students = m_db.OpenRecordset(Query(u"Elèves"_s));
        for (int n = 1; n <= 3; ++n) addStudent(students, u"E%1"_s.arg(n), u"P"_s, n == 2 ? 2 : 1);
        Recordset notes = m_db.OpenRecordset(Query(u"Notes"_s));
        for (const auto& [series, student] : {std::pair{1, 1}, {1, 2}, {2, 1}, {3, 3}, {2, 2}})
            addNote(notes, series, student, 8);
        // The grades of the students of class 1.
        QCOMPARE(m_db.deleteRows(Query(u"Notes"_s)
                                     .innerJoin(u"Elèves"_s, u"NumElv"_s, u"NumElv"_s)
                                     .where(Field(u"Elèves.NumClass"_s) == 1)),
                 3);
        const Query series1 = Query(u"Notes"_s).where(Field(u"NumSérie"_s) == 1);
        QCOMPARE(dbError([&] { m_db.updateRows(series1, {{u"NumSérie"_s, 2}}); }), code(DbErrc::DuplicateKey));
        QCOMPARE(dbError([&] { m_db.updateRows(series1, {{u"NumElv"_s, QVariant()}}); }), code(DbErrc::RequiredMissing));
        QCOMPARE(dbError([&] { m_db.updateRows(series1, {{u"Note"_s, u"x"_s}}); }), code(DbErrc::TypeMismatch));
        QCOMPARE(m_db.updateRows(series1, {{u"NumSérie"_s, 4}, {u"Note"_s, u"12,5"_s}}), 1);
        notes.FindFirst(grade(4, 2));
        QCOMPARE(notes.Fields(u"Note"_s).Value().toDouble(), 12.5);
        QCOMPARE(rowCount(m_db, u"Notes"_s), 2);
    }

    void namesAreJustNames() {
        Recordset students = m_db.OpenRecordset(Query(u"Elèves"_s));
        const QStringList awkward = {u"O'Neil"_s, u"Le \"Grand\""_s, u"100%"_s, u"C:\\x"_s};
        for (const QString& name : awkward)
            addStudent(students, name, u"P"_s, 1);
        for (const auto& [name, first] :
             {std::pair{u"Dupont"_s, u"Éric"_s}, {u"Eric"_s, u"Jean"_s}, {u"Éric"_s, u"Jean"_s}})
            addStudent(students, name, first, 1);

        // Letter case aside, but accents apart, however they are typed.
        for (RecordsetType type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
            Recordset rs = m_db.OpenRecordset(Query(u"Elèves"_s), type);
            for (const QString& name : awkward)
                QCOMPARE(found(rs, Field(u"Nom"_s) == name), QVariant(name));
            QCOMPARE(found(rs, Field(u"Nom"_s) == u"100_"_s), QVariant());
            QCOMPARE(found(rs, Field(u"Nom"_s) == u"DUPONT"_s && Field(u"Prénom"_s) == u"éric"_s),
                     QVariant(u"Dupont"_s));
            QCOMPARE(found(rs, Field(u"Nom"_s) == u"dupont"_s && Field(u"Prénom"_s) == u"Eric"_s), QVariant());
            QCOMPARE(found(rs, Field(u"Nom"_s) == u"e\u0301ric"_s), QVariant(u"Éric"_s));
        }
        QCOMPARE(dbError([&] { addStudent(students, u"dupont"_s, u"ÉRIC"_s, 2); }), code(DbErrc::DuplicateKey));
        QCOMPARE(dbError([&] { addStudent(students, u"E\u0301RIC"_s, u"jean"_s, 2); }), code(DbErrc::DuplicateKey));
        // Such a name stored as typed keeps its index in order: the file opens again.
        addStudent(students, u"Zoe\u0301"_s, u"Le\u0301a"_s, 2);
        Database::OpenDatabase(m_db.Name(), kTestPassword);
        addStudent(students, u"Dupont"_s, u"Eric"_s, 2);
        const Query oneil = Query(u"Elèves"_s).where(Field(u"Nom"_s) == u"o'neil"_s);
        QCOMPARE(names(m_db.OpenRecordset(oneil, RecordsetType::Snapshot)), QStringList{u"O'Neil"_s});
    }

    // Where a file or its journal is expected, a FIFO is refused at once, unopened; SQLite's own
    // opens do not wait on one either, where the engine did not look first. The temporary folder
    // where a journal is tried is named when it has no room.
    void whatLiesAtAPathIsCheckedBeforeItIsOpened() {
        const QString file = path(u"chemins.dat"_s), journal = file + u"-journal"_s;
        createTestFile(file);
        const QByteArray sound = fileBytes(file);
        const QByteArray key = kTestPassword.toUtf8();
        const auto refusal = [&](const QString& at = {}) {
            try {
                Database::OpenDatabase(at.isEmpty() ? file : at, kTestPassword);
            } catch (const DbError& e) {
                return u"%1 %2"_s.arg(int(e.code())).arg(QFileInfo(e.detail()).fileName());
            }
            return QString();
        };
        const auto refused = [](DbErrc c, const QString& name) { return u"%1 %2"_s.arg(int(c)).arg(name); };
        {
            WatchedFifo fifo(journal);
            QVERIFY(fifo.made());
            QCOMPARE(refusal(), refused(DbErrc::NotAFile, u"chemins.dat-journal"_s));
            // SQLite takes it for an empty file, no journal: it does not open it.
            QCOMPARE(dbError([&] { detail::Connection::open(file, detail::keyForFile(file, key), false); }), -1);
            QCOMPARE(rawExec(file, key, "SELECT count(*) FROM sqlite_master"), SQLITE_OK);
            QVERIFY(!fifo.hung());
        }
        QVERIFY(QFile::remove(journal));
        // Beside an empty file, SQLite would delete a journal that it did not write.
        const QString empty = path(u"vide.dat"_s);
        QVERIFY(writeFile(empty, {}) && writeFile(empty + u"-journal"_s, QByteArray(10, '\0')));
        Database::OpenDatabase(empty, kTestPassword);
        QCOMPARE(fileBytes(empty + u"-journal"_s), QByteArray(10, '\0'));
        const QString pipe = path(u"tube.dat"_s);
        {
            WatchedFifo fifo(pipe);
            QCOMPARE(refusal(pipe), refused(DbErrc::NotAFile, u"tube.dat"_s));
            QVERIFY(!detail::keyForFile(pipe, key).keys);
            sqlite3* raw = nullptr;
            QVERIFY(sqlite3_open_v2(QFile::encodeName(pipe).constData(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK);
            sqlite3_close(raw);
            QVERIFY(!fifo.hung());
        }
        // A journal is tried on copies in the temporary folder, which is named.
        QVERIFY(writeFile(journal, journalCuttingTo(2)));
        const QString temporary = path(u"temporaire"_s);
        QVERIFY(QDir().mkdir(temporary));
        const QByteArray tmpdir = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temporary));
        QString full;
        {
            FileSizeLimit limit(2 * 1024);
            full = refusal();
        }
        qputenv("TMPDIR", tmpdir);
        QCOMPARE(full, refused(DbErrc::TempFolderFull, u"temporaire"_s));
        QCOMPARE(fileBytes(file), sound);
        QCOMPARE(fileBytes(journal), journalCuttingTo(2));
    }

    // One copy of the program at a time has a file open: another process is refused it while
    // one holds it, and no longer once that one is closed, or killed. The process's own
    // openings of the file, by whatever path, share its lock. A journal that another program
    // leaves beside a file open is not taken for damage.
    void oneCopyOfTheProgramAtATime() {
        const QString file = path(u"partage.dat"_s), link = path(u"lien.dat"_s);
        createTestFile(file);
        QVERIFY(QFile::link(file, link));
        {
            OtherCopy other(file);
            QVERIFY(other.holds());
            QCOMPARE(dbError([&] { Database::OpenDatabase(file, kTestPassword); }), code(DbErrc::InUse));
            other.kill();
        }
        Database d = Database::OpenDatabase(file, kTestPassword);
        QVERIFY(!OtherCopy(file).holds());
        {
            const Database again = Database::OpenDatabase(link, kTestPassword);
            QCOMPARE(rowCount(again, u"Classes"_s), 0);
        }
        QVERIFY(!OtherCopy(file).holds());
        Recordset classes = d.OpenRecordset(Query(u"Classes"_s));
        addRow(classes, {{"Nom", u"6e A"_s}, {"Colonne", 1800}});
        d.Close();
        QVERIFY(OtherCopy(file).holds());

        d = Database::OpenDatabase(file, kTestPassword);
        classes = d.OpenRecordset(Query(u"Classes"_s));
        const QByteArray before = fileBytes(file);
        QVERIFY(writeFile(file + u"-journal"_s, journalCuttingTo(1)));
        QCOMPARE(dbError([&] { rowCount(d, u"Classes"_s); }), code(DbErrc::Busy));
        QCOMPARE(dbError([&] { addRow(classes, {{"Nom", u"6e B"_s}, {"Colonne", 1800}}); }), code(DbErrc::Busy));
        QCOMPARE(fileBytes(file), before);
        QCOMPARE(fileBytes(file + u"-journal"_s), journalCuttingTo(1));
    }
};

QTEST_MAIN(tst_Database)
#include "tst_Database.moc"
