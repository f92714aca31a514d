// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether two path strings name the same file: the same string, or, spelt
// differently (relative, "..", a symbolic or hard link), the same file on
// disk. Files whose names differ only in letter case are different where the
// file system tells them apart.

#include "common/fileio.h"
#include "common/result.h"

#include <QString>
#include <initializer_list>

namespace solandre {

bool isSameFile(const QString& a, const QString& b);

// Refuses an output that is one of the texts being read (empty names are
// ignored): writing it would destroy the text before or while it is read.
// The standard streams of a command line are never the same as a file.
Status refuseInputAsOutput(const FileRef& output, std::initializer_list<FileRef> inputs);

// Refuses two outputs that are one file by any spelling, a link to the other
// included, and both "-": the second would overwrite the first.
Status refuseSameOutputs(const FileRef& first, const FileRef& second);

namespace detail {
// Both exist and are one file (same device and file number). Per platform.
bool sameExistingFile(const QString& a, const QString& b);
} // namespace detail

} // namespace solandre
