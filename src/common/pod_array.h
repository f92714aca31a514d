// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A growable array of plain values kept in Bytes, so that big arrays (a word
// per word of a text, a row per hit) go back to the system when freed, as
// the text itself does. Only what a std::vector user here needs.

#include "common/bytes.h"
#include "common/page_memory.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

namespace solandre {

template <class T> class PodArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PodArray() = default;
    PodArray(PodArray&& other) noexcept
        : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0)) {}
    PodArray& operator=(PodArray&& other) noexcept
    {
        bytes_ = std::move(other.bytes_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    size_t capacity() const { return bytes_.size() / sizeof(T); }
    T* data() { return reinterpret_cast<T*>(bytes_.data()); }
    const T* data() const { return reinterpret_cast<const T*>(bytes_.data()); }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }
    T& back() { return data()[size_ - 1]; }
    const T& back() const { return data()[size_ - 1]; }

    void clear() { size_ = 0; }
    void reserve(size_t count)
    {
        if (count <= capacity()) return;
        bytes_.grow(count * sizeof(T));
    }
    // New elements are left as they are (not zeroed).
    void resize(size_t count)
    {
        reserve(count);
        size_ = count;
    }
    void push_back(T value)
    {
        if (size_ == capacity()) reserve(std::max<size_t>(16, 2 * size_));
        data()[size_++] = value;
    }
    // Gives back the memory of the whole pages that hold only values before
    // `count`, for an array read from its front once: those values are lost.
    void releaseFront(size_t count) { releaseBetween(0, count); }
    // The same for the values at [from, to), for an array read once from
    // both ends.
    void releaseBetween(size_t from, size_t to)
    {
        to = std::min(to, size_);
        if (from < to) detail::releasePages(data() + from, (to - from) * sizeof(T));
    }
    template <class It> void assign(It first, It last)
    {
        resize(size_t(last - first));
        std::copy(first, last, begin());
    }

private:
    Bytes bytes_;
    size_t size_ = 0;
};

} // namespace solandre
