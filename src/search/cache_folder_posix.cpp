// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/cache_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace solandre {
namespace {

constexpr char kPart[] = ".part-";

QByteArray randomSuffix()
{
    return QByteArray::number(QRandomGenerator::global()->generate64(), 36);
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data += put;
        size -= size_t(put);
    }
    return true;
}

} // namespace

MappedFile::~MappedFile()
{
    if (data) munmap(const_cast<char*>(data), size);
}

std::optional<CacheFolder> CacheFolder::open(const QString& path, bool create)
{
    if (path.isEmpty()) return std::nullopt;
    const QByteArray name = QFile::encodeName(path);
    if (create) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ::mkdir(name.constData(), 0700);
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
        ::close(fd);
        return std::nullopt;
    }
    // A folder made before it was made private becomes so.
    if ((st.st_mode & 077) != 0 && fchmod(fd, 0700) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return CacheFolder(fd);
}

CacheFolder::CacheFolder(CacheFolder&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

CacheFolder::~CacheFolder()
{
    if (handle_ >= 0) ::close(handle_);
}

void CacheFolder::setAside(const QByteArray& name) const
{
    const QByteArray aside = name + ".apartado-" + randomSuffix();
    renameat(handle_, name.constData(), handle_, aside.constData());
}

std::shared_ptr<const MappedFile> CacheFolder::map(const QString& name) const
{
    const QByteArray file = QFile::encodeName(name);
    struct stat st {};
    if (fstatat(handle_, file.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) return nullptr;
    if (!S_ISREG(st.st_mode)) {
        setAside(file);
        return nullptr;
    }
    // No blocking open even if a pipe took its place since.
    const int fd = openat(handle_, file.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP) setAside(file);
        return nullptr;
    }
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_size <= 0) {
        if (!S_ISREG(opened.st_mode)) setAside(file);
        ::close(fd);
        return nullptr;
    }
    auto mapped = std::make_shared<MappedFile>();
    void* at = mmap(nullptr, size_t(opened.st_size), PROT_READ, MAP_SHARED, fd, 0);
    if (at != MAP_FAILED) {
        mapped->data = static_cast<const char*>(at);
        mapped->size = size_t(opened.st_size);
        // Used now: the last to be dropped when the folder is full.
        const timespec now[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
        futimens(fd, now);
    }
    ::close(fd);
    return mapped->data ? mapped : nullptr;
}

bool CacheFolder::write(const QString& name, std::span<const std::string_view> parts) const
{
    const QByteArray file = QFile::encodeName(name);
    const QByteArray part = file + kPart + randomSuffix();
    const int fd = openat(handle_, part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool written = true;
    for (const std::string_view piece : parts) written = written && writeAll(fd, piece.data(), piece.size());
    written = ::close(fd) == 0 && written;
    if (written) {
        struct stat st {};
        if (fstatat(handle_, file.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode))
            setAside(file);
        written = renameat(handle_, part.constData(), handle_, file.constData()) == 0;
    }
    if (!written) unlinkat(handle_, part.constData(), 0);
    return written;
}

void CacheFolder::keepLastUsed(int kept, const QString& suffix) const
{
    const int fd = dup(handle_);
    if (fd < 0) return;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    rewinddir(dir);
    const QByteArray ending = QFile::encodeName(suffix);
    struct Entry {
        std::int64_t usedNs;
        QByteArray name;
    };
    std::vector<Entry> files;
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        struct stat st {};
        if (fstatat(handle_, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (name.contains(kPart)) {
            // A writer killed long ago.
            if (st.st_mtim.tv_sec < now.tv_sec - 3600) unlinkat(handle_, entry->d_name, 0);
        } else if (name.endsWith(ending)) {
            files.push_back({std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, name});
        }
    }
    closedir(dir);
    if (int(files.size()) <= kept) return;
    std::sort(files.begin(), files.end(), [](const Entry& a, const Entry& b) { return a.usedNs > b.usedNs; });
    for (size_t k = size_t(std::max(kept, 0)); k < files.size(); ++k) unlinkat(handle_, files[k].name.constData(), 0);
}

} // namespace solandre
