// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The context viewer opened on a collection's hit (frmaff_collection): the
// viewer of a single pair, reaching the grid of the hit's own pair through
// the collection's search window and stepping through that pair's hits,
// while the window's list follows it.

#include "collection/collection_concordance.h"
#include "windows/search/result_grid_control.h"
#include "windows/viewer/context_viewer.h"

#include <functional>

namespace solandre {

extern const ViewerRoad kCollectionViewer;

// One pair's grid of a collection's hits, as a viewer reaches a search's.
class CollectionHitGrid final : public ResultGridControl {
public:
    using Follow = std::function<void(size_t member, size_t row)>;
    CollectionHitGrid(CollectionConcordance& concordance, Follow follow)
        : concordance_(concordance), follow_(std::move(follow))
    {
    }

    void select(size_t member) { member_ = member; }
    // False once a new collection has fewer pairs than the one selected.
    bool valid() const { return member_ < concordance_.members(); }

    ResultGrid& grid() override { return concordance_.concordance(member_).grid(); }
    void showCurrent() override { follow_(member_, grid().row()); }
    SearchedTexts texts() const override
    {
        const PreparedPair& pair = concordance_.pair(member_).pair;
        return {pair.source, pair.target};
    }

private:
    CollectionConcordance& concordance_;
    Follow follow_;
    size_t member_ = 0;
};

} // namespace solandre
