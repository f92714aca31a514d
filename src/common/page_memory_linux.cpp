// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/page_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace solandre::detail {
namespace {
constexpr size_t kBig = size_t(2) << 20; // below this, malloc is cheaper

constexpr size_t kLargePage = size_t(2) << 20;

size_t roundUp(size_t size) { return (size + kBig - 1) & ~(kBig - 1); }
} // namespace

void* allocatePages(size_t size)
{
    if (size < kBig) return std::malloc(size ? size : 1);
    // Small pages, not large ones: here a fresh large page costs about ten
    // times what its small pages cost at first touch, and a first opening
    // of a big text took from one to two times as long with them. A mapping
    // of its own goes back to the system when freed, whatever malloc keeps.
    void* block = mmap(nullptr, roundUp(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void freePages(void* block, size_t size)
{
    if (!block) return;
    if (size < kBig)
        std::free(block);
    else
        munmap(block, roundUp(size));
}

void* growPages(void* block, size_t size, size_t bigger)
{
    if (!block) return allocatePages(bigger);
    if (size < kBig || bigger < kBig) {
        void* moved = allocatePages(bigger);
        if (moved) {
            std::memcpy(moved, block, size);
            freePages(block, size);
        }
        return moved;
    }
    if (roundUp(bigger) == roundUp(size)) return block;
    void* moved = mremap(block, roundUp(size), roundUp(bigger), MREMAP_MAYMOVE);
    return moved == MAP_FAILED ? nullptr : moved;
}

void preferLargePages(void* begin, size_t length)
{
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + kLargePage - 1) & ~std::uintptr_t(kLargePage - 1);
    const std::uintptr_t last = (start + length) & ~std::uintptr_t(kLargePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void releasePages(const void* begin, size_t length)
{
    static const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + page - 1) & ~std::uintptr_t(page - 1);
    const std::uintptr_t last = (start + length) & ~std::uintptr_t(page - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

const char* mapFile(int handle, size_t size)
{
    if (size == 0) return nullptr;
    void* at = mmap(nullptr, size, PROT_READ, MAP_SHARED, handle, 0);
    return at == MAP_FAILED ? nullptr : static_cast<const char*>(at);
}

void unmapFile(const char* data, size_t size)
{
    if (data) munmap(const_cast<char*>(data), size);
}

} // namespace solandre::detail
