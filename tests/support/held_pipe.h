// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Named pipes that hold long work where a test wants it: a text to read that
// gives its bytes and then keeps the reader waiting, or an output whose
// reader takes nothing, so the writer waits, until release().

#include <QString>
#include <atomic>
#include <string>
#include <thread>

namespace solandre::testing {

class HeldPipe {
public:
    enum class Held { Reader, Writer };
    // Makes the pipe at `path`; a pipe held for a reader gives it `bytes`.
    HeldPipe(const QString& path, Held held, std::string bytes = {});
    ~HeldPipe(); // releases and waits for the other end
    HeldPipe(const HeldPipe&) = delete;
    HeldPipe& operator=(const HeldPipe&) = delete;

    void release() { released_ = true; }
    // For a held writer: what it wrote, once released and done.
    size_t bytesTaken() const { return taken_; }

private:
    void feedReader(const std::string& bytes);
    void drainWriter();

    std::string path_;
    std::atomic<bool> released_{false};
    std::atomic<size_t> taken_{0};
    std::thread thread_;
};

} // namespace solandre::testing
