// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/alphabetical.h"

#include <unicode/coll.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace solandre {

bool sortAlphabetically(std::vector<std::uint32_t>& ids, const std::function<std::string_view(std::uint32_t)>& text,
                        const Progress& progress)
{
    if (ids.size() < 2) return goOn(progress, 1.0);
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    // Every sort key, one after the other: comparing keys is a byte
    // comparison, where comparing the strings would collate them anew.
    std::string keys;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans(ids.size()); // offset, length
    std::vector<uint8_t> key(64);
    for (size_t k = 0; k < ids.size(); ++k) {
        if (k % 65536 == 0 && !goOn(progress, 0.8 * double(k) / double(ids.size()))) return false;
        const std::string_view s = text(ids[k]);
        int32_t length = 0;
        if (U_SUCCESS(status) && collator) {
            const icu::UnicodeString u = icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), int32_t(s.size())));
            length = collator->getSortKey(u, key.data(), int32_t(key.size()));
            if (length > int32_t(key.size())) {
                key.resize(size_t(length));
                length = collator->getSortKey(u, key.data(), int32_t(key.size()));
            }
        }
        spans[k] = {std::uint32_t(keys.size()), std::uint32_t(length)};
        keys.append(reinterpret_cast<const char*>(key.data()), size_t(length));
    }
    std::vector<std::uint32_t> order(ids.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) order[k] = k;
    const std::string_view all = keys;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int byKey = all.substr(spans[a].first, spans[a].second).compare(all.substr(spans[b].first, spans[b].second));
        if (byKey != 0) return byKey < 0;
        const std::string_view x = text(ids[a]), y = text(ids[b]);
        return x != y ? x < y : a < b;
    });
    std::vector<std::uint32_t> sorted(ids.size());
    for (size_t k = 0; k < order.size(); ++k) sorted[k] = ids[order[k]];
    ids = std::move(sorted);
    return goOn(progress, 1.0);
}

} // namespace solandre
