// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the translation-memory and table readers hand over: one unit as two
// UTF-8 segments, and how they fail.

#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <variant>

namespace solandre {

// The message the user sees; it names the file and the reason.
struct TmxError {
    QString message;
};

template <class T> class [[nodiscard]] TmxResult {
public:
    TmxResult(T value) : state_(std::move(value)) {}
    TmxResult(TmxError error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const TmxError& error() const { return std::get<1>(state_); }

private:
    std::variant<T, TmxError> state_;
};

// One translation unit, or one row of a table. Both segments are cleaned to
// fit a record of a numbered text: "[" becomes "<", "]" becomes ">", and every
// line break (CR LF, CR, LF, U+0085, U+2028, U+2029) and every tab becomes one
// blank. Nothing else is changed: blanks are neither trimmed nor collapsed.
struct SegmentPair {
    std::string source;
    std::string target;
    // Whether the unit had that side at all: a translation unit without a
    // variant in that language, a table row without a TAB. The segment of a
    // missing side is empty.
    bool hasSource = false;
    bool hasTarget = false;
};

// Receives the units in order. The pair is reused for the next unit, so copy
// what must outlive the call. Returning false stops the reading there.
using SegmentPairSink = std::function<bool(const SegmentPair&)>;

} // namespace solandre
