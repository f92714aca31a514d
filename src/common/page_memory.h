// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Memory for big blocks, mapped apart so that it goes back to the system
// when freed: the first touch of fresh pages is much of what reading or
// indexing a big text costs, so memory is better reused than asked for anew.
#include <cstddef>

namespace solandre::detail {

void* allocatePages(size_t size); // nullptr when out of memory
void freePages(void* block, size_t size);
// A block of allocatePages(size) grown to `bigger` bytes with its content,
// maybe elsewhere: a big block's pages are moved, not copied, so that an
// array that outgrows its room is neither copied nor faulted in again.
// nullptr when out of memory, the block then left as it was.
void* growPages(void* block, size_t size, size_t bigger);
// Asks for large pages for the whole large pages of [begin, begin + length),
// before they are first touched: for a table far bigger than the cache, read
// at random, where a walk of the page tables at each read costs as much as
// the read.
void preferLargePages(void* begin, size_t length);
// Gives back the whole pages of [begin, begin + length) of a mapped file: the
// memory goes, the content stays readable from the file.
void releasePages(const void* begin, size_t length);
// Maps the first `size` bytes of the open file `handle` read-only, so that
// the mapping outlives the handle: a thousand texts open hold no file open.
// nullptr where the system cannot; unmapFile undoes it.
const char* mapFile(int handle, size_t size);
void unmapFile(const char* data, size_t size);

} // namespace solandre::detail
