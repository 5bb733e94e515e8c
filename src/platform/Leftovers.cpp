#include "Leftovers.h"

#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

namespace platform {
namespace {

using namespace Qt::StringLiterals;

QString lockName(const QString& name) { return name + u".lock"_s; }

QString randomPart() { return u"%1"_s.arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')); }

// Whether anything has that name, a link to nothing included.
bool taken(const QString& path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); }

void removePath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

// Each tracked temporary is noted here as a link to it, named and locked by holdName. The
// links name the teacher's files: the folder is the user's alone.
QString trackingFolder() { return paths::configFolder() + u"/En cours"_s; }

bool makeTrackingFolder() {
    const QString folder = trackingFolder();
    return QDir().mkpath(paths::configFolder()) &&
           (QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) || QFileInfo(folder).isDir());
}

// The ending of a tracked temporary's name: a note that names anything else is not followed.
const QString kMarker = u"quibolet-"_s;

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
        QLockFile lock(lockName(name));
        if (!lock.tryLock(0)) continue;
        // A run that finds a stale lock takes a second one, ".rmlock", while it removes it; a
        // kill meanwhile leaves that one too. Taken as that run took it, it goes when let go.
        QLockFile removal(lockName(name) + u".rmlock"_s);
        removal.tryLock(0);
        if (remove)
            remove(name);
        else
            removePath(name);
        for (const QString& companion : companions) QFile::remove(name + companion);
    }
}

TrackedTemporary::TrackedTemporary(const QString& folder, const QString& prefix, Kind kind) {
    // Noted before it exists, so that a kill at any moment leaves nothing that no note names.
    // Without a note (a configuration folder that cannot be written) it is made all the same.
    if (makeTrackingFolder()) m_note = holdName(trackingFolder(), {}, {}, m_lock);
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    QString path;
    do path = absolute + u'/' + prefix + kMarker + randomPart();
    while (taken(path));
    if (!m_note.isEmpty() && !QFile::link(path, m_note)) {
        m_note.clear();
        m_lock.reset();
    }
    const bool made = kind == File ? QFile(path).open(QIODevice::WriteOnly | QIODevice::NewOnly)
                                   : QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (made) m_path = path;
}

TrackedTemporary::~TrackedTemporary() {
    if (isValid()) removePath(m_path);
    if (!m_note.isEmpty()) QFile::remove(m_note);
}

void removeKilledRunsLeftovers() {
    static const QRegularExpression tracked(QRegularExpression::escape(kMarker) + u"[0-9a-f]{8}$"_s);
    removeUnheld(trackingFolder(), {}, {}, {}, [](const QString& note) {
        const QString temporary = QFile::symLinkTarget(note);
        if (tracked.match(temporary).hasMatch()) {
            // On a disk that is not there now (a USB stick taken out), it waits for a start
            // that finds the disk.
            if (!QFileInfo(QFileInfo(temporary).absolutePath()).isDir()) return;
            removePath(temporary);
        }
        QFile::remove(note);
    });
}

}  // namespace platform
