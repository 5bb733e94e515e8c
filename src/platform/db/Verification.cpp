#include "Verification.h"

#include "Collations.h"
#include "Verify.h"

#include <QCoreApplication>
#include <QFile>
#include <utility>

namespace db::detail {
namespace {

// SQLite's integrity walk heeds neither sqlite3_interrupt() nor a progress handler: the whole
// walk is one step of its statement. So its connection reads through this VFS, the system's
// own but for one thing: once the walk's thread is told to stop, every read fails, which
// ends the walk at once instead of after the last page.
thread_local const std::atomic<bool>* t_stopped = nullptr;

struct StoppableFile {
    sqlite3_io_methods methods;  // the system file's own, xRead aside
    int (*read)(sqlite3_file*, void*, int, sqlite3_int64);
};

sqlite3_vfs* systemVfs() {
    static sqlite3_vfs* const vfs = sqlite3_vfs_find(nullptr);
    return vfs;
}

int aligned(int size) { return (size + 7) & ~7; }

// Ours lies after the system's own file structure, in the space our VFS asks for.
StoppableFile& stoppable(sqlite3_file* file) {
    return *reinterpret_cast<StoppableFile*>(reinterpret_cast<char*>(file) + aligned(systemVfs()->szOsFile));
}

int stoppableRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    if (t_stopped && t_stopped->load())
        return SQLITE_IOERR_READ;
    return stoppable(file).read(file, buffer, amount, offset);
}

int openStoppable(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    sqlite3_vfs* system = systemVfs();
    const int rc = system->xOpen(system, name, file, flags, outFlags);
    if (rc == SQLITE_OK && file->pMethods) {
        StoppableFile& own = stoppable(file);
        own.methods = *file->pMethods;
        own.read = own.methods.xRead;
        own.methods.xRead = stoppableRead;
        file->pMethods = &own.methods;
    }
    return rc;
}

const char* stoppableVfs() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs v = *systemVfs();
        v.zName = "quibolet-stoppable";
        v.szOsFile = aligned(v.szOsFile) + int(sizeof(StoppableFile));
        v.xOpen = openStoppable;
        v.pNext = nullptr;
        return v;
    }();
    static const bool registered = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    return registered ? vfs.zName : nullptr;
}

// Checks still running when the application goes are stopped while the libraries they use
// are still there: the open gradebook itself is only released after main() returns, maybe
// after this list.
Q_GLOBAL_STATIC(QList<Verification*>, g_running)

void stopAll() {
    for (Verification* v : std::as_const(*g_running))
        v->stop();
}

}  // namespace

Verification::Verification(QString path, QByteArray key) : m_path(std::move(path)), m_key(std::move(key)) {
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
    t_stopped = &m_stopped;
    std::optional<DbError> failure;
    sqlite3* handle = nullptr;
    try {
        if (sqlite3_open_v2(QFile::encodeName(m_path).constData(), &handle, SQLITE_OPEN_READONLY, stoppableVfs())
            != SQLITE_OK)
            throw DbError(DbErrc::CannotOpen, m_path);
        sqlite3_extended_result_codes(handle, 1);
        sqlite3_busy_timeout(handle, 2000);
        if (!m_key.isEmpty() && sqlite3_key(handle, m_key.constData(), int(m_key.size())) != SQLITE_OK)
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
