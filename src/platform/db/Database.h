#pragma once
// The database engine of the program's files: SQLCipher files keyed with a password, with
// properties, table definitions and recordsets in the manner of the engine the program
// was first written for.
//
//   db::Database file = db::Database::OpenDatabase(path, password);   // DbError on failure
//   QString app = file.Properties("App").Value().toString();
//   db::Recordset rs = file.OpenRecordset(db::Query("Classes"), db::RecordsetType::Snapshot);
//   for (; !rs.Eof(); rs.MoveNext()) ... rs.Fields("Nom").Value() ...
//
// Every failure is a DbError. Database is a handle: copies share one connection, which
// stays open as long as a handle or a recordset uses it, or until Close().
#include "DbError.h"
#include "Query.h"
#include "Recordset.h"
#include "Schema.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class QObject;

namespace db {

namespace detail {
class Connection;
class FileLock;
}

// A named, typed value kept in the file beside its tables.
class Property {
public:
    const QString& Name() const { return m_name; }
    FieldType Type() const { return m_type; }
    QVariant Value() const;
    // Converted to the property's type (DbError TypeMismatch, OutOfRange).
    void setValue(const QVariant& value);

private:
    friend class Database;
    friend class Attachment;
    // `schema`: the name under which the file is attached to the connection, or empty for
    // the connection's own file.
    static Property find(std::shared_ptr<detail::Connection> connection, const QByteArray& schema, const QString& name);
    Property(std::shared_ptr<detail::Connection> connection, QByteArray schema, QString name, FieldType type);
    QByteArray table() const;

    std::shared_ptr<detail::Connection> m_connection;
    QByteArray m_schema;
    QString m_name;
    FieldType m_type;
};

// When a file's whole structure is checked as it opens: before OpenDatabase returns, or on a
// connection of its own while the file is already read, every write waiting for the verdict.
enum class Integrity { CheckFirst, CheckInBackground };

class Database {
public:
    Database() = default;  // no database

    // Creates a new, empty file; AlreadyExists when the path is taken, CannotOpen when the
    // folder is missing.
    static Database CreateDatabase(const QString& path, const QString& password);
    // CannotOpen for a missing file (nothing is created), NotADatabase for a wrong password,
    // a plain SQLite file or any other file. Refused before anything of it is read:
    // NotAFile for a folder, FIFO, device or socket, Unreadable for a file this user may not
    // read, InUse while another process has it open through OpenDatabase (a lock held until
    // it is closed, shared by the process's own openings of the file); the same with the
    // journal's path for what lies beside the file as its journal, FileReadOnly too. Nothing
    // is written to a file refused with:
    // FileReadOnly when the file or its folder cannot be written, Busy when another program
    // holds it, Damaged when it fails SQLite's whole check (its structure, or an index that
    // does not hold its table's rows under their keys as texts now compare),
    // InvalidDefinition when its definitions or properties hold what the engine would not
    // write, ForeignObject when it holds a table, index, trigger or view that the engine did
    // not build. Damaged also when its header holds what the engine never writes (another
    // page size, other reserved space, a WAL, another text encoding, a free list beyond the
    // file...), found before a page is read.
    // A link to the file opens the file it names: its lock, its journal and its super-journal
    // are that file's, as SQLite finds them.
    // A journal beside the file (a crash in the middle of a commit leaves one) is rolled back
    // as it opens only when it is one that SQLite wrote for this very file, it hides from
    // SQLite no record that would change the file, a super-journal it names is one that
    // SQLite wrote for a commit of this file, and the file it gives passes every check and
    // what `expected` demands (the caller's kind of file, with its tables and properties:
    // false, or any exception, refuses it), tried first on copies; otherwise the file is
    // refused as Damaged, it, its journal and what the journal names left as they are;
    // TempFolderFull or TempFolderDenied when the copies cannot be made or written, Io when
    // they cannot be read. A WAL beside the file is never read: the engine writes none. A
    // journal that another program leaves beside the file once it is open makes every read
    // and write of it fail with Busy. A super-journal left beside the file by a commit of
    // several files that was killed goes once no journal needs it.
    // CheckInBackground leaves the whole check (it reads every page) to a thread of its own:
    // the file can be read at once, its first write waits for the verdict and, on a file
    // that failed it, throws the failure (Damaged, Busy...) with nothing written.
    using Expectation = std::function<bool(const Database&)>;
    // The file that OpenDatabase opens for a name: its own path, past every link; the name
    // as it is when nothing is there.
    static QString FilePath(const QString& name);
    static Database OpenDatabase(const QString& path, const QString& password,
                                 Integrity integrity = Integrity::CheckFirst, const Expectation& expected = {});
    // Waits for the verdict of a check in the background; throws the failure as a write
    // would. Returns at once for a file checked as it opened.
    void awaitIntegrity() const;
    // `failed` runs on the thread of `context`, from its event loop, once the file has failed
    // its check in the background; never for a sound file, nor once either is gone.
    void onIntegrityFailure(QObject* context, std::function<void(const DbError&)> failed) const;

    bool isOpen() const;
    // The file's path, as it was given.
    QString Name() const;
    // Closes the connection for every handle and recordset that shares it.
    void Close();

    // NoSuchProperty when there is none of that name (letter case aside).
    Property Properties(const QString& name) const;
    QStringList PropertyNames() const;
    // Types used: Text, Memo, Byte, Boolean. PropertyExists when the name is taken.
    void CreateProperty(const QString& name, FieldType type, const QVariant& value);

    // Builds the table, its fields and indexes (InvalidDefinition, TableExists).
    void CreateTable(const TableDef& table);
    // Adds a field to a table that may hold rows; their value in it is Null until written.
    void AddField(const QString& table, const FieldDef& field);
    // Adds an index to a table that may hold rows: InvalidDefinition for a primary one or
    // a name taken, DuplicateKey when the rows break a unique one.
    void CreateIndex(const QString& table, const IndexDef& index);
    QStringList TableNames() const;
    bool hasTable(const QString& name) const;
    TableDef TableDefs(const QString& name) const;  // NoSuchTable

    // A dynaset (editable) reads one table, with no join and no field list.
    Recordset OpenRecordset(const Query& query, RecordsetType type = RecordsetType::Dynaset) const;

    // Every row of the query's table that the query selects (its criteria, through its
    // joins when it has some: the grades of a class's series) deleted, or given the values,
    // in one statement: what a loop over a dynaset does, at the cost of one. The values are
    // checked as Update checks them. The number of rows written. Throws DbError.
    qint64 deleteRows(const Query& query) const;
    qint64 updateRows(const Query& query, const QList<Criteria::Term>& values) const;

    // Rows of the table whose stored value of the field is not one the field's type holds
    // (a text in a number field, a number out of the type's range), Null aside. A file that
    // another program wrote may hold them: reading converts them silently, so a reader that
    // must not trust the file counts them first. Throws DbError when the table or field is not in the file.
    qint64 MistypedCount(const QString& table, const QString& field) const;

    // Steps that the engine spent scanning whole tables, for tests that check that a
    // search uses an index.
    quint64 fullScanSteps() const;

    bool sameDatabase(const Database& other) const { return m_connection && m_connection == other.m_connection; }

private:
    friend class Transaction;
    friend class Attachment;
    explicit Database(std::shared_ptr<detail::Connection> connection);
    detail::Connection& connection() const;

    std::shared_ptr<detail::Connection> m_connection;
};

// A file about to be replaced by a new one, kept meanwhile from every opening: one gradebook
// is one file, which no copy of the program may lose from under it.
//
//   db::Replacement replacing(path);       // DbError InUse, InUseHere while an opening has it open
//   ... write the new file at `made` ...
//   replacing.replaceWith(made);
class Replacement {
public:
    // DbError InUse while an opening of another process has the file at `target` open, by
    // whatever path (a link, another hard link), InUseHere while one of this process has it.
    // Nothing to keep when nothing there could be opened (no file, a folder, a file this user
    // may not read).
    explicit Replacement(const QString& target);
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Puts the file at `made` in the target's place in one step (a rename), then removes what
    // lies at the target's journal name, which belonged to the replaced file. DbError Io when
    // the rename fails, nothing changed. A name that was free is taken only if it is free
    // still: what stands there since is replaced as a file that stood there from the start,
    // once kept from every opening, or refused as the constructor would refuse it.
    void replaceWith(const QString& made);

private:
    QString m_target;
    std::shared_ptr<detail::FileLock> m_lock;
};

// Writes that must all happen or none: rolled back when destroyed without commit().
// Transactions nest.
// Reading several recordsets in a row (a grid, a table of averages) is also much faster
// inside one transaction: SQLCipher cannot tell that an encrypted file is unchanged since
// the last read, so every statement run outside a transaction starts with an empty page
// cache and decrypts again what it reads.
class Transaction {
public:
    explicit Transaction(const Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    std::shared_ptr<detail::Connection> m_connection;
    QByteArray m_name;
    quint64 m_catalogueWrites = 0;
    bool m_done = false;
};

// A file opened on a second database's connection as well, so that one Transaction on that
// database writes both files: its commit is kept in both or lost in both, also when the
// program is killed in the middle of it (SQLite then commits through a super-journal beside
// the host's file).
//
//   db::Attachment exchange(gradebook, file);             // before the transaction
//   db::Transaction transaction(gradebook);
//   exchange.Properties("Importé").setValue(true);
//   ... writes to the gradebook ...
//   transaction.commit();                                  // both, or neither
//
// Detached when destroyed, which must come after the end of every transaction of the host.
class Attachment {
public:
    // `file` is open on a connection of its own, which checked it as it opened, and its
    // definitions type what is written to it here; it is opened again by its path, with the
    // same key, on `host`'s connection, outside any transaction of the host. Throws DbError:
    // Busy when a journal that would be played back lies beside `file` (another program
    // writes it, or left it half written, and the attaching would find it unchecked);
    // InvalidOperation when the host is in a transaction; CannotOpen when the file is gone;
    // FileReadOnly, NotADatabase and the like as an opening. Neither file can keep a
    // write-ahead log, whose commits the super-journal would not join: its header is refused.
    Attachment(const Database& host, const Database& file);
    ~Attachment();
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    // As those of a Database, on the attached file.
    Property Properties(const QString& name) const;
    // One table, no join (InvalidOperation otherwise).
    qint64 updateRows(const Query& query, const QList<Criteria::Term>& values) const;

private:
    std::shared_ptr<detail::Connection> m_host;
    std::shared_ptr<detail::Connection> m_file;
};

}  // namespace db
