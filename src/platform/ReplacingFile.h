#pragma once
#include "Leftovers.h"
#include "db/Database.h"

#include <QString>
#include <optional>

namespace platform {

// A new file for `target`, made under a hidden name in the target's folder, for writers that
// open a file by its name (a workbook, a PDF). It takes the target's place only through
// commit(), once written whole: until then, and whenever anything fails, an earlier file of
// that name stays as it was, and the new file goes with this object (after a kill, with the
// next start). A target that exists but is not a regular file that this process may write is
// never replaced, nor one that a copy of the program has open (a gradebook), there from the
// start or put there since, which stays kept from every opening until the new file is in its
// place; a link to a file replaces that file.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& target);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False when the target may not be replaced or no file can be made beside it.
    bool isValid() const { return m_file && m_file->isValid(); }
    // Where to write.
    QString fileName() const { return m_file ? m_file->path() : QString(); }
    // Puts the new file on the disk, then in the target's place; false when either fails.
    bool commit();

private:
    QString m_target;
    std::optional<db::Replacement> m_replacing;
    std::optional<TrackedTemporary> m_file;
};

}  // namespace platform
