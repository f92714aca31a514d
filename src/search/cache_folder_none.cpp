// SPDX-License-Identifier: GPL-3.0-or-later
// Where the system cannot promise what the cache folder needs (no following
// of links, files of one owner), no index is kept.
#include "search/cache_folder.h"

namespace solandre {

MappedFile::~MappedFile() = default;

std::optional<CacheFolder> CacheFolder::open(const QString&, bool)
{
    return std::nullopt;
}

CacheFolder::CacheFolder(CacheFolder&& other) noexcept : handle_(other.handle_) {}
CacheFolder::~CacheFolder() = default;
void CacheFolder::setAside(const QByteArray&) const {}

std::shared_ptr<const MappedFile> CacheFolder::map(const QString&) const
{
    return nullptr;
}

bool CacheFolder::write(const QString&, std::span<const std::string_view>) const
{
    return false;
}

void CacheFolder::keepLastUsed(int, const QString&) const {}

} // namespace solandre
