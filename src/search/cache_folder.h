// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder of the index cache, which is the program's alone: created
// readable by its owner only, refused when it is a link or someone else's,
// and holding regular files of ours only. Whatever else stands at a name the
// cache uses (a link, a pipe, a device, a folder) is set aside under another
// name, never opened for writing nor followed, and the caller goes on
// without the cache.

#include <QString>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace solandre {

// A file mapped read-only, unmapped with the last copy.
struct MappedFile {
    const char* data = nullptr;
    size_t size = 0;
    ~MappedFile();
};

class CacheFolder {
public:
    // The folder, created with its parents when `create`; nothing when it
    // cannot be had, or is not a folder of ours.
    static std::optional<CacheFolder> open(const QString& path, bool create);
    CacheFolder(CacheFolder&& other) noexcept;
    CacheFolder& operator=(CacheFolder&&) = delete;
    ~CacheFolder();

    // The regular file `name`, mapped, and marked as used now; nothing when
    // there is none (anything else there is set aside).
    std::shared_ptr<const MappedFile> map(const QString& name) const;
    // Writes `parts`, one after the other, to `name` through a temporary
    // file that takes its place when complete.
    bool write(const QString& name, std::span<const std::string_view> parts) const;
    // Keeps the `kept` files ending in `suffix` used last; drops the others,
    // and temporaries left by writers that were killed.
    void keepLastUsed(int kept, const QString& suffix) const;

private:
    explicit CacheFolder(int handle) : handle_(handle) {}
    void setAside(const QByteArray& name) const;
    int handle_;
};

} // namespace solandre
