// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/lexical_evidence.h"

#include "align/reliability.h"

#include <algorithm>
#include <cmath>

namespace solandre::align {

namespace {

struct FormEvidence {
    double chance = 0; // q: share of the other text's sentences holding a key
    float gain[kMaxBeadSide] = {};
    float missed = 0; // log(1 - p)
};

FormEvidence judgeForm(std::uint32_t form, int side, const FormKeys& keys,
                       const std::vector<std::uint32_t>& otherFrequency, std::size_t otherSentences,
                       double p)
{
    FormEvidence evidence;
    const double absent = absentShare(keys, side, form, otherFrequency, otherSentences);
    // A key in no sentence of the other text cannot match; one in all of them
    // matches whatever the alignment.
    if (absent >= 1 || absent <= 0) return evidence;
    evidence.chance = 1 - absent;
    p = std::clamp(p, 0.0, kMaxReliability);
    const double miss = std::log1p(-p);
    evidence.missed = static_cast<float>(miss);
    for (int k = 1; k <= kMaxBeadSide; ++k) {
        const double q = 1 - std::pow(absent, k);
        const double found = 1 - (1 - p) * (1 - q);
        evidence.gain[k - 1] = static_cast<float>(std::log(found / q) - miss);
    }
    return evidence;
}

} // namespace

SideEvidence buildEvidence(const SideText& text, int side, const FormKeys& keys,
                           const std::vector<std::uint32_t>& otherFrequency,
                           std::size_t otherSentences, const std::vector<double>& reliability)
{
    SideEvidence evidence;
    evidence.itemBegin.reserve(text.size() + 1);
    evidence.itemBegin.push_back(0);
    evidence.missed.reserve(text.size());
    evidence.items.reserve(text.forms.size()); // items are some of the forms
    // Kinds and their keys at most for every form of the text: taken at
    // once, they do not grow to twice that.
    {
        std::vector<bool> present(keys.formCount(), false);
        std::size_t forms = 0, formKeys = 0;
        for (const std::uint32_t form : text.forms) {
            if (present[form]) continue;
            present[form] = true;
            ++forms;
            keys.forEachKey(side, form, [&](std::uint32_t) { ++formKeys; });
        }
        evidence.kinds.reserve(forms);
        evidence.keys.reserve(formKeys);
    }
    // Per form of the table, 8 bytes: a kind is made when a form is first
    // judged able to match, and its chance kept by the kind.
    constexpr std::uint32_t kNotJudged = UINT32_MAX, kCannotMatch = UINT32_MAX - 1;
    struct Judged {
        float missed = 0;
        std::uint32_t kind = kNotJudged;
    };
    std::vector<Judged> byForm(keys.formCount());
    std::vector<double> chanceOf; // q, per kind
    chanceOf.reserve(evidence.kinds.capacity());
    std::vector<std::pair<double, std::uint32_t>> candidates;

    for (std::uint32_t s = 0; s < text.size(); ++s) {
        candidates.clear();
        const std::uint32_t* forms = text.formsOf(s);
        for (std::uint32_t f = 0; f < text.formCount(s); ++f) {
            Judged& form = byForm[forms[f]];
            if (form.kind == kNotJudged) {
                const FormEvidence judged =
                    otherSentences > 0 ? judgeForm(forms[f], side, keys, otherFrequency, otherSentences,
                                                   reliability[forms[f]])
                                       : FormEvidence{};
                form.missed = judged.missed;
                form.kind = kCannotMatch;
                if (judged.chance > 0) {
                    ItemKind kind;
                    std::copy(std::begin(judged.gain), std::end(judged.gain), kind.gain);
                    kind.keyBegin = static_cast<std::uint32_t>(evidence.keys.size());
                    keys.forEachKey(side, forms[f], [&](std::uint32_t key) { evidence.keys.push_back(key); });
                    kind.keyEnd = static_cast<std::uint32_t>(evidence.keys.size());
                    form.kind = static_cast<std::uint32_t>(evidence.kinds.size());
                    evidence.kinds.push_back(kind);
                    chanceOf.push_back(judged.chance);
                }
            }
            if (form.kind != kCannotMatch) candidates.emplace_back(chanceOf[form.kind], forms[f]);
        }
        // Very long sentences keep their most telling (rarest) items.
        if (candidates.size() > kMaxItems) {
            std::partial_sort(candidates.begin(), candidates.begin() + kMaxItems, candidates.end());
            candidates.resize(kMaxItems);
        }
        float missed = 0;
        for (const auto& [chance, form] : candidates) {
            evidence.items.push_back(byForm[form].kind);
            missed += byForm[form].missed;
        }
        evidence.missed.push_back(missed);
        evidence.itemBegin.push_back(static_cast<std::uint32_t>(evidence.items.size()));
    }
    return evidence;
}

Matcher::Matcher(const SideEvidence& source, const SideEvidence& target, std::uint32_t keyCount)
    : source_(source), target_(target),
      held_(std::clamp<std::size_t>(std::bit_ceil(std::max<std::size_t>(keyCount, 1)), 64, kMostHeldBits) / 64, 0)
{
}

const std::uint64_t* Matcher::findHolders(std::uint32_t key) const
{
    const std::size_t mask = holders_.size() - 1;
    for (std::size_t at = (key * 0x9E3779B97F4A7C15ull) >> holderShift_;; at = (at + 1) & mask) {
        const Holders& slot = holders_[at];
        if (slot.key == key) return &slot.items;
        if (slot.key == UINT32_MAX) return nullptr;
    }
}

std::uint64_t& Matcher::holdersOf(std::uint32_t key)
{
    const std::size_t mask = holders_.size() - 1;
    for (std::size_t at = (key * 0x9E3779B97F4A7C15ull) >> holderShift_;; at = (at + 1) & mask) {
        Holders& slot = holders_[at];
        if (slot.key == key) return slot.items;
        if (slot.key == UINT32_MAX) {
            slot = {key, 0};
            return slot.items;
        }
    }
}

void Matcher::cover(std::uint32_t first, std::uint32_t end)
{
    if (first >= windowFirst_ && end <= windowEnd_) return;
    windowFirst_ = first;
    windowEnd_ = windowEnd(first, end, static_cast<std::uint32_t>(target_.itemBegin.size() - 1), kWindow);
    windowKeys_.clear();
    windowBegin_.clear();
    for (std::uint32_t t = windowFirst_; t < windowEnd_; ++t) {
        windowBegin_.push_back(static_cast<std::uint32_t>(windowKeys_.size()));
        const std::uint32_t targetFirst = target_.itemBegin[t];
        for (std::uint32_t y = targetFirst; y < target_.itemBegin[t + 1]; ++y) {
            const ItemKind& item = target_.kinds[target_.items[y]];
            for (std::uint32_t k = item.keyBegin; k < item.keyEnd; ++k)
                windowKeys_.push_back({target_.keys[k], y - targetFirst});
        }
    }
    windowBegin_.push_back(static_cast<std::uint32_t>(windowKeys_.size()));
}

void Matcher::matchRow(std::uint32_t s, std::uint32_t first, std::uint32_t end, PairMatch* out)
{
    const std::uint32_t itemFirst = source_.itemBegin[s];
    const std::uint32_t itemEnd = source_.itemBegin[s + 1];
    if (itemFirst == itemEnd) {
        std::fill(out, out + (end - first), PairMatch{});
        return;
    }
    const std::size_t heldMask = held_.size() * 64 - 1;
    auto mayBeHeld = [&](std::uint32_t key) {
        const std::size_t bit = key & heldMask;
        return (held_[bit >> 6] >> (bit & 63) & 1) != 0;
    };
    std::size_t keys = 0;
    for (std::uint32_t x = itemFirst; x < itemEnd; ++x) {
        const ItemKind& item = source_.kinds[source_.items[x]];
        keys += item.keyEnd - item.keyBegin;
    }
    // At most half full.
    holders_.assign(std::max<std::size_t>(16, std::bit_ceil(2 * keys)), Holders{UINT32_MAX, 0});
    holderShift_ = 64 - std::countr_zero(holders_.size());
    for (std::uint32_t x = itemFirst; x < itemEnd; ++x) {
        const ItemKind& item = source_.kinds[source_.items[x]];
        for (std::uint32_t k = item.keyBegin; k < item.keyEnd; ++k) {
            const std::uint32_t key = source_.keys[k];
            const std::size_t bit = key & heldMask;
            held_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
            holdersOf(key) |= std::uint64_t{1} << (x - itemFirst);
        }
    }
    cover(first, end);
    for (std::uint32_t t = first; t < end; ++t) {
        PairMatch match;
        const KeyOfItem* key = windowKeys_.data() + windowBegin_[t - windowFirst_];
        const KeyOfItem* last = windowKeys_.data() + windowBegin_[t - windowFirst_ + 1];
        for (; key < last; ++key) {
            if (!mayBeHeld(key->key)) continue;
            const std::uint64_t* holders = findHolders(key->key);
            if (!holders) continue;
            match.target |= std::uint64_t{1} << key->item;
            match.source |= *holders;
        }
        out[t - first] = match;
    }
    for (std::uint32_t x = itemFirst; x < itemEnd; ++x) {
        const ItemKind& item = source_.kinds[source_.items[x]];
        for (std::uint32_t k = item.keyBegin; k < item.keyEnd; ++k)
            held_[(source_.keys[k] & heldMask) >> 6] = 0;
    }
}

} // namespace solandre::align
