#pragma once
// Inside the engine: what is checked of a file and of what lies beside it before anything
// opens them, and of the temporary folder where a journal is tried. Opening a FIFO for reading
// waits for a writer, for ever when none comes, and a device may do anything as it opens: only
// regular files are opened, by the program and by SQLite alike.
#include "DbError.h"
#include "Sqlite.h"

#include <QByteArray>
#include <QFile>
#include <QString>

struct stat;

namespace db::detail {

// What lies at path: nothing (errno says why), a regular file, or something else (a folder, a
// FIFO, a device, a socket). Looked at with stat(), or lstat() where a link is not followed,
// into `info` where given: nothing is opened.
enum class PathKind { Nothing, File, Other };
PathKind kindAt(const QByteArray& path, struct stat* info = nullptr, bool followLinks = true);

// What lies beside a file as its journal, if anything, must be a file that this user may read
// and write, since SQLite may have to roll it back: DbError NotAFile, Unreadable or
// FileReadOnly with the journal's path.
void checkJournal(const QString& journal);

// The failure to copy a file into the temporary folder, which the error names:
// TempFolderDenied when this user may not write there, TempFolderFull otherwise (a full disk,
// a quota, a size limit).
DbError tempFolderFailure();

// A copy written in the temporary folder, unbuffered, that tells a failure to write it (a full
// disk, a quota, a size limit) from a failure to read what is copied into it.
class TemporaryCopy : public QFile {
public:
    using QFile::QFile;
    bool open() { return QFile::open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered); }
    // Closes it: whether all was written, the close included (a quota may be told only then).
    bool finish();

protected:
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool m_writeFailed = false;
};

// Makes the opens of SQLite's own layer of the system refuse a FIFO or a socket at once rather
// than wait on it, even one put in place of a file after it was looked at: for the whole
// process, once (startEngine()).
void refuseWaits();

// What an open refused by the file guard gives (a journal that the guard may not roll back):
// SQLITE_CORRUPT for SQLite, which leaves the file unread, but told apart by the engine. Met
// on a connection already open, it is another program's: one that writes the file or was
// killed in the middle of writing it.
inline constexpr int kForeignJournal = SQLITE_CORRUPT | (64 << 8);

}  // namespace db::detail
