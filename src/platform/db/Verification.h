#pragma once
// Inside the engine: the check that reads the whole of a file already being read (its
// structure, every page decrypted, every index against its table). It takes as long as the
// file is large, so it runs on a read-only connection of its own, in a thread of its own,
// while the file's own connection reads.
#include "Cipher.h"
#include "DbError.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace db::detail {

// Made, asked and destroyed on the thread that opened the file.
class Verification {
public:
    using Failure = std::function<void(const DbError&)>;

    Verification(QString path, FileKey key);
    // Stops a check still running (no verdict is then given) and waits for its thread.
    ~Verification();
    Verification(const Verification&) = delete;
    Verification& operator=(const Verification&) = delete;

    // Waits for the verdict; throws the DbError that the file failed with (Damaged, or what
    // kept the check from reading it: Busy, Io, ...).
    void await() const;
    // `failed` runs on the thread of `context`, from its event loop, once the file has
    // failed the check; never for a sound file, nor once `context` or this is gone.
    void onFailure(QObject* context, Failure failed);
    // Stops the check, at once, and waits for its thread.
    void stop();

private:
    void run();
    void deliver();

    const QString m_path;
    const FileKey m_key;
    std::atomic<bool> m_stopped{false};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_ended;
    bool m_over = false;
    std::optional<DbError> m_failure;
    // Lives on the opening thread: the worker posts the verdict to it.
    QObject m_receiver;
    QList<std::pair<QPointer<QObject>, Failure>> m_onFailure;
    std::thread m_thread;  // last: started once everything it uses is ready
};

}  // namespace db::detail
