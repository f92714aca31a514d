// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/lexical_keys.h"

#include <string>
#include <unordered_map>

namespace solandre::align {

namespace {

// The first `count` code points of UTF-8 text (which is well formed here, as
// forms come out of the normalizer).
std::string_view prefix(const std::string& text, std::size_t count)
{
    std::size_t bytes = 0;
    for (std::size_t seen = 0; bytes < text.size(); ++bytes) {
        if ((static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) continue;
        if (seen++ == count) break;
    }
    return std::string_view(text).substr(0, bytes);
}

const std::vector<std::uint32_t> kNoKeys;

} // namespace

FormKeys::FormKeys(const FormTable& forms)
{
    std::unordered_map<std::string_view, std::uint32_t> ids;
    surface_.resize(forms.size());
    for (std::uint32_t form = 0; form < forms.size(); ++form) {
        const std::string& text = forms.text(form);
        const std::string_view key =
            forms.kind(form) == FormKind::Word ? prefix(text, kCognatePrefix) : text;
        surface_[form] = ids.emplace(key, static_cast<std::uint32_t>(ids.size())).first->second;
    }
    keyCount_ = static_cast<std::uint32_t>(ids.size());
}

void FormKeys::addPairs(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs)
{
    for (auto& sideKeys : extra_)
        sideKeys.resize(surface_.size());
    for (const auto& [source, target] : pairs) {
        extra_[0][source].push_back(keyCount_);
        extra_[1][target].push_back(keyCount_);
        ++keyCount_;
    }
}

const std::vector<std::uint32_t>& FormKeys::extraKeys(int side, std::uint32_t form) const
{
    return form < extra_[side].size() ? extra_[side][form] : kNoKeys;
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
