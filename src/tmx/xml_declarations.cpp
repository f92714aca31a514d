// SPDX-License-Identifier: GPL-3.0-or-later
// The tokenizer's rarer markup: comments, CDATA sections, the DOCTYPE,
// processing instructions and the XML declaration.
#include "tmx/xml_tokenizer.h"

#include "tmx/byte_scan.h"
#include "tmx/xml_chars.h"

#include <algorithm>
#include <cstring>

namespace solandre {

using namespace xml;

// "<!": a comment, a CDATA section or the DOCTYPE.
void XmlTokenizer::readMarkupDeclaration()
{
    auto startsWith = [this](const char* literal) {
        const size_t n = std::strlen(literal);
        ensure(n);
        const size_t available = std::min(n, size_t(in_.end() - p_));
        if (std::memcmp(p_, literal, available) != 0) return false;
        if (available < n) failAtEnd("una etiqueta");
        return true;
    };
    if (startsWith("<!--")) {
        readComment();
    } else if (startsWith("<![CDATA[")) {
        if (depth_ == 0) in_.fail(p_, QStringLiteral("sección CDATA fuera del elemento raíz"));
        readCdata();
    } else if (startsWith("<!DOCTYPE")) {
        if (rootSeen_ || doctypeSeen_) in_.fail(p_, QStringLiteral("declaración DOCTYPE fuera de lugar"));
        readDoctype();
    } else {
        in_.fail(p_, QStringLiteral("se esperaba \"<!--\", \"<![CDATA[\" o \"<!DOCTYPE\""));
    }
}

void XmlTokenizer::readComment()
{
    p_ += 4;
    for (;;) {
        const char* end = in_.end();
        const void* dash = std::memchr(p_, '-', size_t(end - p_));
        if (!dash) {
            p_ = end;
            if (!in_.more(p_)) failAtEnd("un comentario");
            continue;
        }
        p_ = static_cast<const char*>(dash);
        if (!ensure(2)) failAtEnd("un comentario");
        if (p_[1] != '-') {
            ++p_;
            continue;
        }
        if (!ensure(3)) failAtEnd("un comentario");
        if (p_[2] != '>') in_.fail(p_, QStringLiteral("\"--\" no se admite dentro de un comentario"));
        p_ += 3;
        return;
    }
}

void XmlTokenizer::readCdata()
{
    p_ += 9;
    for (;;) {
        const char* end = in_.end();
        if (out_) {
            const char* q = scan::findTextSpecial(p_, end);
            if (q != p_) {
                out_->append(p_, size_t(q - p_));
                cleaner_.clearCr();
                p_ = q;
            }
        } else {
            const void* bracket = std::memchr(p_, ']', size_t(end - p_));
            p_ = bracket ? static_cast<const char*>(bracket) : end;
        }
        if (p_ == end) {
            checkTextSize();
            if (!in_.more(p_)) failAtEnd("una sección CDATA");
            continue;
        }
        const char c = *p_;
        if (c == ']') {
            if (!ensure(3)) failAtEnd("una sección CDATA");
            if (p_[1] == ']' && p_[2] == '>') {
                p_ += 3;
                return;
            }
            if (out_) cleaner_.put(*out_, ']');
            ++p_;
        } else if (c == '<' || c == '&') {
            cleaner_.put(*out_, char32_t(c));
            ++p_;
        } else {
            putSpecial();
        }
    }
}

// Skipped, but for the entities declared in the internal subset: quoted
// strings, the other declarations and the comments and processing
// instructions in it are followed only to find where it ends.
void XmlTokenizer::readDoctype()
{
    p_ += 9;
    if (!ensure(1)) failAtEnd("la declaración DOCTYPE");
    if (!isSpace(*p_)) in_.fail(p_, QStringLiteral("se esperaba un espacio tras <!DOCTYPE"));
    char quote = 0;
    bool subset = false;
    for (;;) {
        if (!ensure(1)) failAtEnd("la declaración DOCTYPE");
        const char c = *p_;
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (subset && c == ']') {
            subset = false;
        } else if (subset && c == '<' && ensure(4) && std::memcmp(p_, "<!--", 4) == 0) {
            readComment();
            continue;
        } else if (subset && c == '<' && ensure(9) && std::memcmp(p_, "<!ENTITY", 8) == 0 && isSpace(p_[8])) {
            readEntityDeclaration();
            continue;
        } else if (subset && c == '<' && ensure(2) && p_[1] == '?') {
            readProcessingInstruction(false);
            continue;
        } else if (!subset && c == '[') {
            subset = true;
        } else if (!subset && c == '>') {
            ++p_;
            doctypeSeen_ = true;
            return;
        }
        ++p_;
    }
}

void XmlTokenizer::readProcessingInstruction(bool atStart)
{
    const char* q;
    for (;;) {
        q = p_ + 2;
        if (scanName(q, in_.end())) break;
        if (!in_.more(p_)) failAtEnd("una instrucción de proceso");
    }
    if (q == p_ + 2) in_.fail(q, QStringLiteral("se esperaba el nombre de una instrucción de proceso"));
    const size_t length = size_t(q - (p_ + 2));
    if (length == 3 && (p_[2] | 0x20) == 'x' && (p_[3] | 0x20) == 'm' && (p_[4] | 0x20) == 'l') {
        if (!atStart || std::memcmp(p_ + 2, "xml", 3) != 0)
            in_.fail(p_, QStringLiteral("la declaración XML solo puede ir al principio del fichero"));
        while (!parseXmlDeclaration())
            if (!in_.more(p_)) failAtEnd("la declaración XML");
        return;
    }
    p_ = q;
    if (!ensure(2)) failAtEnd("una instrucción de proceso");
    if (!isSpace(*p_) && !(p_[0] == '?' && p_[1] == '>'))
        in_.fail(p_, QStringLiteral("se esperaba un espacio o \"?>\""));
    for (;;) {
        const char* end = in_.end();
        const void* mark = std::memchr(p_, '?', size_t(end - p_));
        if (!mark) {
            p_ = end;
            if (!in_.more(p_)) failAtEnd("una instrucción de proceso");
            continue;
        }
        p_ = static_cast<const char*>(mark);
        if (!ensure(2)) failAtEnd("una instrucción de proceso");
        if (p_[1] == '>') {
            p_ += 2;
            return;
        }
        ++p_;
    }
}

// <?xml version="1.0" encoding="..." standalone="yes|no"?>, in that order,
// the last two optional.
bool XmlTokenizer::parseXmlDeclaration()
{
    const char* end = in_.end();
    const char* q = p_ + 5;
    static constexpr std::string_view kNames[] = {"version", "encoding", "standalone"};
    size_t next = 0; // the first pseudo-attribute that may still come
    for (;;) {
        const char* blanks = q;
        while (q < end && isSpace(*q)) ++q;
        if (q == end) return false;
        if (*q == '?') {
            if (q + 1 == end) return false;
            if (q[1] != '>') in_.fail(q, QStringLiteral("se esperaba \"?>\""));
            if (next == 0) in_.fail(q, QStringLiteral("falta la versión en la declaración XML"));
            p_ = q + 2;
            return true;
        }
        if (q == blanks) in_.fail(q, QStringLiteral("se esperaba un espacio o \"?>\""));
        const char* name = q;
        if (!scanName(q, end)) return false;
        const std::string_view pseudo(name, size_t(q - name));
        size_t which = next;
        while (which < 3 && kNames[which] != pseudo) ++which;
        if (which == 3 || (next == 0 && which != 0))
            in_.fail(name, next == 0 ? QStringLiteral("la declaración XML debe empezar por version")
                                     : QStringLiteral("no se esperaba %1 en la declaración XML").arg(text(pseudo)));
        next = which + 1;
        while (q < end && isSpace(*q)) ++q;
        if (q == end) return false;
        if (*q != '=') in_.fail(q, QStringLiteral("se esperaba \"=\""));
        ++q;
        while (q < end && isSpace(*q)) ++q;
        if (q == end) return false;
        const char quote = *q;
        if (quote != '"' && quote != '\'') in_.fail(q, QStringLiteral("se esperaba un valor entre comillas"));
        const char* value = ++q;
        while (q < end && *q != quote) ++q;
        if (q == end) return false;
        const std::string_view v(value, size_t(q - value));
        bool good;
        if (which == 0) {
            if (v != "1.0") in_.fail(value, QStringLiteral("versión de XML no admitida: \"%1\"").arg(text(v)));
            good = true;
        } else if (which == 1) {
            good = !v.empty() && (v[0] | 0x20) >= 'a' && (v[0] | 0x20) <= 'z' &&
                   v.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-") ==
                       std::string_view::npos;
        } else {
            good = v == "yes" || v == "no";
        }
        if (!good) in_.fail(value, QStringLiteral("valor no válido en la declaración XML: \"%1\"").arg(text(v)));
        ++q;
    }
}

} // namespace solandre
