// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/page_memory.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
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

// A text cut short by another program while it is mapped (an editor that
// writes in place, a truncate) has no pages past its new end: reading one
// raises SIGBUS. Within a mapped text, such a page is replaced by one of
// zeros, so that the text reads as emptied there instead of the program
// ending; any other SIGBUS goes on as it would have.
namespace {

struct MappedRange {
    std::atomic<std::uintptr_t> start{0};
    std::atomic<size_t> length{0};
};
constexpr size_t kRanges = 8192;
constexpr std::uintptr_t kTaking = 1; // a slot being filled
MappedRange ranges[kRanges];
struct sigaction previousBusHandler {};
size_t busPage = 4096; // the page size, read before the handler is set

bool inMappedText(std::uintptr_t at)
{
    for (const MappedRange& r : ranges) {
        const std::uintptr_t start = r.start.load(std::memory_order_acquire);
        if (start > kTaking && at >= start && at - start < r.length.load(std::memory_order_acquire)) return true;
    }
    return false;
}

void onBusError(int signal, siginfo_t* info, void* context)
{
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (info->si_code == BUS_ADRERR && inMappedText(at)) {
        void* zeros = mmap(reinterpret_cast<void*>(at & ~std::uintptr_t(busPage - 1)), busPage, PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) return;
    }
    if (previousBusHandler.sa_flags & SA_SIGINFO) {
        previousBusHandler.sa_sigaction(signal, info, context);
    } else if (previousBusHandler.sa_handler != SIG_DFL && previousBusHandler.sa_handler != SIG_IGN) {
        previousBusHandler.sa_handler(signal);
    } else {
        ::signal(signal, SIG_DFL);
        raise(signal);
    }
}

void guardMappedTexts()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        busPage = size_t(sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previousBusHandler);
    });
}

void noteMapping(const char* data, size_t size)
{
    for (MappedRange& r : ranges) {
        std::uintptr_t empty = 0;
        if (!r.start.compare_exchange_strong(empty, kTaking, std::memory_order_acq_rel)) continue;
        r.length.store(size, std::memory_order_release);
        r.start.store(reinterpret_cast<std::uintptr_t>(data), std::memory_order_release);
        return;
    }
    // All taken: this text goes unguarded.
}

void forgetMapping(const char* data)
{
    for (MappedRange& r : ranges) {
        std::uintptr_t held = reinterpret_cast<std::uintptr_t>(data);
        if (r.start.compare_exchange_strong(held, 0, std::memory_order_acq_rel)) return;
    }
}

} // namespace

const char* mapFile(int handle, size_t size)
{
    if (size == 0) return nullptr;
    guardMappedTexts();
    void* at = mmap(nullptr, size, PROT_READ, MAP_SHARED, handle, 0);
    if (at == MAP_FAILED) return nullptr;
    noteMapping(static_cast<const char*>(at), size);
    return static_cast<const char*>(at);
}

void unmapFile(const char* data, size_t size)
{
    if (!data) return;
    forgetMapping(data);
    munmap(const_cast<char*>(data), size);
}

} // namespace solandre::detail
