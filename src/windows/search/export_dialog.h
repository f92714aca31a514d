// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Exportar...", as every window that lists what a search found runs it:
// the file asked for with its type (a spreadsheet, CSV or TSV), the type
// chosen deciding the format and giving a bare name its ending, a text
// refused as the output before the replace question, the list written as
// long work, and how it went said.

#include "common/progress.h"
#include "common/result.h"
#include "search/concordance_lines.h"
#include "study/sheet.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace solandre {

struct Desktop;

// The types offered, in this order: .xlsx, .csv, .tsv.
extern const char* const kExportFilter;
ExportFormat exportFormatOfType(int type);

// Writes the list to `file` in `format`.
using ExportWriter = std::function<Status(const QString& file, ExportFormat format, const Progress& progress)>;

// `texts`: the files the export must never replace.
void exportWithDialogs(QWidget* parent, Desktop& desktop, const QStringList& texts, const ExportWriter& write);

// The lines with both sentences of each hit.
void exportLinesWithDialogs(QWidget* parent, Desktop& desktop, const ConcordanceLines& lines, const QString& source,
                            const QString& target);

} // namespace solandre
