#include "Leftovers.h"

#include "Paths.h"
#include "db/FileChecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

using namespace Qt::StringLiterals;
using Made = TrackedTemporary::Made;
using Contents = TrackedTemporary::Contents;
using db::detail::kindAt;
using db::detail::PathKind;

QString lockName(const QString& name) { return name + u".lock"_s; }

QString randomPart() { return u"%1"_s.arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')); }

// Whether anything has that name, a link to nothing included.
bool taken(const QString& path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); }

// A file descriptor, closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool isValid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // Handed to an owner that closes it.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// A regular file opened for reading as it is at `path`: never through a link, and never
// waiting, as opening a FIFO would for a writer; invalid for anything else.
Descriptor openRegular(const QString& path) {
    Descriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (file.isValid() && (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))) return Descriptor(-1);
    return file;
}

// A regular file of this user's, as it stands at the name: a link, whatever it points to, is
// not one. In a folder that others write to (an export folder), their files are theirs to remove.
bool isOwnFile(const QByteArray& name) {
    struct stat info;
    return kindAt(name, &info, false) == PathKind::File && info.st_uid == ::geteuid();
}

// A run that finds a stale lock takes a second one, ".rmlock", while it removes it.
QString removalLockName(const QString& lock) { return lock + u".rmlock"_s; }

// Whether QLockFile may be let at a lock: each of its names holds nothing or a file of this
// user's. Anything else is no lock of this user's runs, and what it holds is left: QLockFile
// would wait for ever on a FIFO that it reads there, and remove a link or another's file as a
// stale lock.
bool isOwnLock(const QString& lock) {
    for (const QString& path : {lock, removalLockName(lock)})
        if (const QByteArray name = QFile::encodeName(path);
            kindAt(name, nullptr, false) != PathKind::Nothing && !isOwnFile(name))
            return false;
    return true;
}

// QLockFile takes a flock on a lock file in the system call after the one that makes it, before
// it writes who holds it, and knows a dead owner at once only from what it wrote: an empty lock
// it keeps for its stale age (30 s), and with it what the lock holds. An empty lock that no
// process holds is one whose run was killed in between: removed under that flock, so that the
// name can be taken now.
void removeAbandonedLock(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info, named;
    const Descriptor lock = openRegular(path);
    if (!lock.isValid() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(lock.get(), &info) != 0 ||
        info.st_size != 0)
        return;
    // Only that file: not one that a run made at the name since it was removed.
    if (::lstat(name.constData(), &named) == 0 && named.st_dev == info.st_dev && named.st_ino == info.st_ino)
        ::unlink(name.constData());
}

// A name, not what it names: only a file of this user's goes, never a link nor a folder.
void removeOwnFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (isOwnFile(name)) ::unlink(name.constData());
}

// Each tracked temporary is noted here, in a file named and locked by holdName. The notes
// name the teacher's files: the folder is the user's alone.
QString trackingFolder() { return paths::configFolder() + u"/En cours"_s; }

bool makeTrackingFolder() {
    const QString folder = trackingFolder();
    return QDir().mkpath(paths::configFolder()) &&
           (QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) || QFileInfo(folder).isDir());
}

// The ending of a tracked temporary's name: a note that names anything else is not followed.
const QString kMarker = u"quibolet-"_s;

bool isTrackedName(const QString& path) {
    static const QRegularExpression tracked(QRegularExpression::escape(kMarker) + u"[0-9a-f]{8}$"_s);
    return tracked.match(path).hasMatch();
}

// A note is "key=value" lines, the values percent-encoded, written in two steps: what is about
// to be made, then, once made, what it is. A line that a kill cut short does not count.
QByteArray noteLine(const char* key, const QByteArray& value) {
    return QByteArray(key) + '=' + value.toPercentEncoding() + '\n';
}

bool writeToNote(const QString& note, QIODevice::OpenMode mode, const QByteArray& text) {
    QFile file(note);
    return file.open(mode) && file.write(text) == text.size() && file.flush();
}

// The kinds of files the program's folders hold: the names notes give them, and their shape.
struct ContentsKind {
    Contents contents;
    QByteArray name;
    QRegularExpression shape;
};

const std::array<ContentsKind, 2>& contentsKinds() {
    static const std::array<ContentsKind, 2> kinds{{
        // Each build's print file, and what saving one leaves when it is cut short.
        {Contents::PrintFiles, "print-files", QRegularExpression(u"^vsk[0-9]+\\.tmp(\\.[A-Za-z0-9]{6})?$"_s)},
        // What the workbook library writes for a while as it makes a workbook.
        {Contents::LibraryParts, "library-parts", QRegularExpression(u"^tmp\\.[A-Za-z0-9]{10}$"_s)},
    }};
    return kinds;
}

const ContentsKind* kindOf(Contents contents) {
    for (const ContentsKind& kind : contentsKinds())
        if (kind.contents == contents) return &kind;
    return nullptr;
}

// A name the program does not know (a later version's) lets nothing go with the folder. Notes
// of the version before these names held the pattern itself: those the program wrote are known.
Contents contentsNamed(const QByteArray& name) {
    for (const ContentsKind& kind : contentsKinds())
        if (name == kind.name || name == kind.shape.pattern().toUtf8()) return kind.contents;
    return Contents::None;
}

bool noteIntent(const QString& note, const Made& made) {
    const ContentsKind* contents = kindOf(made.contents);
    return writeToNote(note, QIODevice::WriteOnly | QIODevice::NewOnly,
                       noteLine("kind", made.kind == TrackedTemporary::File ? "file" : "folder") +
                           noteLine("path", made.path) + noteLine("contents", contents ? contents->name : "none"));
}

bool noteIdentity(const QString& note, const Made& made) {
    return writeToNote(note, QIODevice::Append,
                       noteLine("device", QByteArray::number(quint64(made.device))) +
                           noteLine("inode", QByteArray::number(quint64(made.inode))) +
                           noteLine("owner", QByteArray::number(quint64(made.owner))));
}

// A note of an earlier version is a link to what it noted, and says nothing of what that was.
std::optional<Made> readOldNote(const QString& note) {
    const QString target = QFile::symLinkTarget(note);
    if (!isTrackedName(target)) return std::nullopt;
    Made made;
    made.path = QFile::encodeName(target);
    struct stat info;
    // That version tracked no other folders than print folders.
    if (::lstat(made.path.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        made.kind = TrackedTemporary::PrivateFolder;
        made.contents = Contents::PrintFiles;
    }
    return made;
}

std::optional<Made> readNote(const QString& note) {
    if (QFileInfo(note).isSymLink()) return readOldNote(note);
    const Descriptor opened = openRegular(note);
    QFile file;
    if (!opened.isValid() || !file.open(opened.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    lines.removeLast();  // what follows the last end of line: nothing, or a line cut short
    QHash<QByteArray, QByteArray> fields;
    for (const QByteArray& line : std::as_const(lines))
        if (const qsizetype equals = line.indexOf('='); equals > 0)
            fields.insert(line.left(equals), QByteArray::fromPercentEncoding(line.mid(equals + 1)));
    Made made;
    made.path = fields.value("path");
    const QByteArray kind = fields.value("kind");
    if (!made.path.startsWith('/') || !isTrackedName(QFile::decodeName(made.path)) ||
        (kind != "file" && kind != "folder"))
        return std::nullopt;
    made.kind = kind == "file" ? TrackedTemporary::File : TrackedTemporary::PrivateFolder;
    bool device = false, inode = false, owner = false;
    made.device = dev_t(fields.value("device").toULongLong(&device));
    made.inode = ino_t(fields.value("inode").toULongLong(&inode));
    made.owner = uid_t(fields.value("owner").toULongLong(&owner));
    made.identified = device && inode && owner;
    // A run killed before it noted what it made had written nothing in it yet: a folder that
    // the note does not identify only goes when empty.
    if (made.identified) made.contents = contentsNamed(fields.value("contents"));
    return made;
}

// Whether `info` is what was made: same kind, made by this user and, when the note says
// what it was, the same object. Without that, only an object of this user's of that kind.
bool isMade(const struct stat& info, const Made& made) {
    const bool kind = made.kind == TrackedTemporary::File ? S_ISREG(info.st_mode) : S_ISDIR(info.st_mode);
    if (!kind || info.st_uid != ::geteuid()) return false;
    return !made.identified || (info.st_dev == made.device && info.st_ino == made.inode && made.owner == info.st_uid);
}

// Removes, in the folder open as `folder`, this user's regular files whose names have the
// shape of `contents`; a link stays, and what it points to, and so does a folder.
void removeContents(int folder, Contents contents) {
    const ContentsKind* kind = kindOf(contents);
    if (!kind) return;
    Descriptor copy(::dup(folder));
    std::unique_ptr<DIR, DirCloser> listing(copy.isValid() ? ::fdopendir(copy.get()) : nullptr);
    if (!listing) return;
    copy.release();  // the listing closes it now
    const QRegularExpression& shape = kind->shape;
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(listing.get()))
        if (shape.match(QFile::decodeName(entry->d_name)).hasMatch()) names << QByteArray(entry->d_name);
    for (const QByteArray& name : std::as_const(names)) {
        struct stat info;
        if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid())
            ::unlinkat(folder, name.constData(), 0);
    }
}

// Removes what `made` names if it still is what was made, never following a link to it or
// in it; false when its folder is not there now (a USB stick taken out), to be tried at a
// start that finds it.
bool removeMade(const Made& made) {
    const qsizetype slash = made.path.lastIndexOf('/');
    const QByteArray name = made.path.mid(slash + 1);
    if (slash < 0 || name.isEmpty() || name == "." || name == "..") return true;
    const QByteArray parentPath = slash == 0 ? QByteArray("/") : made.path.left(slash);
    const Descriptor parent(::open(parentPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.isValid()) return errno != ENOENT && errno != ENOTDIR;
    struct stat info;
    if (::fstatat(parent.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !isMade(info, made)) return true;
    if (made.kind == TrackedTemporary::File) {
        ::unlinkat(parent.get(), name.constData(), 0);
        return true;
    }
    // Looked at again through the folder itself: a link put at its name meanwhile opens nothing.
    const Descriptor folder(::openat(parent.get(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.isValid() || ::fstat(folder.get(), &info) != 0 || !isMade(info, made)) return true;
    removeContents(folder.get(), made.contents);
    // Refused while anything else is left in it.
    ::unlinkat(parent.get(), name.constData(), AT_REMOVEDIR);
    return true;
}

}  // namespace

QString holdName(const QString& folder, const QString& prefix, const QString& suffix, std::unique_ptr<QLockFile>& lock) {
    for (;;) {
        const QString name = folder + u'/' + prefix + randomPart() + suffix;
        if (taken(name)) continue;
        auto locked = std::make_unique<QLockFile>(lockName(name));
        if (!locked->tryLock(0)) {
            if (locked->error() == QLockFile::LockFailedError) continue;
            return {};
        }
        // Looked at again under the lock: a killed run may have left the name meanwhile.
        if (taken(name)) continue;
        lock = std::move(locked);
        return name;
    }
}

void removeUnheld(const QString& folder, const QString& prefix, const QString& suffix, const QStringList& companions,
                  const std::function<void(const QString&)>& remove) {
    QStringList endings{u"\\.lock"_s, u"\\.lock\\.rmlock"_s};
    for (const QString& companion : companions) endings << QRegularExpression::escape(companion);
    const QRegularExpression shape(u"^("_s + QRegularExpression::escape(prefix) + u"[0-9a-f]{8}"_s +
                                   QRegularExpression::escape(suffix) + u")("_s + endings.join(u'|') + u")?$"_s);
    QSet<QString> names;
    const QStringList entries = QDir(folder).entryList(
        {prefix + u'*'}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (const QRegularExpressionMatch match = shape.match(entry); match.hasMatch())
            names.insert(folder + u'/' + match.captured(1));
    for (const QString& name : std::as_const(names)) {
        if (!isOwnLock(lockName(name))) continue;
        removeAbandonedLock(lockName(name));
        QLockFile lock(lockName(name));
        if (!lock.tryLock(0)) continue;
        // A kill while a run removed a stale lock leaves the second lock too. Taken as that run
        // took it, it goes when let go.
        QLockFile removal(removalLockName(lockName(name)));
        removal.tryLock(0);
        if (remove)
            remove(name);
        else
            removeOwnFile(name);
        for (const QString& companion : companions) removeOwnFile(name + companion);
    }
}

TrackedTemporary::TrackedTemporary(const QString& folder, const QString& prefix, Kind kind, Contents contents) {
    // A folder that does not exist may read as "": never the working folder then.
    if (folder.isEmpty()) return;
    // Noted before it exists, so that a kill at any moment leaves nothing that no note names.
    // Without a note (a configuration folder that cannot be written) it is made all the same.
    if (makeTrackingFolder()) m_note = holdName(trackingFolder(), {}, {}, m_lock);
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    QString path;
    do path = absolute + u'/' + prefix + kMarker + randomPart();
    while (taken(path));
    m_made.path = QFile::encodeName(path);
    m_made.kind = kind;
    m_made.contents = contents;
    if (!m_note.isEmpty() && !noteIntent(m_note, m_made)) {
        QFile::remove(m_note);
        m_note.clear();
        m_lock.reset();
    }
    const char* name = m_made.path.constData();
    struct stat info;
    if (kind == File) {
        const Descriptor file(::open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.isValid() || ::fstat(file.get(), &info) != 0) return;
    } else if (::mkdir(name, 0700) != 0 || ::lstat(name, &info) != 0 || !S_ISDIR(info.st_mode)) {
        return;
    }
    m_made.device = info.st_dev;
    m_made.inode = info.st_ino;
    m_made.owner = info.st_uid;
    m_made.identified = true;
    m_path = path;
    if (!m_note.isEmpty()) noteIdentity(m_note, m_made);
}

TrackedTemporary::~TrackedTemporary() {
    // The note stays for a start that finds the disk that was taken out meanwhile.
    if (isValid() && !removeMade(m_made)) return;
    if (!m_note.isEmpty()) QFile::remove(m_note);
}

void removeKilledRunsLeftovers() {
    removeUnheld(trackingFolder(), {}, {}, {}, [](const QString& note) {
        if (const std::optional<Made> made = readNote(note); made && !removeMade(*made)) return;
        QFile::remove(note);
    });
}

}  // namespace platform
