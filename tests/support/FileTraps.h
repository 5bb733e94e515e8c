#pragma once
// What may lie where the program expects one of its files: a FIFO, on which an opening for
// reading waits for ever, and another copy of the program that holds the file.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

// A FIFO made at path, and watched: should what the test runs wait on it (for a writer that
// never comes, or for bytes), the watchdog finds it there as it looks now and then, opens its
// other end, writes a few bytes into it and closes it again, so that the test goes on; hung()
// then fails it. Only a reader that holds the FIFO counts, however slow the machine: the
// writer's end opens without waiting only while there is one.
class WatchedFifo {
public:
    explicit WatchedFifo(const QString& path) : m_path(QFile::encodeName(path)) {
        m_made = mkfifo(m_path.constData(), 0644) == 0;
        m_thread = std::thread([this] {
            std::unique_lock<std::mutex> lock(m_mutex);
            while (!m_stop.wait_for(lock, std::chrono::seconds(30), [this] { return m_stopped; })) {
                const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_hung = true;
                    (void)!::write(fd, "\x01\x02\x03\x04", 4);
                    ::close(fd);
                }
            }
        });
    }
    ~WatchedFifo() { stop(); }
    WatchedFifo(const WatchedFifo&) = delete;
    WatchedFifo& operator=(const WatchedFifo&) = delete;

    bool made() const { return m_made; }
    // Ends the watch: whether anything waited on the FIFO until then.
    bool hung() {
        stop();
        return m_hung;
    }

private:
    void stop() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_stop.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }

    QByteArray m_path;
    bool m_made = false;
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopped = false;
    bool m_hung = false;
    std::thread m_thread;
};

// Another process that takes the lock that a copy of the program holds on a file it has open
// (flock), and keeps it until it is killed, as a program is, whatever it was doing.
class OtherCopy {
public:
    explicit OtherCopy(const QString& path) {
        const QByteArray name = QFile::encodeName(path);
        int ready[2];
        if (pipe(ready) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            // Nothing but system calls in the child of a process that runs threads.
            const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
            const char held = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
            (void)!::write(ready[1], &held, 1);
            for (;;) pause();
        }
        ::close(ready[1]);
        char held = 0;
        m_holds = m_pid > 0 && ::read(ready[0], &held, 1) == 1 && held == 1;
        ::close(ready[0]);
    }
    ~OtherCopy() { kill(); }
    OtherCopy(const OtherCopy&) = delete;
    OtherCopy& operator=(const OtherCopy&) = delete;

    // Whether it took the lock.
    bool holds() const { return m_holds; }
    void kill() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    bool m_holds = false;
};

}  // namespace testsupport
