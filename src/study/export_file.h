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
#include "common/text_file.h"
#include "search/concordance_lines.h"
#include "study/sentence_table.h"
#include "study/sheet.h"

#include <QString>
#include <string>
#include <string_view>

namespace solandre {

// The header's cells and a line's, without ending the row: a list that
// puts a column of its own before them writes its rows with these.
void writeExportHeader(SheetWriter& sheet);
void writeExportCells(SheetWriter& sheet, const ConcordanceLine& line, Encoding encoding, const SentenceTable& source,
                      const SentenceTable& target);

// The header and the lines' rows, not committed. False when `progress` stopped it.
bool writeExport(const ConcordanceLines& lines, const SentenceTable& source, const SentenceTable& target,
                 SheetWriter& sheet, const Progress& progress = {});

// The sentences the lines of one pair need: the source from the text the
// lines' index was built on, the numbered target (when named) read; a text
// numbered by hand scanned once for the lines' markers. The target must be
// kept while the tables are read.
struct ExportTexts {
    TextFile targetText;
    SentenceTable source, target;

    static Result<ExportTexts> open(const ConcordanceLines& lines, const FileRef& target,
                                    const Progress& progress = {});
};

// The export as the windows and the command line run it: refuses an output
// that is one of the two texts, reads the numbered target (when named), and
// writes the lines safely. The source sentences come from the text the
// lines' index was built on, named `sourceFile`.
Status exportLines(const FileRef& output, const ConcordanceLines& lines, const FileRef& sourceFile,
                   const FileRef& target, ExportFormat format, const Progress& progress = {});

} // namespace solandre
