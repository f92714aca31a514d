// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/numbered_records.h"

#include "common/marker.h"

namespace solandre {

NumberedRecords recordsOf(TextFile text)
{
    NumberedRecords records;
    records.text = std::move(text);
    const std::string_view t = records.text.text();
    size_t open = t.find('[');
    while (open != std::string_view::npos) {
        const size_t next = t.find('[', open + 1);
        const size_t end = next == std::string_view::npos ? t.size() : next;
        const size_t close = t.find(']', open);
        const size_t markerEnd = close != std::string_view::npos && close < end ? close + 1 : open + 1;
        size_t start = markerEnd;
        if (start < end && t[start] == ' ') ++start;
        size_t stop = end;
        if (stop >= start + 2 && t.substr(stop - 2, 2) == "\r\n") stop -= 2;
        else if (stop > start && (t[stop - 1] == '\n' || t[stop - 1] == '\r')) --stop;
        records.markers.push_back(t.substr(open, markerEnd - open));
        records.sentences.push_back(t.substr(start, stop - start));
        open = next;
    }
    return records;
}

Result<NumberedRecords> readRecords(const FileRef& file)
{
    Result<TextFile> text = TextFile::open(file);
    if (!text) return text.error();
    NumberedRecords records = recordsOf(std::move(text.value()));
    if (records.sentences.empty())
        return Error::reading(file.name(), QStringLiteral("no tiene frases numeradas"));
    return records;
}

std::optional<size_t> firstMarkerOutOfOrder(const NumberedRecords& records)
{
    std::optional<std::uint64_t> previous;
    for (size_t k = 0; k < records.markers.size(); ++k) {
        const std::optional<std::uint64_t> number = markerNumber(records.markers[k]);
        if (!number) continue;
        if (previous && *number <= *previous) return k;
        previous = number;
    }
    return std::nullopt;
}

} // namespace solandre
