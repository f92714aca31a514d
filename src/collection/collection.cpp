// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/collection.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace solandre {

size_t CollectionListing::notOneToOne() const
{
    return size_t(std::count_if(pairs.begin(), pairs.end(), [](const CollectionPair& p) { return !p.pair.oneToOne(); }));
}

bool isCollectionFolder(const QString& path) { return !path.isEmpty() && path != QStringLiteral("-") && QFileInfo(path).isDir(); }

Result<CollectionListing> listCollection(const QString& folder, CollectionStore& store, const Progress& progress,
                                         const QString& sourceLanguage)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !QDir(folder).isReadable())
        return Error::reading(folder, info.exists() ? QStringLiteral("no se puede leer la carpeta")
                                                    : QStringLiteral("la carpeta no existe"));
    FolderScan scan = scanFolder(folder, sourceLanguage);
    CollectionListing listing;
    listing.folder = info.absoluteFilePath();
    listing.setAside = std::move(scan.setAside);
    const QDir root(listing.folder);
    const double count = double(std::max<size_t>(scan.members.size(), 1));
    for (size_t k = 0; k < scan.members.size(); ++k) {
        const Member& member = scan.members[k];
        if (!goOn(progress, double(k) / count)) return Error::cancelledByUser();
        const Progress part = [&](double done) { return goOn(progress, (double(k) + done) / count); };
        auto pair = store.prepare(member, part);
        if (!pair) {
            if (pair.error().cancelled) return pair.error();
            listing.setAside.push_back({root.relativeFilePath(member.source), pair.error().message});
            continue;
        }
        listing.pairs.push_back({member, pair.value()});
    }
    std::sort(listing.setAside.begin(), listing.setAside.end(),
              [](const SetAside& a, const SetAside& b) { return a.path < b.path; });
    if (!goOn(progress, 1.0)) return Error::cancelledByUser();
    return listing;
}

Status alignAll(CollectionListing& listing, CollectionStore& store, const Progress& progress)
{
    std::vector<CollectionPair*> todo;
    for (CollectionPair& p : listing.pairs)
        if (!p.pair.oneToOne()) todo.push_back(&p);
    std::optional<Error> first;
    for (size_t k = 0; k < todo.size(); ++k) {
        const Progress part = [&](double done) { return goOn(progress, (double(k) + done) / double(todo.size())); };
        auto aligned = store.align(todo[k]->member, part);
        if (aligned) {
            todo[k]->pair = aligned.value();
        } else {
            if (aligned.error().cancelled) return aligned.error();
            if (!first) first = aligned.error();
        }
    }
    if (first) return *first;
    return success();
}

} // namespace solandre
