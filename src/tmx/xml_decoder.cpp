// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/xml_decoder.h"

#include "common/cp1252.h"
#include "tmx/segment_text.h"
#include "tmx/utf8.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace solandre {
namespace {

const QString kReadable = QStringLiteral("se leen UTF-8, UTF-16, ISO-8859-1, windows-1252 y US-ASCII");

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The encoding named by the XML declaration at the start of `ascii`, or an
// empty string. A malformed declaration is left for the tokenizer to report.
QString declaredEncoding(std::string_view ascii)
{
    if (ascii.size() < 6 || ascii.substr(0, 5) != "<?xml" || !isXmlSpace(ascii[5])) return {};
    ascii = ascii.substr(0, ascii.find("?>"));
    size_t i = ascii.find("encoding");
    if (i == std::string_view::npos) return {};
    i += 8;
    while (i < ascii.size() && isXmlSpace(ascii[i])) ++i;
    if (i >= ascii.size() || ascii[i] != '=') return {};
    ++i;
    while (i < ascii.size() && isXmlSpace(ascii[i])) ++i;
    if (i >= ascii.size() || (ascii[i] != '"' && ascii[i] != '\'')) return {};
    const size_t close = ascii.find(ascii[i], i + 1);
    if (close == std::string_view::npos) return {};
    return QString::fromLatin1(ascii.data() + i + 1, qsizetype(close - i - 1));
}

bool oneOf(const QString& name, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool namesUtf16(const QString& name)
{
    return oneOf(name, {"UTF-16", "UTF16", "UTF-16LE", "UTF-16BE"});
}

} // namespace

XmlDecoder::XmlDecoder(QIODevice& device) : device_(device), raw_(new char[kChunk]) {}

size_t XmlDecoder::readDevice(char* to, size_t max)
{
    const qint64 n = device_.read(to, max);
    if (n > 0) return size_t(n);
    if (n < 0) fault_ = Fault{QStringLiteral("error de lectura: %1").arg(device_.errorString()), true};
    deviceEnded_ = true;
    return 0;
}

bool XmlDecoder::fillRaw()
{
    if (deviceEnded_) return false;
    if (rawPos_ > 0) {
        std::memmove(raw_.get(), raw_.get() + rawPos_, rawEnd_ - rawPos_);
        rawEnd_ -= rawPos_;
        rawPos_ = 0;
    }
    const size_t n = readDevice(raw_.get() + rawEnd_, kChunk - rawEnd_);
    rawEnd_ += n;
    return n > 0;
}

std::optional<QString> XmlDecoder::start()
{
    // Enough for any sensible XML declaration, even from a pipe.
    while (rawEnd_ < 4096 && fillRaw()) {
    }
    if (fault_) return fault_->reason;

    const auto* b = reinterpret_cast<const unsigned char*>(raw_.get());
    const size_t n = rawEnd_;
    auto startsWith = [&](std::initializer_list<unsigned char> bytes) {
        if (n < bytes.size()) return false;
        size_t i = 0;
        for (const unsigned char c : bytes)
            if (b[i++] != c) return false;
        return true;
    };
    if (startsWith({0x00, 0x00, 0xFE, 0xFF}) || startsWith({0xFF, 0xFE, 0x00, 0x00}) ||
        startsWith({0x00, 0x00, 0x00, 0x3C}) || startsWith({0x3C, 0x00, 0x00, 0x00}))
        return QStringLiteral("el fichero está en UTF-32, que no se lee (%1)").arg(kReadable);

    enum class Family { Utf8Mark, Utf16LE, Utf16BE, Bytes } family = Family::Bytes;
    if (startsWith({0xEF, 0xBB, 0xBF})) {
        family = Family::Utf8Mark;
        rawPos_ = 3;
    } else if (startsWith({0xFF, 0xFE})) {
        family = Family::Utf16LE;
        rawPos_ = 2;
    } else if (startsWith({0xFE, 0xFF})) {
        family = Family::Utf16BE;
        rawPos_ = 2;
    } else if (startsWith({0x3C, 0x00, 0x3F, 0x00})) {
        family = Family::Utf16LE;
    } else if (startsWith({0x00, 0x3C, 0x00, 0x3F})) {
        family = Family::Utf16BE;
    }

    // The start of the file as ASCII, to read the declaration from; a
    // declaration may hold any number of blanks, so the file is read on to
    // its "?>" (within a chunk).
    std::string ascii;
    auto readAscii = [&] {
        ascii.clear();
        b = reinterpret_cast<const unsigned char*>(raw_.get());
        if (family == Family::Utf16LE || family == Family::Utf16BE) {
            const bool le = family == Family::Utf16LE;
            for (size_t i = rawPos_; i + 1 < rawEnd_; i += 2) {
                const unsigned unit = le ? b[i] | (b[i + 1] << 8) : (b[i] << 8) | b[i + 1];
                if (unit >= 0x80) break;
                ascii.push_back(char(unit));
            }
        } else {
            ascii.assign(raw_.get() + rawPos_, rawEnd_ - rawPos_);
        }
    };
    readAscii();
    while (ascii.starts_with("<?xml") && ascii.find("?>") == std::string::npos && rawEnd_ < kChunk && fillRaw())
        readAscii();
    if (fault_) return fault_->reason;
    const QString declared = declaredEncoding(ascii);

    switch (family) {
    case Family::Utf16LE:
    case Family::Utf16BE: {
        const bool le = family == Family::Utf16LE;
        encoding_ = le ? XmlEncoding::Utf16LE : XmlEncoding::Utf16BE;
        const bool fits = declared.isEmpty() || oneOf(declared, {"UTF-16", "UTF16"}) ||
                          oneOf(declared, {le ? "UTF-16LE" : "UTF-16BE"});
        if (!fits)
            return QStringLiteral("el fichero está en UTF-16 %1 pero su declaración XML dice \"%2\"")
                .arg(le ? QStringLiteral("LE") : QStringLiteral("BE"), declared);
        return std::nullopt;
    }
    case Family::Utf8Mark:
        if (!declared.isEmpty() && !oneOf(declared, {"UTF-8", "UTF8"}))
            return QStringLiteral(
                       "el fichero empieza con la marca de UTF-8 pero su declaración XML dice \"%1\"")
                .arg(declared);
        encoding_ = XmlEncoding::Utf8;
        return std::nullopt;
    case Family::Bytes:
        break;
    }
    if (declared.isEmpty() || oneOf(declared, {"UTF-8", "UTF8"})) {
        encoding_ = XmlEncoding::Utf8;
    } else if (namesUtf16(declared)) {
        return QStringLiteral("la declaración XML dice \"%1\" pero el fichero no está en UTF-16")
            .arg(declared);
    } else if (oneOf(declared, {"ISO-8859-1", "ISO_8859-1", "ISO8859-1", "LATIN1", "LATIN-1", "L1",
                                "CP819", "IBM819", "ISO-IR-100"})) {
        encoding_ = XmlEncoding::Latin1;
    } else if (oneOf(declared, {"WINDOWS-1252", "CP1252", "X-CP1252"})) {
        encoding_ = XmlEncoding::Windows1252;
    } else if (oneOf(declared, {"US-ASCII", "ASCII", "ISO646-US", "ANSI_X3.4-1968"})) {
        encoding_ = XmlEncoding::Ascii;
    } else {
        return QStringLiteral("codificación no admitida: \"%1\" (%2)").arg(declared, kReadable);
    }
    return std::nullopt;
}

size_t XmlDecoder::read(char* out, size_t room)
{
    if (fault_) return 0;
    switch (encoding_) {
    case XmlEncoding::Utf8:
        if (rawPos_ < rawEnd_) {
            const size_t n = std::min(room, rawEnd_ - rawPos_);
            std::memcpy(out, raw_.get() + rawPos_, n);
            rawPos_ += n;
            return n;
        }
        return deviceEnded_ ? 0 : readDevice(out, room);
    case XmlEncoding::Utf16LE:
    case XmlEncoding::Utf16BE:
        return readUtf16(out, room);
    default:
        return readSingleBytes(out, room);
    }
}

size_t XmlDecoder::readUtf16(char* out, size_t room)
{
    const bool le = encoding_ == XmlEncoding::Utf16LE;
    size_t w = 0;
    for (;;) {
        if (rawEnd_ - rawPos_ < 2) {
            if (fillRaw()) continue;
            break;
        }
        const auto* b = reinterpret_cast<const unsigned char*>(raw_.get());
        size_t i = rawPos_;
        while (i + 1 < rawEnd_ && w + 4 <= room) {
            const char16_t u = le ? char16_t(b[i] | (b[i + 1] << 8)) : char16_t((b[i] << 8) | b[i + 1]);
            if (highSurrogate_) {
                if (u < 0xDC00 || u > 0xDFFF) {
                    rawPos_ = i;
                    setFault(QStringLiteral("UTF-16 no válido: un sustituto alto sin su pareja"));
                    return w;
                }
                const char32_t c = 0x10000 + ((char32_t(highSurrogate_) - 0xD800) << 10) + (u - 0xDC00);
                w += size_t(utf8::encode(out + w, c));
                highSurrogate_ = 0;
            } else if (u < 0x80) {
                out[w++] = char(u);
            } else if (u >= 0xD800 && u <= 0xDBFF) {
                highSurrogate_ = u;
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                rawPos_ = i;
                setFault(QStringLiteral("UTF-16 no válido: un sustituto bajo suelto"));
                return w;
            } else {
                w += size_t(utf8::encode(out + w, u));
            }
            i += 2;
        }
        rawPos_ = i;
        if (w + 4 > room) return w;
    }
    if (fault_) return w;
    if (rawEnd_ - rawPos_ == 1)
        setFault(QStringLiteral("UTF-16 incompleto: el fichero acaba con un byte suelto"));
    else if (highSurrogate_)
        setFault(QStringLiteral("UTF-16 no válido: el fichero acaba con un sustituto alto sin su pareja"));
    return w;
}

size_t XmlDecoder::readSingleBytes(char* out, size_t room)
{
    size_t w = 0;
    while (w + 4 <= room) {
        if (rawPos_ == rawEnd_ && !fillRaw()) break;
        const auto* b = reinterpret_cast<const unsigned char*>(raw_.get());
        size_t i = rawPos_;
        for (; i < rawEnd_ && w + 4 <= room; ++i) {
            const unsigned char c = b[i];
            if (c < 0x80) {
                out[w++] = char(c);
            } else if (encoding_ == XmlEncoding::Ascii) {
                rawPos_ = i;
                setFault(QStringLiteral("el byte 0x%1 no es US-ASCII")
                             .arg(QString::number(c, 16).toUpper()));
                return w;
            } else {
                const char32_t u = encoding_ == XmlEncoding::Latin1 ? c : cp1252ToUnicode(c);
                w += size_t(utf8::encode(out + w, u));
            }
        }
        rawPos_ = i;
    }
    return w;
}

} // namespace solandre
