// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search of a whole collection: each pair's numbered source indexed (its
// index kept in the collection's store, so a second opening maps it), the
// query searched in every one by the same search as a single text, and the
// hits listed together, member by member in the order of their names.

#include "collection/collection.h"
#include "search/concordance.h"
#include "search/frequencies.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace solandre {

class CollectionConcordance {
public:
    struct Hit {
        std::uint32_t member;
        std::uint32_t row; // the hit's row in the member's own grid
    };

    // Indexes every pair of the listing; nothing but a cancel or an
    // unreadable text stops it, and an unreadable text is named.
    Status load(const CollectionListing& listing, CollectionStore& store, const Progress& progress = {});

    const QString& folder() const { return listing_.folder; }
    size_t members() const { return members_.size(); }
    const CollectionPair& pair(size_t member) const { return listing_.pairs[member]; }
    const QString& nameOf(size_t member) const { return listing_.pairs[member].member.name; }
    const std::vector<SetAside>& setAside() const { return listing_.setAside; }
    Concordance& concordance(size_t member) { return *members_[member]; }
    const Concordance& concordance(size_t member) const { return *members_[member]; }

    // Searches every member for `query`; returns the hits of all.
    size_t search(const QString& query);
    // The same with the query language's syntax and a condition on each
    // pair's own translation (the request's target is not read: every pair
    // brings its own, indexed on first use). A malformed query is an error.
    Result<size_t> search(const SearchRequest& request, const Progress& progress = {});
    // "Formas" across texts: by the form lower-cased, then by text and marker.
    void sortByForm();

    size_t hitCount() const { return hits_.size(); }
    const Hit& hit(size_t k) const { return hits_[k]; }
    // The form as written and the marker of hit k, in its text's encoding.
    std::string form(size_t k) const;
    std::string marker(size_t k) const;
    Encoding encodingOf(size_t k) const { return members_[hits_[k].member]->encoding(); }
    // The hits of each member, in the order of the members.
    std::vector<size_t> countsPerMember() const;

    // The frequency list over all members: each distinct form lower-cased,
    // in UTF-8, with its hits in every text.
    struct Frequency {
        std::string form;
        std::uint64_t count;
    };
    std::vector<Frequency> frequencies(FrequencyOrder order) const;

private:
    const Concordance* targetOf(size_t member);

    CollectionListing listing_;
    CollectionStore* store_ = nullptr;
    std::vector<std::unique_ptr<Concordance>> members_;
    std::vector<std::unique_ptr<Concordance>> targets_; // loaded when a condition needs them
    std::vector<Hit> hits_;
};

} // namespace solandre
