// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the bytes of an XML file into UTF-8, chunk by chunk, in the encoding
// the file declares: a byte-order mark first, else the encoding named by the
// XML declaration, else UTF-8.

#include "tmx/device_reader.h"

#include <QIODevice>
#include <QString>
#include <memory>
#include <optional>

namespace solandre {

enum class XmlEncoding { Utf8, Utf16LE, Utf16BE, Latin1, Windows1252, Ascii };

class XmlDecoder {
public:
    static constexpr size_t kChunk = size_t(1) << 20;

    explicit XmlDecoder(QIODevice& device);
    XmlDecoder(const XmlDecoder&) = delete;
    XmlDecoder& operator=(const XmlDecoder&) = delete;

    // Reads the start of the file and settles the encoding. Returns why it
    // cannot: an encoding we do not read, a declaration the bytes contradict,
    // or a device error.
    std::optional<QString> start();
    XmlEncoding encoding() const { return encoding_; }

    // Writes up to `room` bytes of UTF-8 (room >= 4) and returns how many;
    // 0 at the end of the input, or at a fault in it (see fault()). Only
    // whole characters are written, except in UTF-8, which is passed on as
    // it comes and checked by the reader.
    size_t read(char* out, size_t room);

    struct Fault {
        QString reason;
        bool deviceError = false; // else: bytes that are not the declared encoding
    };
    const std::optional<Fault>& fault() const { return fault_; }

private:
    size_t readDevice(char* to, size_t max);
    bool fillRaw();
    size_t readUtf16(char* out, size_t room);
    size_t readSingleBytes(char* out, size_t room);
    void setFault(const QString& reason) { fault_ = Fault{reason, false}; }

    DeviceReader device_;
    XmlEncoding encoding_ = XmlEncoding::Utf8;
    std::unique_ptr<char[]> raw_;
    size_t rawPos_ = 0;
    size_t rawEnd_ = 0;
    bool deviceEnded_ = false;
    char16_t highSurrogate_ = 0;
    std::optional<Fault> fault_;
};

} // namespace solandre
