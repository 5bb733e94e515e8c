#pragma once
#include <QString>
#include <stdexcept>

namespace db {

enum class DbErrc {
    CannotOpen,         // missing file or folder, no access
    NotADatabase,       // wrong database password, plain SQLite file, any other file
    AlreadyExists,      // creating over an existing file
    Closed,             // the database or the recordset was closed
    NoSuchProperty,
    PropertyExists,
    NoSuchTable,
    TableExists,
    NoSuchField,
    FieldExists,
    InvalidDefinition,  // a table, field or index definition the engine refuses
    NoCurrentRecord,    // at EOF, after Delete, on an empty recordset
    ReadOnly,           // editing a snapshot or a forward-only recordset
    UpdateWithoutEdit,  // Update without AddNew or Edit
    InvalidOperation,   // moving backwards in a forward-only recordset, and the like
    DuplicateKey,       // a unique or primary index refused the row
    RequiredMissing,    // a required field (or a field of the primary index) is Null
    EmptyText,          // "" in a text field that refuses empty text
    ValidationRule,     // the field's validation rule refused the value
    TypeMismatch,       // a value that the field's type cannot hold
    OutOfRange,         // a number too large or too small for the field's type
    TextTooLong,        // a text longer than the field's size
    FileReadOnly,       // the file or its folder can only be read
    Busy,               // another program holds a lock on the file
    Damaged,            // the file's structure fails the engine's checks
    DiskFull,
    Io,                 // the disk failed to read or write
    NotAFile,           // a folder, a FIFO, a device or a socket where a file is expected
    Unreadable,         // the file may not be read by this user
    InUse,              // another copy of the program has the file open
    InUseHere,          // this copy of the program has open the file it would replace
    TempFolderFull,     // no room left in the temporary folder (the detail) for a copy
    TempFolderDenied,   // the temporary folder (the detail) cannot be written
    ForeignObject,      // a table, index, trigger or view that the engine did not create
    Engine,             // any other failure of the engine
};

// The one error the database engine throws. what() is a French description; detail names
// the table, field or file concerned where there is one.
class DbError : public std::runtime_error {
public:
    // `engineCode`: SQLite's extended result code, where the failure is one of SQLite's.
    DbError(DbErrc code, const QString& detail = {}, int engineCode = 0);

    DbErrc code() const { return m_code; }
    int engineCode() const { return m_engineCode; }
    const QString& detail() const { return m_detail; }
    QString description() const { return QString::fromUtf8(what()); }
    // The French description alone, without the detail, for the user.
    QString reason() const;
    // Whether the value written is at fault (a rule of the field or of an index), rather
    // than the file, the disk or another program.
    bool concernsValue() const;

private:
    DbErrc m_code;
    QString m_detail;
    int m_engineCode;
};

}  // namespace db
