// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/tmx_writer.h"

#include "tmx/language_tag.h"
#include "tmx/utf8.h"

namespace solandre {
namespace {

constexpr size_t kFlushAt = 64 * 1024;
constexpr std::string_view kLineEnd = "\r\n";

std::string escapedAttribute(const QString& value)
{
    std::string out;
    appendXmlEscaped(out, value.toStdString(), true);
    return out;
}

// Nothing but characters XML refuses (controls, U+FFFE, U+FFFF), or nothing.
bool holdsNoText(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') return false;
            ++i;
            continue;
        }
        const utf8::Decoded d = utf8::decode(text.data() + i, text.size() - i);
        if (d.length <= 0 || (d.code != 0xFFFE && d.code != 0xFFFF)) return false;
        i += size_t(d.length);
    }
    return true;
}

} // namespace

void appendXmlEscaped(std::string& out, std::string_view text, bool attribute)
{
    size_t i = 0;
    while (i < text.size()) {
        const size_t run = i;
        while (i < text.size()) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"') break;
            ++i;
        }
        out.append(text.data() + run, i - run);
        if (i == text.size()) break;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += attribute ? "&quot;" : "\""; break;
            case '\r': out += "&#13;"; break;
            // A reader turns TAB and LF into spaces in attribute values.
            case '\t': out += attribute ? "&#9;" : "\t"; break;
            case '\n': out += attribute ? "&#10;" : "\n"; break;
            // Other controls: XML has no way to write them, and dropping
            // them would join the words on either side.
            default: out += ' '; break;
            }
            continue;
        }
        const utf8::Decoded d = utf8::decode(text.data() + i, text.size() - i);
        if (d.length <= 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD
            i += d.length == 0 ? text.size() - i : size_t(-d.length);
        } else {
            if (d.code != 0xFFFE && d.code != 0xFFFF) out.append(text.data() + i, size_t(d.length));
            i += size_t(d.length);
        }
    }
}

TmxWriter::TmxWriter(ByteSink sink, const TmxWriterSettings& settings) : sink_(std::move(sink))
{
    const std::string source = escapedAttribute(canonicalLanguageTag(settings.sourceLanguage).value_or(settings.sourceLanguage));
    const std::string target = escapedAttribute(canonicalLanguageTag(settings.targetLanguage).value_or(settings.targetLanguage));
    sourceVariant_ = "      <tuv xml:lang=\"" + source + "\"><seg>";
    targetVariant_ = "      <tuv xml:lang=\"" + target + "\"><seg>";

    buffer_.reserve(kFlushAt + 4096);
    buffer_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    buffer_ += kLineEnd;
    buffer_ += "<tmx version=\"1.4\">";
    buffer_ += kLineEnd;
    buffer_ += "  <header creationtool=\"Solandre\" creationtoolversion=\"";
    buffer_ += escapedAttribute(settings.toolVersion);
    buffer_ += "\" segtype=\"sentence\" o-tmf=\"Solandre\" adminlang=\"es\" srclang=\"";
    buffer_ += source;
    buffer_ += "\" datatype=\"plaintext\"";
    if (settings.creationDate.isValid()) {
        buffer_ += " creationdate=\"";
        buffer_ += settings.creationDate.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString();
        buffer_ += "\"";
    }
    buffer_ += "/>";
    buffer_ += kLineEnd;
    buffer_ += "  <body>";
    buffer_ += kLineEnd;
}

void TmxWriter::add(std::string_view source, std::string_view target)
{
    source_.clear();
    target_.clear();
    if (!holdsNoText(source)) appendXmlEscaped(source_, source, false);
    if (!holdsNoText(target)) appendXmlEscaped(target_, target, false);
    if (source_.empty() && target_.empty()) {
        ++skipped_;
        return;
    }
    buffer_ += "    <tu>";
    buffer_ += kLineEnd;
    if (!source_.empty()) {
        buffer_ += sourceVariant_;
        buffer_ += source_;
        buffer_ += "</seg></tuv>";
        buffer_ += kLineEnd;
    }
    if (!target_.empty()) {
        buffer_ += targetVariant_;
        buffer_ += target_;
        buffer_ += "</seg></tuv>";
        buffer_ += kLineEnd;
    }
    buffer_ += "    </tu>";
    buffer_ += kLineEnd;
    ++units_;
    if (buffer_.size() >= kFlushAt) flush();
}

void TmxWriter::finish()
{
    if (finished_) return;
    finished_ = true;
    buffer_ += "  </body>";
    buffer_ += kLineEnd;
    buffer_ += "</tmx>";
    buffer_ += kLineEnd;
    flush();
}

void TmxWriter::flush()
{
    if (buffer_.empty()) return;
    sink_(buffer_);
    buffer_.clear();
}

} // namespace solandre
