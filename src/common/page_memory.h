#pragma once
// Memory for big blocks, in large pages where the system offers them: a
// first touch of every small page is what costs most when reading or
// indexing a big text, far more than the copy itself.
#include <cstddef>

namespace solandre::detail {

void* allocatePages(size_t size); // nullptr when out of memory
void freePages(void* block, size_t size);

} // namespace solandre::detail
