// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window of a streaming XML reading: decoded UTF-8 in a buffer of about
// 1 MB, checked before the tokenizer sees it (valid UTF-8, only characters
// XML allows), and where each byte stands in the file (line and column) for
// the messages.

#include "tmx/xml_decoder.h"

#include <QString>
#include <memory>
#include <optional>

namespace solandre {

struct TextPosition {
    qint64 line = 1;   // from 1; CR LF, CR and LF each end a line
    qint64 column = 1; // from 1, in characters
};

// What ends a reading early. Thrown inside the reader, caught at its edge.
struct XmlFault {
    QString reason;
    std::optional<TextPosition> where; // none: not about the content (a device error)
    bool malformed = true; // else well-formed, but asking for what is not done
};

// "U+000B", for the messages.
QString codePointName(char32_t c);

class XmlInput {
public:
    // Bytes that may be read past end() without harm.
    static constexpr size_t kSlack = 64;
    // The most one tag or reference may hold, since each is kept whole.
    static constexpr size_t kMaxKept = size_t(16) << 20;

    explicit XmlInput(XmlDecoder& decoder);
    XmlInput(const XmlInput&) = delete;
    XmlInput& operator=(const XmlInput&) = delete;

    const char* end() const { return end_; }
    // Bytes brought in from the decoder so far.
    qint64 bytesRead() const { return bytesRead_; }

    // Brings in more checked bytes. Those before `p` may go, and `p` is moved
    // along with the rest. Returns false when nothing more comes. Throws at a
    // fault in the input once everything before it has been read.
    bool more(const char*& p);

    TextPosition positionOf(const char* q) const;
    [[noreturn]] void fail(const char* at, const QString& reason) const;
    // The same for a document that is well-formed but asks for what is not done.
    [[noreturn]] void refuse(const char* at, const QString& reason) const;

private:
    void check();
    [[noreturn]] void failAtEnd() const;

    XmlDecoder& decoder_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_;
    char* end_;     // end of the checked bytes
    char* rawEnd_;  // end of the decoded bytes
    bool decoderEnded_ = false;
    std::optional<QString> fault_; // what is wrong at end_
    qint64 bytesRead_ = 0;

    // Where the buffer's first byte stands in the file.
    qint64 baseLine_ = 1;
    qint64 baseColumn_ = 0; // characters before it on its line
    bool baseAfterCr_ = false;
};

} // namespace solandre
