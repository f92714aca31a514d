// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_stamp.h"
#include "common/file_system.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
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

} // namespace detail
} // namespace solandre
