// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A read-only view of another device that counts the bytes read through it,
// so that a reader on another thread can be followed without touching the
// device it reads.

#include <QIODevice>
#include <atomic>

namespace solandre {

class CountingDevice final : public QIODevice {
public:
    explicit CountingDevice(QIODevice& inner) : inner_(inner) { QIODevice::open(QIODevice::ReadOnly); }

    qint64 bytesRead() const { return read_.load(std::memory_order_relaxed); }
    bool isSequential() const override { return inner_.isSequential(); }
    qint64 size() const override { return inner_.size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && inner_.seek(pos); }
    bool waitForReadyRead(int msecs) override { return inner_.waitForReadyRead(msecs); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 n = inner_.read(data, max);
        if (n > 0) read_.fetch_add(n, std::memory_order_relaxed);
        else if (n < 0) setErrorString(inner_.errorString());
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& inner_;
    std::atomic<qint64> read_{0};
};

} // namespace solandre
