// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a collection's members become numbered pairs: the program's cache
// folder, never the user's. A numbered pair of the folder is read where it
// is; a memory, a table or two plain texts are converted into the cache once,
// and again only when one of their files changed; a pair that does not pair
// one to one is aligned there when the user asks. What was made is noted
// beside it with the files it was made from, so the next opening reads the
// note instead of the texts.

#include "collection/members.h"
#include "common/progress.h"
#include "common/result.h"
#include "search/index_cache.h"

#include <QString>
#include <memory>

namespace solandre {

struct PreparedPair {
    QString source; // the numbered texts searched
    QString target;
    qint64 sourceRecords = 0;
    qint64 targetRecords = 0;
    bool aligned = false; // by "Alinear todos"
    QString sourceLanguage; // of a memory, as it names them; empty otherwise
    QString targetLanguage;
    bool oneToOne() const { return sourceRecords == targetRecords; }
};

class CollectionStore {
public:
    // The store of the collection in `folder`, under `cacheRoot` (by default
    // the user's cache folder).
    explicit CollectionStore(const QString& folder, const QString& cacheRoot = {});
    ~CollectionStore();

    const QString& cacheFolder() const { return cache_; }
    // The member as a numbered pair, converted when needed. An error names
    // the file and the reason (a memory that does not parse, a non-text).
    Result<PreparedPair> prepare(const Member& member, const Progress& progress = {});
    // The pair aligned into the cache; the next prepare() returns the aligned copies.
    Result<PreparedPair> align(const Member& member, const Progress& progress = {});
    // The word indexes of the collection's texts, kept with the pairs.
    IndexCache& indexes() { return *indexes_; }

private:
    QString pathFor(const Member& member, const QString& what) const;

    QString cache_;
    std::unique_ptr<IndexCache> indexes_;
};

// The error with the member's own files named where it named the copies
// made in the cache, which the user never sees.
Error withMemberFiles(Error error, const Member& member, const PreparedPair& pair);

// The user's cache folder for collections.
QString defaultCollectionCacheRoot();

} // namespace solandre
