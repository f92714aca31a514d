// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keys are what a word has in common with its translation: numbers, marks and
// short words as they are, longer words by their first letters (identical
// names and cognates alike), and the pairs of the learned dictionary. Two forms
// of opposite texts match when they share a key.

#include "align/text_features.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace solandre::align {

// Letters a longer word and its cognate share at the start, as Simard, Foster
// and Isabelle took for cognates.
inline constexpr std::size_t kCognatePrefix = 4;

class FormKeys {
public:
    // Each form's surface key; ids are dense, from 0 to keyCount() - 1.
    explicit FormKeys(const FormTable& forms);

    // Gives each pair's forms one new key in common: the source form's keys for
    // the source text, the target form's for the target text.
    void addPairs(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs);

    std::uint32_t keyCount() const { return keyCount_; }
    std::size_t formCount() const { return surface_.size(); }
    std::uint32_t surfaceKey(std::uint32_t form) const { return surface_[form]; }
    // Keys a form carries in the source (side 0) or target (side 1) text.
    std::span<const std::uint32_t> extraKeys(int side, std::uint32_t form) const
    {
        const std::vector<std::uint32_t>& begin = extraBegin_[side];
        if (form + 1 >= begin.size()) return {};
        return {extra_[side].data() + begin[form], begin[form + 1] - begin[form]};
    }
    template <class F> void forEachKey(int side, std::uint32_t form, F&& f) const
    {
        f(surface_[form]);
        for (const std::uint32_t key : extraKeys(side, form))
            f(key);
    }

private:
    std::vector<std::uint32_t> surface_;
    // Each side's extra keys, form after form: a list of its own for every
    // form would take more than the keys.
    std::vector<std::uint32_t> extraBegin_[2]; // one more than forms, or none
    std::vector<std::uint32_t> extra_[2];
    std::uint32_t keyCount_ = 0;
};

// Number of sentences of a text holding each key.
std::vector<std::uint32_t> keyFrequency(const SideText& text, const FormKeys& keys, int side);

} // namespace solandre::align
