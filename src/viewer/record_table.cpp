// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/record_table.h"

#include "common/brackets.h"
#include "common/marker.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace solandre {
namespace {

constexpr size_t kReportEvery = size_t(16) << 20;
// Below this a second thread costs more than it saves.
constexpr size_t kSplitAbove = size_t(8) << 20;

// The number of the marker text[open, close] ("[" digits "]", no leading
// zero), as markerNumber reads it; 0 when it is none. Longer numbers than
// fit 19 digits never match a record's count, and read as none too.
std::uint64_t numberAt(std::string_view text, size_t open, size_t close)
{
    const size_t digits = close - open - 1;
    if (digits == 0 || digits > 19 || text[open + 1] == '0') return 0;
    std::uint64_t n = 0;
    for (size_t k = open + 1; k < close; ++k) {
        const unsigned d = unsigned(static_cast<unsigned char>(text[k])) - '0';
        if (d > 9) return 0;
        n = n * 10 + d;
    }
    return n;
}

// The records whose "[" lies before `to`, scanned from `from`, a "[" (or
// 0): their starts, and the first number, which the next ones follow one by
// one. `stop` gets the first bracket at or after `to` the scan came to.
struct Part {
    PodArray<std::uint32_t> starts;
    std::uint64_t firstNumber = 0;
    size_t stop = 0;
    bool regular = true;
};

template <class GoOn> void scanPart(std::string_view text, size_t from, size_t to, Part& part, GoOn&& goOn)
{
    size_t pos = from;
    size_t nextReport = from + kReportEvery;
    part.stop = text.size();
    while (true) {
        const size_t open = findBracket(text, pos);
        if (open == text.size()) break;
        if (open >= to) {
            part.stop = open;
            break;
        }
        if (open >= nextReport) {
            nextReport = open + kReportEvery;
            if (!goOn(open)) return;
        }
        const size_t close = text[open] == '[' ? findBracket(text, open + 1) : text.size();
        const std::uint64_t number = close < text.size() && text[close] == ']' ? numberAt(text, open, close) : 0;
        if (part.starts.size() == 0) part.firstNumber = number;
        if (number == 0 || number != part.firstNumber + part.starts.size()) {
            part.regular = false;
            return;
        }
        part.starts.push_back(std::uint32_t(open));
        pos = close + 1;
    }
}

} // namespace

std::optional<RecordTable> RecordTable::build(std::string_view text, const Progress& progress)
{
    RecordTable table;
    table.text_ = text;
    table.regular_ = text.size() <= 0xFFFFFFFFu;
    if (!table.regular_) return goOn(progress, 1.0) ? std::optional(std::move(table)) : std::nullopt;

    // A big text in two halves at once, the second from the first "[" past
    // the middle: in a regular text the scan of the first half stops right
    // there, and the second half's numbers follow on from the first's.
    size_t middle = text.size();
    if (text.size() > kSplitAbove) {
        middle = findBracket(text, text.size() / 2);
        while (middle < text.size() && text[middle] != '[') middle = findBracket(text, middle + 1);
    }
    Part first, second;
    std::atomic<bool> stopped{false};
    bool cancelled = false;
    auto reportHere = [&](size_t at) {
        if (goOn(progress, double(at) / double(middle) * (middle < text.size() ? 0.5 : 1.0))) return true;
        cancelled = true;
        stopped = true;
        return false;
    };
    auto scanFirst = [&] {
        scanPart(text, 0, middle, first, reportHere);
        if (!first.regular) stopped = true;
    };
    if (middle < text.size()) {
        auto scanSecond = [&] { scanPart(text, middle, text.size(), second, [&](size_t) { return !stopped; }); };
        std::thread worker;
        try {
            worker = std::thread(scanSecond);
        } catch (const std::system_error&) {
        }
        scanFirst();
        if (worker.joinable())
            worker.join();
        else if (first.regular && !cancelled)
            scanSecond();
    } else {
        scanFirst();
    }
    if (cancelled) return std::nullopt;
    table.regular_ = first.regular && (middle == text.size() ||
                                       (first.stop == middle && second.regular && !stopped &&
                                        (second.starts.size() == 0 || second.firstNumber == first.starts.size() + 1)));
    if (table.regular_) {
        table.starts_ = std::move(first.starts);
        for (const std::uint32_t start : second.starts) table.starts_.push_back(start);
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
