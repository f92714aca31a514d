// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/bytes.h"

#include "common/page_memory.h"

#include <cstring>
#include <new>
#include <utility>

namespace solandre {

Bytes::Bytes(size_t size) : size_(size), capacity_(size)
{
    data_ = static_cast<char*>(detail::allocatePages(size));
    if (!data_) throw std::bad_alloc();
}

Bytes::Bytes(Bytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0))
{
}

Bytes& Bytes::operator=(Bytes&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

Bytes::~Bytes() { release(); }

void Bytes::release()
{
    if (data_) detail::freePages(data_, capacity_);
    data_ = nullptr;
    size_ = capacity_ = 0;
}

void Bytes::shrink(size_t size)
{
    if (size < size_) size_ = size;
}

void Bytes::grow(size_t size)
{
    if (size <= capacity_) {
        size_ = size;
        return;
    }
    void* moved = detail::growPages(data_, capacity_, size);
    if (!moved) throw std::bad_alloc();
    data_ = static_cast<char*>(moved);
    size_ = capacity_ = size;
}

} // namespace solandre
