// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the system says about a file that no ordinary tool puts back after a
// change: which file it is (device and file number), its size and its times
// of modification and of status change, to the nanosecond. Copying with the
// times kept (cp -p, rsync -t, unpacking an archive, touch -r) restores the
// modification time but makes a new file or a new status-change time.

#include <QString>
#include <cstdint>
#include <optional>

namespace solandre {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // since the epoch
    std::int64_t changedNs = 0;  // status change; the modification time where unknown
    // When the stamp was taken, by the system's clock.
    std::int64_t takenNs = 0;

    // The same file, unchanged as far as the system tells.
    bool sameFileAs(const FileStamp& other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
    // A change made soon after the stamp might leave it as it is, where file
    // times are coarse (whole seconds, or the clock tick of the system):
    // the content must then be checked whole.
    bool mayHideAChange() const;
};

// Of an open file, by its handle; nothing for what is not a regular file.
std::optional<FileStamp> fileStampOf(int handle);
std::optional<FileStamp> fileStampOf(const QString& path);

} // namespace solandre
