// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/device_reader.h"

#include <algorithm>
#include <cstring>

namespace solandre {

DeviceReader::DeviceReader(QIODevice& device) : device_(device)
{
    if (device.isSequential()) return;
    for (Chunk& chunk : chunks_) chunk.bytes.reset(new char[kChunk]);
    thread_ = std::thread([this] { readAhead(); });
}

DeviceReader::~DeviceReader()
{
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

QString DeviceReader::errorString() const
{
    return error_;
}

qint64 DeviceReader::read(char* to, size_t max)
{
    if (!thread_.joinable()) return readHere(to, max);
    Chunk& chunk = chunks_[reading_];
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return chunk.filled; });
    }
    if (chunk.size <= 0) return chunk.size; // the end, or an error: it stays
    const size_t n = std::min(max, size_t(chunk.size - handedOut_));
    std::memcpy(to, chunk.bytes.get() + handedOut_, n);
    handedOut_ += qint64(n);
    if (handedOut_ == chunk.size) {
        {
            std::lock_guard lock(mutex_);
            chunk.filled = false;
        }
        changed_.notify_all();
        reading_ ^= 1;
        handedOut_ = 0;
    }
    return qint64(n);
}

void DeviceReader::readAhead()
{
    for (int next = 0;; next ^= 1) {
        Chunk& chunk = chunks_[next];
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || !chunk.filled; });
            if (stopping_) return;
        }
        const qint64 n = device_.read(chunk.bytes.get(), qint64(kChunk));
        {
            std::lock_guard lock(mutex_);
            chunk.size = std::max<qint64>(n, -1);
            chunk.filled = true;
            if (n < 0) error_ = device_.errorString();
        }
        changed_.notify_all();
        if (n <= 0) return;
    }
}

qint64 DeviceReader::readHere(char* to, size_t max)
{
    for (;;) {
        const qint64 n = device_.read(to, qint64(max));
        if (n < 0) error_ = device_.errorString();
        if (n != 0) return n;
        // A pipe or a process may have more to come.
        if (!device_.isSequential() || !device_.waitForReadyRead(-1)) return 0;
    }
}

} // namespace solandre
