#pragma once
#include <QString>
#include <QTemporaryFile>

namespace platform {

// A new file for `target`, made under a hidden name in the target's folder, for writers that
// open a file by its name (a workbook, a PDF). It takes the target's place only through
// commit(), once written whole: until then, and whenever anything fails, an earlier file of
// that name stays as it was, and the new file goes with this object. A target that exists
// but is not a regular file that the user may write is never replaced; a link to a file
// replaces that file.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& target);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False when the target may not be replaced or no file can be made beside it.
    bool isValid() const { return m_valid; }
    // Where to write.
    QString fileName() const { return m_file.fileName(); }
    // Puts the new file on the disk, then in the target's place; false when either fails.
    bool commit();

private:
    QString m_target;
    QTemporaryFile m_file;
    bool m_valid = false;
};

}  // namespace platform
