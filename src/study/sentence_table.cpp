// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/sentence_table.h"

#include "common/cp1252.h"
#include "search/results_file.h"

namespace solandre {

std::optional<SentenceTable> SentenceTable::build(std::string_view text, Encoding encoding,
                                                  const Progress& progress)
{
    auto records = RecordTable::build(text, progress);
    if (!records) return std::nullopt;
    SentenceTable table;
    table.text_ = text;
    table.encoding_ = encoding;
    table.records_ = std::move(*records);
    return table;
}

void SentenceTable::gather(const std::vector<std::string>& markers)
{
    if (records_.regular() || text_.empty()) return;
    gathered_ = findSegments(text_, markers);
    gatheredAll_ = true;
}

std::string SentenceTable::sentence(std::string_view marker, Encoding markerEncoding) const
{
    if (text_.empty()) return {};
    if (marker.empty() || marker.size() > kMaxMarker) return {};
    const auto own = markerIn(marker, markerEncoding, encoding_);
    if (!own) return {};
    if (gatheredAll_) {
        const auto it = gathered_.find(*own);
        return it == gathered_.end() ? std::string() : std::string(sentenceOfRecord(it->second, *own));
    }
    const ContextScan scan = records_.find(*own);
    return scan.found ? std::string(sentenceOfRecord(scan.record, *own)) : std::string();
}

std::string_view sentenceOfRecord(std::string_view record, std::string_view marker)
{
    if (record.starts_with(marker)) record.remove_prefix(marker.size());
    while (!record.empty() && static_cast<unsigned char>(record.front()) <= ' ') record.remove_prefix(1);
    while (!record.empty() && static_cast<unsigned char>(record.back()) <= ' ') record.remove_suffix(1);
    return record;
}

std::optional<std::string> markerIn(std::string_view marker, Encoding from, Encoding to)
{
    if (from == to) return std::string(marker);
    if (to == Encoding::Utf8) return toUtf8(marker, from);
    std::string out;
    const auto* p = reinterpret_cast<const unsigned char*>(marker.data());
    const auto* end = p + marker.size();
    while (p < end) {
        const char32_t c = nextUtf8(p, end);
        const unsigned char b = c <= 0xFFFF ? unicodeToCp1252(char16_t(c)) : '?';
        if (b == '?' && c != U'?') return std::nullopt;
        out += char(b);
    }
    return out;
}

} // namespace solandre
