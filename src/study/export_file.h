// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The export of concordance lines for a spreadsheet: a header, then one line
// per hit with its form, marker, left and right context, its sentence and the
// translated sentence of the same number. TSV or CSV, always UTF-8 with a
// byte-order mark and CR LF line ends; a field holding the separator, a
// double quote or a line break is quoted, its quotes doubled, as RFC 4180
// says, so the sentences' own line breaks and tabs survive. A marker is
// written as the contexts are, its blanks folded, and cut past the length of
// any sentence's marker: a "[" never closed collects every blank after it.

#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "search/concordance_lines.h"
#include "study/sentence_table.h"

#include <QString>
#include <functional>
#include <string>
#include <string_view>

namespace solandre {

enum class ExportFormat { Tsv, Csv };

// CSV for a name ending in ".csv" (any case), TSV otherwise.
ExportFormat exportFormatOf(const QString& path);

// One field as the format writes it.
void appendField(std::string& out, std::string_view utf8, ExportFormat format);

// The file's bytes, handed to `sink` in pieces. False when `progress` stopped it.
bool writeExport(const ConcordanceLines& lines, const SentenceTable& source, const SentenceTable& target,
                 ExportFormat format, const std::function<void(std::string_view)>& sink,
                 const Progress& progress = {});

// The export as the windows and the command line run it: refuses an output
// that is one of the two texts, reads the numbered target (when named), and
// writes the lines safely. The source sentences come from the text the
// lines' index was built on, named `sourceFile`.
Status exportLines(const FileRef& output, const ConcordanceLines& lines, const FileRef& sourceFile,
                   const FileRef& target, ExportFormat format, const Progress& progress = {});

} // namespace solandre
