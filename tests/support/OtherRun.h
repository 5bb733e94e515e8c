#pragma once
#include <QFile>
#include <QStringList>
#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// Another run of the program, in a process of its own, until it is killed (with this object
// at the latest). It runs `work`, which makes what it makes and tells where (`made`) through
// the function it is given; that function never returns, so that what `work` made stays
// held, as in a run that is still going, until the kill.
class OtherRun {
public:
    using Tell = std::function<void(const QStringList&)>;

    explicit OtherRun(const std::function<void(const Tell&)>& work) {
        int pipe[2];
        if (::pipe(pipe) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(pipe[0]);
            work([&](const QStringList& made) {
                const QByteArray told = QFile::encodeName(made.join(u'\n'));
                [[maybe_unused]] const ssize_t written = ::write(pipe[1], told.constData(), told.size());
                ::close(pipe[1]);
                for (;;) ::pause();
            });
            ::_exit(1);
        }
        ::close(pipe[1]);
        QByteArray told;
        char part[512];
        for (ssize_t n; (n = ::read(pipe[0], part, sizeof part)) > 0;) told.append(part, n);
        ::close(pipe[0]);
        made = QFile::decodeName(told).split(u'\n', Qt::SkipEmptyParts);
    }
    ~OtherRun() { kill(); }
    OtherRun(const OtherRun&) = delete;
    OtherRun& operator=(const OtherRun&) = delete;

    void kill() {
        if (m_pid > 0 && ::kill(m_pid, SIGKILL) == 0) ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }

    QStringList made;

private:
    pid_t m_pid = 0;
};

}  // namespace testsupport
