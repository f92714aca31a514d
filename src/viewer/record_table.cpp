// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/record_table.h"

#include "common/brackets.h"
#include "common/marker.h"

#include <algorithm>
#include <cstring>

namespace solandre {
namespace {

// The decimal digits of the marker expected next, counted up in place, and
// the first eight of them as one word, as they lie in the text.
class ExpectedNumber {
public:
    ExpectedNumber() { next(); }
    size_t length() const { return length_; }
    // Whether `p`, with at least length() bytes up to `end`, starts with the digits.
    bool at(const char* p, const char* end) const
    {
        if (length_ <= 8 && end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            return (word & mask_) == word_;
        }
        return std::string_view(p, length_) == std::string_view(digits_ + kMost - length_, length_);
    }
    void next()
    {
        if (length_ > 0 && length_ <= 8 && digits_[kMost - 1] != '9') {
            ++digits_[kMost - 1];
            word_ += std::uint64_t{1} << (8 * (length_ - 1));
            return;
        }
        size_t k = kMost;
        while (k-- > kMost - length_ && digits_[k] == '9')
            digits_[k] = '0';
        if (k + 1 == kMost - length_)
            digits_[kMost - ++length_] = '1';
        else
            ++digits_[k];
        word_ = 0;
        for (size_t d = 0; d < length_ && d < 8; ++d)
            word_ |= std::uint64_t(static_cast<unsigned char>(digits_[kMost - length_ + d])) << (8 * d);
        mask_ = length_ >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length_)) - 1;
    }

private:
    static constexpr size_t kMost = 24; // more than a 64-bit number's digits
    char digits_[kMost] = {};
    size_t length_ = 0;
    std::uint64_t word_ = 0, mask_ = 0;
};

} // namespace

std::optional<RecordTable> RecordTable::build(std::string_view text, const Progress& progress)
{
    RecordTable table;
    table.text_ = text;
    table.regular_ = text.size() <= 0xFFFFFFFFu;
    const size_t n = text.size();
    // A regular text's brackets go "[", "]", "[", "]"..., each pair holding
    // the next number and nothing else: at each "[" the scan checks that the
    // number and its "]" follow, and goes on after them.
    ExpectedNumber expected;
    size_t from = 0; // every bracket before is checked
    auto marker = [&](size_t open) {
        const size_t close = open + 1 + expected.length();
        if (text[open] != '[' || close >= n || text[close] != ']' ||
            !expected.at(text.data() + open + 1, text.data() + n))
            return false;
        if (table.records_++ % kStep == 0) table.starts_.push_back(std::uint32_t(open));
        expected.next();
        from = close + 1;
        return true;
    };
    // From bracket to bracket: in a regular text the next one opens the next
    // marker, a record further on.
    size_t nextReport = size_t(16) << 20;
    while (table.regular_) {
        const size_t stop = std::min(n, nextReport);
        const size_t at = findBracket(text.substr(0, stop), from);
        if (at < stop) {
            table.regular_ = marker(at);
            continue;
        }
        if (stop == n) break;
        from = stop;
        nextReport = stop + (size_t(16) << 20);
        if (!goOn(progress, double(stop) / double(n))) return std::nullopt;
    }
    if (!table.regular_) {
        table.starts_.clear();
        table.records_ = 0;
    }
    if (!goOn(progress, 1.0)) return std::nullopt;
    return table;
}

size_t RecordTable::start(size_t record) const
{
    size_t at = starts_[record / kStep];
    for (size_t k = record % kStep; k > 0; --k)
        at = text_.find('[', at + 1);
    return at;
}

ContextScan RecordTable::find(std::string_view marker) const
{
    const auto number = markerNumber(marker);
    if (!regular_ || !number || *number > records_) return scanForMarker(text_, marker);
    const size_t k = size_t(*number) - 1;
    const size_t start = this->start(k);
    const size_t end = k + 1 < records_ ? text_.find('[', start + 1) : text_.size();
    ContextScan scan;
    scan.found = true;
    scan.record = std::string(text_.substr(start, end - start));
    scan.previous = sentenceMarker(k == 0 ? 1 : k);
    scan.next = sentenceMarker(k + 1 == records_ ? k + 1 : k + 2);
    return scan;
}

} // namespace solandre
