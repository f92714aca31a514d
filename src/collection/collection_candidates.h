// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Translation candidates over a whole collection: each pair's hits read
// against its own translation, the counts of every pair added up, and the
// words ranked once over the collection, by the same counting and ranking as
// the candidates of one pair.

#include "collection/collection_concordance.h"
#include "study/candidates.h"

namespace solandre {

// The candidates of the collection's current hits.
Result<CandidateList> collectionCandidates(const CollectionConcordance& collection, size_t top,
                                           const Progress& progress = {});
// The candidates of a form typed, found in each pair as the candidates of
// one pair find it, whatever the collection's search holds.
Result<CandidateList> collectionCandidates(const CollectionConcordance& collection, const QString& typed,
                                           size_t top, const Progress& progress = {});

} // namespace solandre
