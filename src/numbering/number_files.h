#pragma once
// The numbering of files, as the numbering-done window and the command line
// run it: every input is read and checked before anything is written, an
// output may be neither an input nor another output, and the numbered copies
// replace their targets together at the end, so a failure leaves every file
// as it was.

#include "common/fileio.h"
#include "common/marker.h"
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

Result<std::vector<NumberedCopy>> numberFiles(const std::vector<NumberingJob>& jobs);
Result<NumberedCopy> numberFile(const FileRef& input, const FileRef& output);

} // namespace solandre
