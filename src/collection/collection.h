// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A folder of pairs and memories opened as one corpus: what it holds, each
// member as a numbered pair, and the members set aside with the reason. The
// window that lists a collection, the search over it and the command line
// all open it here.

#include "collection/collection_store.h"
#include "collection/members.h"
#include "common/progress.h"
#include "common/result.h"

#include <vector>

namespace solandre {

struct CollectionPair {
    Member member;
    PreparedPair pair;
};

struct CollectionListing {
    QString folder;
    std::vector<CollectionPair> pairs; // ordered by name
    std::vector<SetAside> setAside;    // with the reason, ordered by path

    size_t notOneToOne() const;
};

// Whether a path names a collection (a folder) rather than a text.
bool isCollectionFolder(const QString& path);

// Scans the folder and prepares each member in the store; a member that
// cannot be prepared (not a text, a memory that does not parse) is set aside
// with the reason, and the rest opens. Fails only on a folder that cannot be
// read, or on a cancel.
Result<CollectionListing> listCollection(const QString& folder, CollectionStore& store,
                                         const Progress& progress = {}, const QString& sourceLanguage = {});

// Aligns, in the store, every pair that does not pair one to one ("Alinear
// todos"); the listing then names the aligned copies. A pair that cannot be
// aligned is left as it was; the first error is returned after the rest.
Status alignAll(CollectionListing& listing, CollectionStore& store, const Progress& progress = {});

} // namespace solandre
