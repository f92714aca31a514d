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

#include <string>
#include <string_view>
#include <vector>

namespace solandre {

// The records of a numbered text: each "[" opens one; its sentence runs from
// after "] " to the record's line end (bytes of the text's encoding).
struct NumberedRecords {
    TextFile text;
    std::vector<std::string_view> markers;   // "[k]"
    std::vector<std::string_view> sentences;
};

NumberedRecords recordsOf(TextFile text);
// Refuses a file that cannot be read, that is not a text, or holds no record.
Result<NumberedRecords> readRecords(const FileRef& file);

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
