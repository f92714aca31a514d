// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/collection_candidates.h"

#include "common/text_file.h"

#include <functional>

namespace solandre {
namespace {

using HitsOf = std::function<void(size_t member, WordList& hits)>;

Result<CandidateList> candidatesOver(const CollectionConcordance& collection, const HitsOf& hitsOf, size_t top,
                                     const Progress& progress)
{
    const size_t members = collection.members();
    std::vector<WordList> hits(members);
    std::vector<size_t> order; // the pairs with the form first
    for (size_t m = 0; m < members; ++m) {
        hitsOf(m, hits[m]);
        if (!hits[m].empty()) order.push_back(m);
    }
    const size_t withForm = order.size();
    for (size_t m = 0; m < members; ++m)
        if (hits[m].empty()) order.push_back(m);

    CandidateCounts counts;
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t m = order[k];
        // Past the pairs with the form, no new word can become a candidate.
        if (k == withForm) counts.keepWordsWithForm();
        const Progress part = [&](double done) { return goOn(progress, (double(k) + done) / double(members)); };
        if (!goOn(part, 0.0)) return Error::cancelledByUser();
        Result<TextFile> target = TextFile::open(FileRef(collection.pair(m).pair.target));
        if (!target) return target.error();
        if (!countCandidates(counts, collection.concordance(m).index(), hits[m], target.value().text(),
                             target.value().encoding(), part))
            return Error::cancelledByUser();
        hits[m] = WordList(); // kept no longer than needed
    }
    return rankCandidates(counts, top);
}

} // namespace

Result<CandidateList> collectionCandidates(const CollectionConcordance& collection, size_t top,
                                           const Progress& progress)
{
    return candidatesOver(
        collection,
        [&](size_t m, WordList& hits) {
            const ResultGrid& grid = collection.concordance(m).grid();
            for (size_t row = 1; row < grid.rows(); ++row)
                if (grid.isHit(row)) hits.push_back(grid.hit(row));
        },
        top, progress);
}

Result<CandidateList> collectionCandidates(const CollectionConcordance& collection, const QString& typed,
                                           size_t top, const Progress& progress)
{
    return candidatesOver(
        collection, [&](size_t m, WordList& hits) { findHits(collection.concordance(m).index(), typed, hits); },
        top, progress);
}

} // namespace solandre
