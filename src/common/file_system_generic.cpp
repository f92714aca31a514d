// SPDX-License-Identifier: GPL-3.0-or-later
// Without file numbers or status-change times: the stamp is the size and the
// modification time, and the content is always checked whole.
#include "common/file_stamp.h"
#include "common/file_system.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace solandre {

bool FileStamp::mayHideAChange() const
{
    return true;
}

std::optional<FileStamp> fileStampOf(int)
{
    return std::nullopt;
}

std::optional<FileStamp> fileStampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) return std::nullopt;
    FileStamp stamp;
    stamp.size = std::uint64_t(info.size());
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1'000'000;
    stamp.changedNs = stamp.modifiedNs;
    stamp.takenNs = QDateTime::currentMSecsSinceEpoch() * 1'000'000;
    return stamp;
}

namespace detail {

bool syncToDisk(int)
{
    return true;
}

std::optional<QString> renameOver(const QString& from, const QString& to)
{
    if (QFile::exists(to) && !QFile::remove(to)) return QStringLiteral("no se puede reemplazar");
    QFile file(from);
    if (file.rename(to)) return std::nullopt;
    return file.errorString();
}

std::optional<MoveFailure> renameAllOver(std::span<const Move> moves)
{
    for (size_t k = 0; k < moves.size(); ++k)
        if (auto why = renameOver(moves[k].from, moves[k].to)) return MoveFailure {k, *why};
    return std::nullopt;
}

} // namespace detail
} // namespace solandre
