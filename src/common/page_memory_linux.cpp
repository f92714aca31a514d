#include "common/page_memory.h"

#include <cstdlib>
#include <sys/mman.h>

namespace solandre::detail {
namespace {
constexpr size_t kMapped = size_t(1) << 20; // below this, malloc is cheaper
}

void* allocatePages(size_t size)
{
    if (size < kMapped) return std::malloc(size ? size : 1);
    void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void freePages(void* block, size_t size)
{
    if (!block) return;
    if (size < kMapped)
        std::free(block);
    else
        munmap(block, size);
}

} // namespace solandre::detail
