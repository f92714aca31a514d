// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The export of concordance lines for a spreadsheet: a header, then one row
// per hit with its form, marker, left and right context, its sentence and the
// translated sentence of the same number, as a sheet writes them (TSV, CSV
// or .xlsx), so the sentences' own line breaks and tabs survive. A marker is
// written as the contexts are, its blanks folded, and cut past the length of
// any sentence's marker: a "[" never closed collects every blank after it.

#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "search/concordance_lines.h"
#include "study/sentence_table.h"
#include "study/sheet.h"

#include <QString>
#include <string>
#include <string_view>

namespace solandre {

// The header and the lines' rows, not committed. False when `progress` stopped it.
bool writeExport(const ConcordanceLines& lines, const SentenceTable& source, const SentenceTable& target,
                 SheetWriter& sheet, const Progress& progress = {});

// The export as the windows and the command line run it: refuses an output
// that is one of the two texts, reads the numbered target (when named), and
// writes the lines safely. The source sentences come from the text the
// lines' index was built on, named `sourceFile`.
Status exportLines(const FileRef& output, const ConcordanceLines& lines, const FileRef& sourceFile,
                   const FileRef& target, ExportFormat format, const Progress& progress = {});

} // namespace solandre
