// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Aligned pairs written as a TMX 1.4b translation memory: one translation unit
// per pair, a pair without text on either side skipped.

#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"

#include <QString>
#include <functional>
#include <initializer_list>
#include <string>

namespace solandre {

struct MemoryExport {
    qint64 units = 0;   // written
    qint64 skipped = 0; // pairs empty on both sides
    // Of a numbered pair: the records of each text.
    size_t sourceRecords = 0;
    size_t targetRecords = 0;
};

struct MemoryLanguages {
    QString source;
    QString target;
};

// Pair k (0-based) as two UTF-8 segments.
using PairAt = std::function<void(size_t k, std::string& source, std::string& target)>;

// Writes `count` pairs to `out`, safely. `inputs` are the files the pairs come
// from, which `out` may not be. Both languages are needed, and must differ.
Result<MemoryExport> exportMemory(size_t count, const PairAt& pairAt, const FileRef& out,
                                  const MemoryLanguages& languages, std::initializer_list<FileRef> inputs,
                                  const Progress& progress = {});

// Record k of one numbered text with record k of the other. When one text has
// more records, its last ones get a unit of one side.
Result<MemoryExport> exportNumberedPair(const FileRef& source, const FileRef& target, const FileRef& out,
                                        const MemoryLanguages& languages, const Progress& progress = {});

} // namespace solandre
