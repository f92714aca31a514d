#pragma once
// Whether two path strings name the same file: the same string, or, spelt
// differently (relative, "..", a symbolic or hard link), the same file on
// disk. Files whose names differ only in letter case are different where the
// file system tells them apart.

#include <QString>

namespace solandre {

bool isSameFile(const QString& a, const QString& b);

namespace detail {
// Both exist and are one file (same device and file number). Per platform.
bool sameExistingFile(const QString& a, const QString& b);
} // namespace detail

} // namespace solandre
