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

enum class Kept { Linked, Absent, Not };

// All made ready here: the process that makes the renames allocates nothing,
// since another thread may hold the allocator's lock when we are killed.
struct Renames {
    std::vector<QByteArray> names; // from, to, from, to...
    std::vector<QByteArray> second; // per move, a second name of the file it replaces
    std::vector<Kept> kept;
    size_t done = 0;
    int error = 0;
};

// The file a move replaces, kept under a second name so that the move can be
// undone: absent when there was none; not kept where the file system cannot
// link (the move then cannot be undone).
Kept keep(const QByteArray& target, const QByteArray& second)
{
    if (link(target.constData(), second.constData()) == 0) return Kept::Linked;
    return errno == ENOENT ? Kept::Absent : Kept::Not;
}

int renameAll(void* argument)
{
    auto& renames = *static_cast<Renames*>(argument);
    const size_t moves = renames.names.size() / 2;
    std::vector<Kept>& kept = renames.kept;
    if (moves > 1)
        for (size_t k = 0; k < moves; ++k) kept[k] = keep(renames.names[2 * k + 1], renames.second[k]);
    for (; renames.done < moves; ++renames.done)
        if (std::rename(renames.names[2 * renames.done].constData(),
                        renames.names[2 * renames.done + 1].constData()) != 0) {
            renames.error = errno;
            break;
        }
    // A failure half way puts back what the moves before it replaced: the
    // files stay as they were, all of them. An old file that cannot be put
    // back keeps its second name.
    if (renames.done < moves)
        for (size_t k = renames.done; k-- > 0;) {
            const QByteArray& target = renames.names[2 * k + 1];
            if (kept[k] == Kept::Linked) std::rename(renames.second[k].constData(), target.constData());
            if (kept[k] == Kept::Absent) unlink(target.constData());
            kept[k] = Kept::Not;
        }
    for (size_t k = 0; k < moves; ++k)
        if (kept[k] == Kept::Linked) unlink(renames.second[k].constData());
    return 0;
}

} // namespace

std::optional<MoveFailure> renameAllOver(std::span<const Move> moves)
{
    Renames renames;
    for (const Move& move : moves) {
        renames.names.push_back(QFile::encodeName(move.from));
        renames.names.push_back(QFile::encodeName(move.to));
        renames.second.push_back(QFile::encodeName(move.from) + ".antes");
    }
    renames.kept.assign(moves.size(), Kept::Not);
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
