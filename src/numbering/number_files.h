// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbering of files, as the numbering-done window and the command line
// run it: every input is opened and checked before anything is written, an
// output may be neither an input nor another output, and the numbered copies
// replace their targets together at the end, so a failure or a cancel leaves
// every file as it was. A copy keeps its text's encoding and byte-order mark
// (a UTF-16 text gives UTF-8 with a mark). The inputs are read a piece at a
// time, so memory stays small whatever their size.

#include "common/fileio.h"
#include "common/marker.h"
#include "common/progress.h"
#include "common/result.h"

#include <vector>

namespace solandre {

struct NumberingJob {
    FileRef input;
    FileRef output;
};

struct NumberedCopy {
    QString output;
    SentenceNumber records = 0;
};

// Numbered copies, as the search reads them, stay under 4 GiB.
inline constexpr qint64 kMaxNumberedBytes = 0xFFFFFFFE;

Result<std::vector<NumberedCopy>> numberFiles(const std::vector<NumberingJob>& jobs,
                                              const Progress& progress = {});
Result<NumberedCopy> numberFile(const FileRef& input, const FileRef& output,
                                const Progress& progress = {});

} // namespace solandre
