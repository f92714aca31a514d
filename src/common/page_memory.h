#pragma once
// Memory for big blocks, with its pages mapped up front where the system can.
#include <cstddef>

namespace solandre::detail {

void* allocatePages(size_t size); // nullptr when out of memory
void freePages(void* block, size_t size);

} // namespace solandre::detail
