#include "Verification.h"

#include "Collations.h"
#include "Guard.h"
#include "Verify.h"

#include <QCoreApplication>
#include <QFile>
#include <utility>

namespace db::detail {
namespace {

// Checks still running when the application goes are stopped while the libraries they use
// are still there: the open gradebook itself is only released after main() returns, maybe
// after this list.
Q_GLOBAL_STATIC(QList<Verification*>, g_running)

void stopAll() {
    for (Verification* v : std::as_const(*g_running))
        v->stop();
}

}  // namespace

Verification::Verification(QString path, FileKey key) : m_path(std::move(path)), m_key(std::move(key)) {
    static const bool atExit = (qAddPostRoutine(stopAll), true);
    Q_UNUSED(atExit);
    g_running->append(this);
    m_thread = std::thread([this] { run(); });
}

Verification::~Verification() {
    stop();
    if (!g_running.isDestroyed())
        g_running->removeOne(this);
}

void Verification::stop() {
    m_stopped = true;
    if (m_thread.joinable())
        m_thread.join();
}

void Verification::run() {
    std::optional<DbError> failure;
    sqlite3* handle = nullptr;
    // Once told to stop, every read of its connection fails: SQLite's integrity walk heeds
    // neither sqlite3_interrupt() nor a progress handler, the whole walk being one step.
    FileGuard guard(m_key, &m_stopped);
    const QByteArray key = m_key.sqlcipherKey();
    try {
        if (sqlite3_open_v2(QFile::encodeName(m_path).constData(), &handle, SQLITE_OPEN_READONLY, guard.vfsName())
            != SQLITE_OK)
            throw DbError(DbErrc::CannotOpen, m_path);
        sqlite3_extended_result_codes(handle, 1);
        sqlite3_busy_timeout(handle, 2000);
        if (!key.isEmpty() && sqlite3_key(handle, key.constData(), int(key.size())) != SQLITE_OK)
            throw DbError(DbErrc::Engine, m_path);
        if (!collation::registerOn(handle))
            throw DbError(DbErrc::Engine, m_path);
        checkIntegrity(handle, m_path);
    } catch (const DbError& e) {
        failure = e;
    } catch (...) {
        failure = DbError(DbErrc::Engine, m_path);
    }
    sqlite3_close_v2(handle);
    const std::lock_guard lock(m_mutex);
    m_over = true;
    m_failure = std::move(failure);
    m_ended.notify_all();
    // The receiver outlives this thread: its owner waits for the thread before it goes.
    if (m_failure && !m_stopped)
        QMetaObject::invokeMethod(&m_receiver, [this] { deliver(); }, Qt::QueuedConnection);
}

void Verification::await() const {
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [this] { return m_over; });
    if (m_failure)
        throw *m_failure;
}

void Verification::onFailure(QObject* context, Failure failed) {
    m_onFailure.append({QPointer<QObject>(context), std::move(failed)});
    const std::lock_guard lock(m_mutex);
    if (m_over && m_failure)
        QMetaObject::invokeMethod(&m_receiver, [this] { deliver(); }, Qt::QueuedConnection);
}

void Verification::deliver() {
    std::optional<DbError> failure;
    {
        const std::lock_guard lock(m_mutex);
        failure = m_failure;
    }
    // Each in an event of its own: one may close the file, and this with it.
    for (const auto& [context, failed] : std::exchange(m_onFailure, {}))
        if (context)
            QMetaObject::invokeMethod(context, [failed, error = *failure] { failed(error); }, Qt::QueuedConnection);
}

}  // namespace db::detail
