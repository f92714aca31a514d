// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The alignment of two numbered texts, as the command line, the numbering-done
// window and the review window run it: the records of each text, the beads
// that pair them, and the aligned pair written back, record k of each file
// holding the sentences of bead k.

#include "align/aligner.h"
#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "common/text_file.h"
#include "numbering/numbered_records.h"

#include <string>
#include <string_view>
#include <vector>

namespace solandre {

struct PairAlignment {
    NumberedRecords source;
    NumberedRecords target;
    std::vector<Bead> beads;

    // Every bead one sentence to one sentence, all the way.
    bool oneToOne() const;
    size_t beadsNotOneToOne() const;
    // The first bead that is not one to one, if any.
    std::optional<size_t> firstNotOneToOne() const;
};

// Nothing but a cancel when `progress` stops it.
Result<PairAlignment> alignNumberedPair(const FileRef& source, const FileRef& target,
                                        const Progress& progress = {});
// The same for records already read.
Result<PairAlignment> alignRecords(NumberedRecords source, NumberedRecords target, const Progress& progress = {});

// The sentences of one side of a bead joined by one blank, in that text's
// encoding, appended to `out`.
void appendBeadSentences(std::string& out, const NumberedRecords& records, std::uint32_t first,
                         std::uint32_t count);

// A bead as the command line lists it: "[2] [3]\t[4]"; an empty side empty.
std::string beadLine(const PairAlignment& pair, const Bead& bead);

// Writes record k of each output with the sentences of bead k joined by one
// blank ("[k] " alone for an empty side), in each text's own encoding and
// with its mark, safely; both files are replaced together at the end. An
// output may not be the other text, nor its own text unless `inPlace`, which
// rewrites numbered copies of our own in place.
Status writeAlignedPair(const PairAlignment& pair, const std::vector<Bead>& beads,
                        const FileRef& sourceOut, const FileRef& targetOut, bool inPlace = false,
                        const Progress& progress = {});

} // namespace solandre
