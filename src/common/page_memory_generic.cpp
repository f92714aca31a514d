// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/page_memory.h"

#include <cstdlib>

namespace solandre::detail {

void* allocatePages(size_t size) { return std::malloc(size ? size : 1); }
void freePages(void* block, size_t) { std::free(block); }
void* growPages(void* block, size_t, size_t bigger) { return std::realloc(block, bigger ? bigger : 1); }
void preferLargePages(void*, size_t) {}
void releasePages(const void*, size_t) {}
const char* mapFile(int, size_t) { return nullptr; }
void unmapFile(const char*, size_t) {}

} // namespace solandre::detail
