// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A translation memory (TMX) or a bilingual table (source TAB target per
// line) turned into a numbered pair: unit or row k becomes record "[k] " of
// both files, so that searching, viewing and aligning read it as any pair
// numbered here. A side the unit lacks gives an empty record.
//
// The pair is written in UTF-8 with a byte-order mark, or in Windows-1252
// when the input was in that code page (or Latin-1 or ASCII) and every
// character fits. Both files are written safely and replaced together; a
// fault anywhere in the input leaves them as they were.

#include "common/encoding.h"
#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "tmx/memory_input.h"
#include "tmx/tmx_reader.h"

#include <QString>
#include <optional>

namespace solandre {

struct MemoryImport {
    MemoryFormat format = MemoryFormat::Tmx;
    qint64 units = 0; // records written in each file
    qint64 unitsWithoutSource = 0;
    qint64 unitsWithoutTarget = 0;
    QString sourceLanguage; // of a TMX, as written in the file
    QString targetLanguage;
    Encoding encoding = Encoding::Utf8; // of the pair written
};

// What the input holds, told by its content (memory_input.h).
Result<MemoryFormat> memoryFormatOf(const FileRef& input);

// The languages of a TMX, for the windows to ask which two to take.
Result<TmxLanguages> memoryLanguages(const FileRef& input);

// Refuses an output that is the input or the other output, an input with no
// unit or row at all, and one whose units hold neither language (both
// outputs would be empty). The languages apply to a TMX only. The input is
// read once when it is a stream; `format` says what it holds, else its
// content does.
Result<MemoryImport> importMemory(const FileRef& input, const FileRef& sourceOut, const FileRef& targetOut,
                                  const TmxLanguageChoice& languages = {}, const Progress& progress = {},
                                  std::optional<MemoryFormat> format = std::nullopt);

} // namespace solandre
