// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An owned, move-only block of bytes: how a whole file is held in memory.
// Large blocks are mapped apart (page_memory.h) and given back when freed.

#include <cstddef>
#include <string>
#include <string_view>

namespace solandre {

class Bytes {
public:
    Bytes() = default;
    explicit Bytes(size_t size);
    Bytes(Bytes&& other) noexcept;
    Bytes& operator=(Bytes&& other) noexcept;
    Bytes(const Bytes&) = delete;
    Bytes& operator=(const Bytes&) = delete;
    ~Bytes();

    char* data() { return data_; }
    const char* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {data_, size_}; }
    operator std::string_view() const { return view(); }

    // Keeps the first `size` bytes (never more than the block holds).
    void shrink(size_t size);
    // Grows the block to `size` bytes, keeping its content.
    void grow(size_t size);

private:
    void release();

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

} // namespace solandre
