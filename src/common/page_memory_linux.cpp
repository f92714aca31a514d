// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/page_memory.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace solandre::detail {
namespace {
constexpr size_t kHuge = size_t(2) << 20; // below this, malloc is cheaper

size_t roundUp(size_t size) { return (size + kHuge - 1) & ~(kHuge - 1); }
} // namespace

void* allocatePages(size_t size)
{
    if (size < kHuge) return std::malloc(size ? size : 1);
    // Aligned to a large page, so that the whole block can be made of them.
    const size_t length = roundUp(size);
    void* raw = mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHuge - 1) & ~std::uintptr_t(kHuge - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const size_t tail = start + length + kHuge - (aligned + length);
    if (tail) munmap(reinterpret_cast<void*>(aligned + length), tail);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, length, MADV_HUGEPAGE); // advice only: small pages still work
    return block;
}

void freePages(void* block, size_t size)
{
    if (!block) return;
    if (size < kHuge)
        std::free(block);
    else
        munmap(block, roundUp(size));
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
