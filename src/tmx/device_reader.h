// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a device chunk by chunk. A file (or any device with random access)
// is read ahead by a second thread, so that the disk works while the caller
// parses: reading a file that is not in the system's cache otherwise adds
// the disk's time to the parsing time. Pipes, sockets and processes are read
// in the caller's thread, as they may belong to it.
//
// While a reader exists, nothing else may use the device; afterwards its
// position may lie beyond what was handed out.

#include <QIODevice>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace solandre {

class DeviceReader {
public:
    static constexpr size_t kChunk = size_t(1) << 20;

    explicit DeviceReader(QIODevice& device);
    ~DeviceReader();
    DeviceReader(const DeviceReader&) = delete;
    DeviceReader& operator=(const DeviceReader&) = delete;

    // As QIODevice::read: the bytes read, 0 at the end, -1 on an error.
    qint64 read(char* to, size_t max);
    QString errorString() const;

private:
    qint64 readHere(char* to, size_t max);
    void readAhead();

    QIODevice& device_;
    QString error_;

    // Read ahead: two chunks, one filled by the thread while the other is
    // handed out.
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        qint64 size = 0; // after a read: 0 at the end, -1 on an error
        bool filled = false;
    };
    Chunk chunks_[2];
    int reading_ = 0; // the chunk being handed out
    qint64 handedOut_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace solandre
