#pragma once
// Inside the engine: a rollback journal found beside a file, read as SQLite would play it
// back, and judged before SQLite sees it. SQLite trusts a journal as soon as it finds one
// beside its file: its header sets the page size SQLite reads with and the length the file
// is cut or grown to, and its records overwrite the file's pages. A journal is let near the
// file only when it is one that SQLite wrote for that very file.
#include "Cipher.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace db::detail {

struct Journal {
    QByteArray bytes;         // as it was read, and judged
    QByteArray superJournal;  // the name of the super-journal that it names, or empty
};

// The journal at `path`, beside the file at `file` opened with `key`, read whole; nullopt
// unless SQLite wrote it for that file: its headers, the file's page size, a sector size
// SQLite writes, an original length of one page at least and no more than the file and the
// records give, every record's page within it, its checksum right and its HMAC the file's
// (page 1 with the file's salt), and the record naming a super-journal, where there is one,
// whole. And nothing in it that SQLite would skip but what it writes there: zeros between
// its records and the next header, and past the last header it synced, the records of a
// commit killed before it synced them, whose pages the file still holds as they were. A
// header changed to hide records from SQLite (a sector size, a count, a magic) would
// leave the file half written.
std::optional<Journal> readJournal(const QString& path, const QString& file, const FileKey& key);

// What SQLite makes of the super-journal that a journal names: Missing, and the journal is
// one of a commit that was complete, which SQLite deletes unplayed; Present, and it plays
// the journal back, then deletes the super-journal once no journal it names needs it. The
// name is not signed: anyone who can write beside a file could point it anywhere. So it is
// Present only as SQLite writes one for the file whose journal is at `journal`: at an absolute
// path, named as SQLite names them, a regular file, not a link, whose list of journals names
// that journal by its full path. Unusable: anything else stands there.
enum class SuperJournal { Missing, Present, Unusable };
SuperJournal findSuperJournal(const QByteArray& name, const QString& journal);

// The journal's bytes with its record naming a super-journal made unreadable: played back
// alone, so that SQLite neither reads nor deletes the super-journal.
QByteArray withoutSuperJournal(const Journal& journal);

// A super-journal outlives a commit of several files that was killed before their journals
// named it: SQLite removes one only as it rolls back a journal that names it. Those beside
// the file at `path`, named after it as SQLite names them and naming its journal among
// journals of existing files, are removed once no journal that they name still names them.
void removeStaleSuperJournals(const QString& path);

}  // namespace db::detail
