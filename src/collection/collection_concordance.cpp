// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/collection_concordance.h"

#include "common/alphabetical.h"
#include "common/encoding.h"
#include "common/letters.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <numeric>
#include <optional>
#include <shared_mutex>
#include <thread>

namespace solandre {
namespace {

// Above this the index builder splits a text among threads itself.
constexpr qint64 kIndexedAloneAbove = qint64(8) << 20;

// A form lower-cased as the search lower-cases, in code points, so that
// forms of texts in different encodings compare alike.
std::u32string lowerKey(std::string_view bytes, Encoding encoding)
{
    const std::string utf8 = toUtf8(bytes, encoding);
    std::u32string key;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) key.push_back(lowerCase(nextUtf8(p, end)));
    return key;
}

} // namespace

Status CollectionConcordance::load(const CollectionListing& listing, CollectionStore& store, const Progress& progress)
{
    listing_ = listing;
    store_ = &store;
    members_.clear();
    targets_.clear();
    hits_.clear();
    const size_t count = listing.pairs.size();
    std::vector<std::unique_ptr<Concordance>> loaded(count);
    std::vector<std::optional<Error>> failed(count);
    std::atomic<size_t> next{0}, finished{0};
    std::atomic<bool> stop{false};
    bool cancelled = false;
    // A text under a few megabytes is indexed on one thread: a second
    // worker takes the next pair meanwhile. A bigger one is indexed alone,
    // on threads of its own, so that two big indexes never grow at once.
    // Only this thread reports, as the caller's progress is only ever called
    // from its own thread, and it goes on reporting while it waits.
    double shown = 0;
    auto report = [&](double current) {
        shown = std::max(shown, (double(finished.load()) + current) / double(std::max<size_t>(count, 1)));
        if (!goOn(progress, shown)) cancelled = true;
        if (cancelled) stop = true;
        return !stop.load();
    };
    std::shared_mutex alone;
    auto work = [&](const std::function<bool(double)>& part) {
        for (size_t k; !stop.load() && (k = next++) < count;) {
            const bool big = QFileInfo(listing.pairs[k].pair.source).size() > kIndexedAloneAbove;
            std::unique_lock exclusive(alone, std::defer_lock);
            std::shared_lock shared(alone, std::defer_lock);
            while (!(big ? exclusive.try_lock() : shared.try_lock())) {
                if (!part(0)) return;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            auto concordance = std::make_unique<Concordance>();
            if (Status done = concordance->load(FileRef(listing.pairs[k].pair.source), part, &store.indexes(),
                                                Concordance::Keeping::MappedFromCache);
                !done) {
                failed[k] = withMemberFiles(done.error(), listing.pairs[k].member, listing.pairs[k].pair);
                stop = true;
                return;
            }
            loaded[k] = std::move(concordance);
            ++finished;
            // An index mapped from the store reports no progress of its own.
            if (!part(0)) return;
        }
    };
    std::atomic<bool> helperDone{true};
    std::thread helper;
    if (count > 1 && std::thread::hardware_concurrency() > 1) {
        helperDone = false;
        helper = std::thread([&] {
            work([&](double) { return !stop.load(); });
            helperDone = true;
        });
    }
    if (report(0)) work(report);
    while (!helperDone.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        report(0);
    }
    if (helper.joinable()) helper.join();
    if (cancelled) return Error::cancelledByUser();
    for (const std::optional<Error>& error : failed)
        if (error && !error->cancelled) return *error;
    if (stop.load()) return Error::cancelledByUser();
    members_ = std::move(loaded);
    return success();
}

size_t CollectionConcordance::search(const QString& query)
{
    hits_.clear();
    for (size_t m = 0; m < members_.size(); ++m) {
        const size_t found = members_[m]->search(query);
        members_[m]->releaseMemory();
        for (size_t row = 1; row <= found; ++row) hits_.push_back({std::uint32_t(m), std::uint32_t(row)});
    }
    return hits_.size();
}

const Concordance* CollectionConcordance::targetOf(size_t member)
{
    if (targets_.size() != members_.size()) targets_.resize(members_.size());
    if (!targets_[member]) {
        auto target = std::make_unique<Concordance>();
        // A translation that cannot be read holds nothing: "no contiene" keeps every hit.
        (void)target->load(FileRef(listing_.pairs[member].pair.target), {}, store_ ? &store_->indexes() : nullptr,
                           Concordance::Keeping::MappedFromCache);
        targets_[member] = std::move(target);
    }
    return targets_[member].get();
}

Result<size_t> CollectionConcordance::search(const SearchRequest& request, const Progress& progress)
{
    hits_.clear();
    for (size_t m = 0; m < members_.size(); ++m) {
        if (!goOn(progress, double(m) / double(members_.size()))) return Error::cancelledByUser();
        SearchRequest own = request;
        if (own.condition) own.condition->target = targetOf(m);
        Result<size_t> found = members_[m]->search(own);
        members_[m]->releaseMemory();
        if (own.condition) own.condition->target->releaseMemory();
        if (!found) {
            hits_.clear();
            return found.error();
        }
        for (size_t row = 1; row <= found.value(); ++row) hits_.push_back({std::uint32_t(m), std::uint32_t(row)});
    }
    return hits_.size();
}

std::string CollectionConcordance::form(size_t k) const
{
    return members_[hits_[k].member]->grid().text(hits_[k].row, 0);
}

std::string CollectionConcordance::marker(size_t k) const
{
    return members_[hits_[k].member]->grid().text(hits_[k].row, 1);
}

void CollectionConcordance::sortByForm()
{
    // Each member's rows are sorted by form and marker first, so that a
    // stable sort by form keeps text, then marker, within one form.
    for (auto& member : members_)
        if (member->grid().hitCount() > 0) {
            member->grid().setRow(1);
            member->grid().setCol(1);
            member->grid().setColSel(0);
            member->sortByForm();
            member->releaseMemory();
        }
    std::vector<std::u32string> keys(hits_.size());
    for (size_t k = 0; k < hits_.size(); ++k) keys[k] = lowerKey(form(k), encodingOf(k));
    std::vector<size_t> order(hits_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<Hit> sorted;
    sorted.reserve(hits_.size());
    for (size_t k : order) sorted.push_back(hits_[k]);
    hits_ = std::move(sorted);
}

std::vector<CollectionConcordance::Frequency> CollectionConcordance::frequencies(FrequencyOrder order) const
{
    // The vocabulary and a phrase's text are UTF-8 whatever the text's
    // encoding, so the forms of every text merge as they are.
    std::map<std::string, std::uint64_t> merged;
    for (const auto& member : members_)
        for (const FormFrequency& f : countForms(member->grid()))
            merged[std::string(frequencyText(member->index(), f))] += f.count;
    std::vector<Frequency> list;
    list.reserve(merged.size());
    for (auto& [form, count] : merged) list.push_back({form, count});
    // Alphabetically as the list of one text, then by count.
    std::vector<std::uint32_t> ids(list.size());
    std::iota(ids.begin(), ids.end(), 0);
    sortAlphabetically(ids, [&](std::uint32_t k) { return std::string_view(list[k].form); });
    std::vector<Frequency> sorted;
    sorted.reserve(list.size());
    for (const std::uint32_t k : ids) sorted.push_back(std::move(list[k]));
    if (order == FrequencyOrder::ByCount)
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Frequency& a, const Frequency& b) { return a.count > b.count; });
    return sorted;
}

std::vector<size_t> CollectionConcordance::countsPerMember() const
{
    std::vector<size_t> counts(members_.size(), 0);
    for (const Hit& h : hits_) ++counts[h.member];
    return counts;
}

} // namespace solandre
