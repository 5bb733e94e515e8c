#include "Settings.h"

#include <QCoreApplication>
#include <QMap>
#include <QMutex>
#include <QSettings>
#include <QThreadPool>
#include <optional>

namespace platform {
namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quibolet"),
                     QStringLiteral("Vorsk App Quibolet"));
}

// Settings saved wait here, where every reader sees them at once, until a thread of their
// own has written them to the file: the disk's sync, which may take tens of milliseconds,
// does not hold up the window that saved them (the main window writes its placement as
// it closes before the table of averages). They are all in the file when the program ends.
class PendingWrites {
public:
    PendingWrites() {
        m_writer.setMaxThreadCount(1);
        qAddPostRoutine([] { pendingWrites().flush(); });
    }
    ~PendingWrites() { flush(); }

    static PendingWrites& pendingWrites() {
        static PendingWrites writes;
        return writes;
    }

    void add(const QString& key, const QString& value) {
        const QMutexLocker lock(&m_mutex);
        m_pending.insert(key, value);
        if (m_scheduled) return;
        m_scheduled = true;
        m_writer.start([this] { write(); });
    }

    std::optional<QString> find(const QString& key) const {
        const QMutexLocker lock(&m_mutex);
        const auto found = m_pending.constFind(key);
        return found == m_pending.cend() ? std::nullopt : std::optional(*found);
    }

    void flush() { m_writer.waitForDone(); }

private:
    // Writes what is pending in one go; what is saved meanwhile waits for the next go.
    void write() {
        QMap<QString, QString> batch;
        {
            const QMutexLocker lock(&m_mutex);
            m_scheduled = false;
            batch = m_pending;
        }
        {
            QSettings settings = store();
            for (auto it = batch.cbegin(); it != batch.cend(); ++it) settings.setValue(it.key(), *it);
            settings.sync();
        }
        const QMutexLocker lock(&m_mutex);
        for (auto it = batch.cbegin(); it != batch.cend(); ++it)
            if (m_pending.value(it.key()) == *it) m_pending.remove(it.key());
    }

    mutable QMutex m_mutex;
    QMap<QString, QString> m_pending;
    bool m_scheduled = false;
    QThreadPool m_writer;
};

}  // namespace

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) {
    const QString path = section + u'/' + key;
    if (const std::optional<QString> pending = PendingWrites::pendingWrites().find(path)) return *pending;
    return store().value(path, defaultValue).toString();
}

void SaveSetting(const QString& section, const QString& key, const QString& value) {
    PendingWrites::pendingWrites().add(section + u'/' + key, value);
}

void flushSettings() { PendingWrites::pendingWrites().flush(); }

QString settingsFile() { return store().fileName(); }

}  // namespace platform
