// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/xml_input.h"

#include "tmx/byte_scan.h"
#include "tmx/utf8.h"

#include <algorithm>
#include <cstring>

namespace solandre {

QString codePointName(char32_t c)
{
    return QStringLiteral("U+%1").arg(QString::number(unsigned(c), 16).toUpper(), 4, QLatin1Char('0'));
}

XmlInput::XmlInput(XmlDecoder& decoder)
    : decoder_(decoder), buffer_(new char[XmlDecoder::kChunk + kSlack]()),
      capacity_(XmlDecoder::kChunk), end_(buffer_.get()), rawEnd_(buffer_.get())
{
}

bool XmlInput::more(const char*& p)
{
    if (fault_) failAtEnd();
    char* const base = buffer_.get();

    // Drop what was read, counting its lines and columns first.
    const char* lastBreak = scan::findLastLineBreak(base, p);
    baseLine_ += scan::countLineBreaks(base, p, baseAfterCr_);
    if (lastBreak) baseColumn_ = scan::countChars(lastBreak + 1, p);
    else baseColumn_ += scan::countChars(base, p);
    if (p > base) baseAfterCr_ = p[-1] == '\r';
    const size_t kept = size_t(end_ - p);
    const size_t unchecked = size_t(rawEnd_ - end_);
    std::memmove(base, p, kept + unchecked);
    end_ = base + kept;
    rawEnd_ = end_ + unchecked;
    p = base;

    for (;;) {
        if (decoderEnded_) {
            const auto& f = decoder_.fault();
            if (f && f->deviceError) throw XmlFault{f->reason, std::nullopt};
            if (rawEnd_ > end_) check(); // a character cut short by the end of the file
            if (fault_) failAtEnd();
            if (f) throw XmlFault{f->reason, positionOf(end_)};
            return false;
        }
        size_t room = capacity_ - size_t(rawEnd_ - buffer_.get());
        if (room < XmlDecoder::kChunk / 4) {
            // One tag fills the window: make it larger.
            if (kept > kMaxKept)
                fail(p, QStringLiteral("una etiqueta o referencia de más de %1 MB")
                            .arg(kMaxKept >> 20));
            const size_t used = size_t(rawEnd_ - buffer_.get());
            const size_t capacity = std::min(capacity_ * 2, kMaxKept + XmlDecoder::kChunk);
            std::unique_ptr<char[]> larger(new char[capacity + kSlack]());
            std::memcpy(larger.get(), buffer_.get(), used);
            end_ = larger.get() + (end_ - buffer_.get());
            rawEnd_ = larger.get() + used;
            p = larger.get();
            buffer_ = std::move(larger);
            capacity_ = capacity;
            room = capacity_ - used;
        }
        const size_t n = decoder_.read(rawEnd_, room);
        if (n == 0) {
            decoderEnded_ = true;
            continue;
        }
        rawEnd_ += n;
        bytesRead_ += qint64(n);
        const char* before = end_;
        check();
        if (end_ > before) return true;
        if (fault_) failAtEnd();
    }
}

void XmlInput::check()
{
    const char* q = end_;
    while (q < rawEnd_) {
        q = scan::skipPlainText(q, rawEnd_);
        // Byte by byte over the block the vector scan left.
        const char* stop = std::min(q + 16, static_cast<const char*>(rawEnd_));
        while (q < stop) {
            const unsigned char c = static_cast<unsigned char>(*q);
            if (c < 0x80) {
                if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                    fault_ = QStringLiteral("carácter de control %1, que XML no admite").arg(codePointName(c));
                    end_ = const_cast<char*>(q);
                    return;
                }
                ++q;
                continue;
            }
            const utf8::Decoded d = utf8::decode(q, size_t(rawEnd_ - q));
            if (d.length == 0) {
                // Cut short: the rest comes with the next read, unless there is none.
                if (decoderEnded_) fault_ = QStringLiteral("UTF-8 no válido: un carácter cortado al final del fichero");
                end_ = const_cast<char*>(q);
                return;
            }
            if (d.length < 0) fault_ = QStringLiteral("UTF-8 no válido (byte 0x%1)").arg(QString::number(c, 16).toUpper());
            else if (d.code == 0xFFFE || d.code == 0xFFFF)
                fault_ = QStringLiteral("carácter %1, que XML no admite").arg(codePointName(d.code));
            if (fault_) {
                end_ = const_cast<char*>(q);
                return;
            }
            q += d.length;
        }
    }
    end_ = const_cast<char*>(q);
}

TextPosition XmlInput::positionOf(const char* q) const
{
    const char* base = buffer_.get();
    TextPosition at;
    at.line = baseLine_ + scan::countLineBreaks(base, q, baseAfterCr_);
    const char* lastBreak = scan::findLastLineBreak(base, q);
    at.column = 1 + (lastBreak ? scan::countChars(lastBreak + 1, q) : baseColumn_ + scan::countChars(base, q));
    return at;
}

void XmlInput::fail(const char* at, const QString& reason) const
{
    throw XmlFault{reason, positionOf(at)};
}

void XmlInput::refuse(const char* at, const QString& reason) const
{
    throw XmlFault{reason, positionOf(at), false};
}

void XmlInput::failAtEnd() const
{
    throw XmlFault{*fault_, positionOf(end_)};
}

} // namespace solandre
