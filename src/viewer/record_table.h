// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The records of a numbered text, for the viewer's steps. A text numbered the
// usual way (every "[" opens the next marker, "[1]", "[2]", ... in order, and
// no "]" stands anywhere else) is read once for the place of every record;
// each step then costs the length of the record it shows. Any other text is
// scanned whole at each step, by the rules of scanForMarker, with the same
// results.

#include "common/marker.h"
#include "common/pod_array.h"
#include "common/progress.h"
#include "viewer/context_scan.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace solandre {

class RecordTable {
public:
    RecordTable() = default; // of an empty text

    // The text must outlive the table. Nothing when `progress` stopped it.
    static std::optional<RecordTable> build(std::string_view text, const Progress& progress = {});

    ContextScan find(std::string_view marker) const;
    bool regular() const { return regular_; }
    size_t records() const { return regular_ ? records_ : 0; }

private:
    // Where each record starts is kept for one record in kStep, the others
    // found from there: in a regular text every "[" opens the next record.
    static constexpr size_t kStep = 16;
    size_t start(size_t record) const;

    std::string_view text_;
    bool regular_ = true;
    size_t records_ = 0;
    PodArray<std::uint32_t> starts_; // of records 1, 1 + kStep, ..., when regular
};

} // namespace solandre
