// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_stamp.h"
#include "common/file_system.h"

#include <QFile>
#include <sched.h>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>
#include <unistd.h>

namespace solandre {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;

std::int64_t nanoseconds(const timespec& t)
{
    return std::int64_t(t.tv_sec) * kSecond + t.tv_nsec;
}

std::optional<FileStamp> stampOf(const struct stat& st)
{
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    FileStamp stamp;
    stamp.device = std::uint64_t(st.st_dev);
    stamp.inode = std::uint64_t(st.st_ino);
    stamp.size = std::uint64_t(st.st_size);
    stamp.modifiedNs = nanoseconds(st.st_mtim);
    stamp.changedNs = nanoseconds(st.st_ctim);
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    stamp.takenNs = nanoseconds(now);
    return stamp;
}

} // namespace

bool FileStamp::mayHideAChange() const
{
    // Two seconds cover the coarsest file systems in use (FAT); times in the
    // future (a clock set wrong, touch -d) are never trusted.
    const std::int64_t settled = takenNs - 2 * kSecond;
    return changedNs >= settled || modifiedNs >= settled;
}

std::optional<FileStamp> fileStampOf(int handle)
{
    struct stat st {};
    if (fstat(handle, &st) != 0) return std::nullopt;
    return stampOf(st);
}

std::optional<FileStamp> fileStampOf(const QString& path)
{
    struct stat st {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return stampOf(st);
}

namespace detail {

bool syncToDisk(int handle)
{
    return fsync(handle) == 0;
}

std::optional<QString> renameOver(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return std::nullopt;
    return QString::fromLocal8Bit(std::strerror(errno));
}

namespace {

struct Renames {
    std::vector<QByteArray> names; // from, to, from, to...
    size_t done = 0;
    int error = 0;
};

int renameAll(void* argument)
{
    auto& renames = *static_cast<Renames*>(argument);
    for (; renames.done * 2 < renames.names.size(); ++renames.done)
        if (std::rename(renames.names[2 * renames.done].constData(),
                        renames.names[2 * renames.done + 1].constData()) != 0) {
            renames.error = errno;
            break;
        }
    return 0;
}

} // namespace

std::optional<MoveFailure> renameAllOver(std::span<const Move> moves)
{
    Renames renames;
    for (const Move& move : moves) {
        renames.names.push_back(QFile::encodeName(move.from));
        renames.names.push_back(QFile::encodeName(move.to));
    }
    // The renames are made by a process of their own that shares our memory
    // while we wait for it, with every signal it could be stopped by blocked:
    // if we are killed between two renames, it still makes the rest.
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    std::vector<char> stack(64 * 1024);
    const pid_t child = clone(renameAll, stack.data() + stack.size(), CLONE_VM | CLONE_VFORK | SIGCHLD, &renames);
    if (child > 0)
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (child <= 0) renameAll(&renames); // no process to be had: made here
    if (renames.done == moves.size()) return std::nullopt;
    return MoveFailure {renames.done, QString::fromLocal8Bit(std::strerror(renames.error))};
}

} // namespace detail
} // namespace solandre
