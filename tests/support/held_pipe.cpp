// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/held_pipe.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace solandre::testing {
namespace {

void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }

} // namespace

HeldPipe::HeldPipe(const QString& path, Held held, std::string bytes) : path_(path.toStdString())
{
    // A reader that stops early must not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    ::mkfifo(path_.c_str(), 0600);
    if (held == Held::Reader)
        thread_ = std::thread([this, bytes = std::move(bytes)] { feedReader(bytes); });
    else
        thread_ = std::thread([this] { drainWriter(); });
}

HeldPipe::~HeldPipe()
{
    release();
    thread_.join();
}

void HeldPipe::feedReader(const std::string& bytes)
{
    // Waits for a reader; none may come once the test has released us.
    int fd = -1;
    while ((fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
        if (errno != ENXIO || released_) return;
        pause();
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n <= 0) break;
        at += size_t(n);
    }
    while (!released_) pause(); // the reader waits for the end of the text
    ::close(fd);
}

void HeldPipe::drainWriter()
{
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return;
    while (!released_) pause(); // the writer fills the pipe, then waits
    char buffer[65536];
    bool writerSeen = false;
    for (int idle = 0; idle < 5000;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            taken_ += size_t(n);
            writerSeen = true;
            idle = 0;
        } else if (n == 0 && writerSeen) {
            break; // the writer closed its end
        } else {
            ++idle; // no writer yet, or nothing written yet
            pause();
        }
    }
    ::close(fd);
}

} // namespace solandre::testing
