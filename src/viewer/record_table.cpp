// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/record_table.h"

#include "common/brackets.h"
#include "common/marker.h"

#include <charconv>

namespace solandre {
std::optional<RecordTable> RecordTable::build(std::string_view text, const Progress& progress)
{
    RecordTable table;
    table.text_ = text;
    table.regular_ = text.size() <= 0xFFFFFFFFu;
    size_t pos = 0;
    size_t nextReport = size_t(16) << 20;
    while (table.regular_) {
        const size_t open = findBracket(text, pos);
        if (open == text.size()) break;
        if (open >= nextReport) {
            nextReport = open + (size_t(16) << 20);
            if (!goOn(progress, double(open) / double(text.size()))) return std::nullopt;
        }
        const size_t close = text[open] == '[' ? findBracket(text, open + 1) : text.size();
        const auto number = close < text.size() && text[close] == ']'
                                ? markerNumber(text.substr(open, close - open + 1))
                                : std::nullopt;
        if (!number || *number != table.starts_.size() + 1) {
            table.regular_ = false;
            table.starts_.clear();
            break;
        }
        table.starts_.push_back(std::uint32_t(open));
        pos = close + 1;
    }
    if (!goOn(progress, 1.0)) return std::nullopt;
    return table;
}

ContextScan RecordTable::find(std::string_view marker) const
{
    const auto number = markerNumber(marker);
    if (!regular_ || !number || *number > starts_.size()) return scanForMarker(text_, marker);
    const size_t k = size_t(*number) - 1;
    const size_t start = starts_[k];
    const size_t end = k + 1 < starts_.size() ? starts_[k + 1] : text_.size();
    ContextScan scan;
    scan.found = true;
    scan.record = std::string(text_.substr(start, end - start));
    scan.previous = sentenceMarker(k == 0 ? 1 : k);
    scan.next = sentenceMarker(k + 1 == starts_.size() ? k + 1 : k + 2);
    return scan;
}

} // namespace solandre
