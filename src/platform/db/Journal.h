#pragma once
// Inside the engine: a rollback journal found beside a file, read as SQLite would play it
// back, and judged before SQLite sees it. SQLite trusts a journal as soon as it finds one
// beside its file: its header sets the page size SQLite reads with and the length the file
// is cut or grown to, and its records overwrite the file's pages. A journal is let near the
// file only when it is one that SQLite wrote for that very file.
#include "Cipher.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace db::detail {

struct Journal {
    QByteArray bytes;         // as it was read, and judged
    QByteArray superJournal;  // the name of the super-journal that it names, or empty
    // Every record of the file's keys that it holds, by offset and page, within the length the
    // file has once SQLite played it: played or not, each must hold what the rolled-back file
    // holds (agreesWith).
    QList<std::pair<qint64, quint32>> records;
};

// The journal at `path`, beside the file at `file` opened with `key`, read whole; nullopt
// where what SQLite plays of it would harm the file, whatever else it holds: a page size not
// the file's, a length of nothing, a length that no record gives the pages past the file's
// end, a record counted by a header that is not whole or that names a page past that length,
// a first page of another salt, a record naming a super-journal that is not whole.
// SQLite reads a journal header after header, each at a sector's boundary, and stops at the
// first without magic, at a record of page 0 or whose checksum is wrong: what lies past
// there, in the gaps between, inside a header's sector, it never reads. That may be nothing
// (zeros, the copies of a header) or the remains of an earlier journal of the file, which a
// kill left before SQLite synced it and which the next commit wrote over only in part: they
// hold the file's pages as they were, which the rollback gives back anyway. But a header
// changed (a sector size, a count, a magic) hides records from SQLite, which leaves the file
// half written: so every record is found, wherever it lies, and judged against the result.
std::optional<Journal> readJournal(const QString& path, const QString& file, const FileKey& key);

// Whether every record of the journal holds what the file at `rolledBack` holds, once SQLite
// played the journal into it (the trial's copy).
bool agreesWith(const Journal& journal, const QString& rolledBack, const FileKey& key);

// What SQLite makes of the super-journal that a journal names: Missing, and the journal is
// one of a commit that was complete, which SQLite deletes unplayed; Present, and it plays
// the journal back, then deletes the super-journal once no journal it names needs it. The
// name is not signed: anyone who can write beside a file could point it anywhere. So it is
// taken only as SQLite writes one, at an absolute path, named as SQLite names them: Missing
// where nothing is at that name, or an empty file, as SQLite counts it; Present where a
// regular file is there, not a link, whose list of journals names the journal at `journal` by
// its full path. Unusable: any other name, or anything else at it (a device, a FIFO, a
// folder, a link, another commit's), which SQLite could take for missing.
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
