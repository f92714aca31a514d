// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Memory for big blocks, in large pages where the system offers them: a
// first touch of every small page is what costs most when reading or
// indexing a big text, far more than the copy itself.
#include <cstddef>

namespace solandre::detail {

void* allocatePages(size_t size); // nullptr when out of memory
void freePages(void* block, size_t size);
// Gives back the whole pages of [begin, begin + length) of a mapped file: the
// memory goes, the content stays readable from the file.
void releasePages(const void* begin, size_t length);

} // namespace solandre::detail
