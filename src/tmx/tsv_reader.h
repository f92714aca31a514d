// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading bilingual tables (source TAB target, one row per line) as segment
// pairs, streaming, so that row k becomes record k of the numbered texts.
//
// - A row ends at CR LF, LF or CR. The line break after the last row is
//   optional and makes no row of its own; an empty line is a row with two
//   empty segments.
// - The first TAB parts the source from the target. Further TABs belong to the
//   target, where they become blanks like any tab; a row without a TAB has a
//   source only (hasTarget false).
// - A field written the CSV way, "like ""this""", is unquoted and may hold
//   TABs and line breaks (both become blanks). A field is taken as quoted only
//   when it starts with a quote and its closing quote is followed by a TAB, a
//   line break or the end of the file; any other field is taken as written,
//   quotes included, so that a sentence such as "Hola", dijo. keeps them. A
//   closing quote is looked for over 1 MB at most.
// - Segments are cleaned as in tmx_types.h. Invalid UTF-8 becomes U+FFFD; a
//   UTF-8 byte-order mark at the start is skipped.
// - The file is read in chunks of about 1 MB; only a row longer than that
//   makes the buffer grow, to hold the row whole, up to 16 MB.

#include "common/result.h"
#include "tmx/tmx_types.h"

#include <QIODevice>
#include <QString>

namespace solandre {

enum class TableEncoding { Utf8, Windows1252 };

struct TsvSummary {
    qint64 rows = 0;
    qint64 rowsWithoutTab = 0;
    bool stopped = false; // the sink asked to stop
};

// Fails when the device cannot be read, or at a row of more than 16 MB (one
// that never ends must not take all memory); the sink may have received rows
// by then.
Result<TsvSummary> readTsv(QIODevice& device, const QString& fileName, TableEncoding encoding,
                              const SegmentPairSink& sink);

} // namespace solandre
