// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency list and the translation candidates of a search written as
// tables for a spreadsheet, with the columns their windows show.

#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "search/frequencies.h"
#include "study/candidates.h"
#include "study/sheet.h"

#include <vector>

namespace solandre {

inline constexpr const char* kFrequencyHeader[] = {"Forma", "Ocurrencias"};

// False when `progress` stopped it; nothing committed.
bool writeFrequencies(SheetWriter& sheet, const WordIndex& index, const std::vector<FormFrequency>& list,
                      const Progress& progress = {});
void writeCandidates(SheetWriter& sheet, const CandidateList& list);

Status exportFrequencies(const FileRef& output, const WordIndex& index, const std::vector<FormFrequency>& list,
                         ExportFormat format, const Progress& progress = {});
Status exportCandidates(const FileRef& output, const CandidateList& list, ExportFormat format);

} // namespace solandre
