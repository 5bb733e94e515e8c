#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <sys/types.h>

class QLockFile;

// What a run of the program makes for a while, and a kill would leave behind, is held with a
// lock beside its name (the name + ".lock") while in use. The lock goes with its process
// (QLockFile knows a dead owner, and a live owner keeps its lock however old it is), so that
// what a killed run left is told from what a live run, of this copy or another, still uses.
namespace platform {

// A name of `folder` that nothing takes, prefix + 8 hex digits + suffix, now held through
// `lock`; "" when no lock can be made there.
QString holdName(const QString& folder, const QString& prefix, const QString& suffix, std::unique_ptr<QLockFile>& lock);

// Removes the names of that shape in `folder` that no live run holds, each with the files
// named after it with one of `companions` (a journal), and their locks. `remove` removes the
// name itself; by default only a regular file of this user's goes: never a folder, never
// through a link. A name whose lock, at either of its names, is anything but a file of this
// user's stays, with all that goes with it.
void removeUnheld(const QString& folder, const QString& prefix, const QString& suffix,
                  const QStringList& companions = {}, const std::function<void(const QString&)>& remove = {});

// A file or folder that the program makes for a while outside its own folders: a print
// folder, a new file beside the one it replaces. Its name is noted in a folder of the
// program's own, under a lock, before it is made, and what it is (kind, device, inode,
// owner) once made, so that when a kill leaves it, the next start finds and removes it
// (removeKilledRunsLeftovers), and only it: whatever stands at that name since is left.
class TrackedTemporary {
public:
    enum Kind { File, PrivateFolder };
    // The files that the program writes in a folder of its own: only files of that kind go
    // with the folder, and a folder that holds anything else is left.
    enum class Contents {
        None,
        PrintFiles,    // the print preview's: "vsk" + a number + ".tmp", and what saving one leaves
        LibraryParts,  // the parts the workbook library writes for a while: "tmp." + 10 letters or digits
    };
    // A new file (with the usual permissions) or a folder that only this user may enter,
    // named prefix + "quibolet-" + 8 hex digits in `folder`.
    TrackedTemporary(const QString& folder, const QString& prefix, Kind kind, Contents contents = Contents::None);
    // Removes what it made, when it still stands there (nothing once it was renamed), then
    // the note.
    ~TrackedTemporary();
    TrackedTemporary(const TrackedTemporary&) = delete;
    TrackedTemporary& operator=(const TrackedTemporary&) = delete;

    // False when nothing could be made.
    bool isValid() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }

    // What was made, as the note keeps it.
    struct Made {
        QByteArray path;  // as the file system names it
        Kind kind = File;
        Contents contents = Contents::None;
        bool identified = false;  // false in a note of an earlier version, or of a run killed as it made it
        dev_t device = 0;
        ino_t inode = 0;
        uid_t owner = 0;
    };

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_note;
    QString m_path;
    Made m_made;
};

// At start: removes what killed runs left of their temporaries; a live run's are kept.
void removeKilledRunsLeftovers();

}  // namespace platform
