// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/lexical_keys.h"

#include <string>
#include <unordered_map>

namespace solandre::align {

namespace {

// The first `count` code points of UTF-8 text (which is well formed here, as
// forms come out of the normalizer).
std::string_view prefix(std::string_view text, std::size_t count)
{
    std::size_t bytes = 0;
    for (std::size_t seen = 0; bytes < text.size(); ++bytes) {
        if ((static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) continue;
        if (seen++ == count) break;
    }
    return text.substr(0, bytes);
}

} // namespace

FormKeys::FormKeys(const FormTable& forms)
{
    std::unordered_map<std::string_view, std::uint32_t> ids;
    surface_.resize(forms.size());
    for (std::uint32_t form = 0; form < forms.size(); ++form) {
        const std::string_view text = forms.view(form);
        const std::string_view key =
            forms.kind(form) == FormKind::Word ? prefix(text, kCognatePrefix) : text;
        surface_[form] = ids.emplace(key, static_cast<std::uint32_t>(ids.size())).first->second;
    }
    keyCount_ = static_cast<std::uint32_t>(ids.size());
}

void FormKeys::addPairs(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs)
{
    // Each form's keys so far, then its new ones in the pairs' order.
    for (int side = 0; side < 2; ++side) {
        const std::size_t forms = surface_.size();
        std::vector<std::uint32_t> begin(forms + 1, 0);
        for (std::uint32_t form = 0; form < forms; ++form)
            begin[form + 1] = static_cast<std::uint32_t>(extraKeys(side, form).size());
        for (const auto& pair : pairs)
            ++begin[(side == 0 ? pair.first : pair.second) + 1];
        for (std::size_t form = 0; form < forms; ++form)
            begin[form + 1] += begin[form];
        std::vector<std::uint32_t> keys(begin.back());
        std::vector<std::uint32_t> next(begin.begin(), begin.end() - 1);
        for (std::uint32_t form = 0; form < forms; ++form)
            for (const std::uint32_t key : extraKeys(side, form))
                keys[next[form]++] = key;
        std::uint32_t key = keyCount_;
        for (const auto& pair : pairs) {
            const std::uint32_t form = side == 0 ? pair.first : pair.second;
            keys[next[form]++] = key++;
        }
        extraBegin_[side] = std::move(begin);
        extra_[side] = std::move(keys);
    }
    keyCount_ += static_cast<std::uint32_t>(pairs.size());
}

std::vector<std::uint32_t> keyFrequency(const SideText& text, const FormKeys& keys, int side)
{
    std::vector<std::uint32_t> frequency(keys.keyCount(), 0);
    std::vector<std::uint32_t> lastSentence(keys.keyCount(), UINT32_MAX);
    for (std::uint32_t s = 0; s < text.size(); ++s) {
        const std::uint32_t* forms = text.formsOf(s);
        for (std::uint32_t f = 0; f < text.formCount(s); ++f) {
            keys.forEachKey(side, forms[f], [&](std::uint32_t key) {
                if (lastSentence[key] == s) return;
                lastSentence[key] = s;
                ++frequency[key];
            });
        }
    }
    return frequency;
}

} // namespace solandre::align
