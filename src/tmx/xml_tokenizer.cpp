// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/xml_tokenizer.h"

#include "tmx/byte_scan.h"
#include "tmx/xml_chars.h"
#include "tmx/utf8.h"

#include <cstring>

namespace solandre {

using namespace xml;

namespace {

bool sameBytes(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

} // namespace

std::optional<std::string_view> XmlTokenizer::attribute(std::string_view name) const
{
    for (size_t i = 0; i < attributeCount_; ++i)
        if (attributes_[i].name == name) return attributes_[i].value;
    return std::nullopt;
}

bool XmlTokenizer::ensure(size_t n)
{
    while (size_t(in_.end() - p_) < n)
        if (!in_.more(p_)) return false;
    return true;
}

void XmlTokenizer::failAtEnd(const char* inside) const
{
    in_.fail(in_.end(), QStringLiteral("el fichero acaba dentro de %1").arg(QString::fromUtf8(inside)));
}

XmlTokenizer::Event XmlTokenizer::next()
{
    if (pendingEnd_) {
        pendingEnd_ = false;
        eventDepth_ = depth_--;
        return Event::EndElement;
    }
    for (;;) {
        Event replayed;
        if (replaying() && replayEvent(replayed)) return replayed;
        bool atStart = atStart_;
        atStart_ = false;
        if (depth_ > 0) {
            // Mostly the indentation before the next tag.
            if (!out_) p_ = scan::skipBlanks(p_, in_.end());
            if (p_ == in_.end() || *p_ != '<') {
                readText();
                if (replaying()) continue;
            }
        } else if (skipOutsideRoot()) {
            atStart = false;
        }
        if (p_ == in_.end()) {
            if (depth_ > 0)
                in_.fail(p_, QStringLiteral("el fichero acaba sin cerrar <%1>: se esperaba </%1>")
                                 .arg(text(stack_[size_t(depth_ - 1)])));
            if (!rootSeen_) in_.fail(p_, QStringLiteral("el fichero no tiene ningún elemento"));
            return Event::EndOfDocument;
        }
        if (!ensure(2)) failAtEnd("una etiqueta");
        switch (p_[1]) {
        case '/':
            readEndTag();
            return Event::EndElement;
        case '?':
            readProcessingInstruction(atStart);
            break;
        case '!':
            readMarkupDeclaration();
            break;
        default:
            readStartTag();
            return Event::StartElement;
        }
    }
}

// Before and after the root only blanks may stand between the markup.
// Returns whether it skipped any.
bool XmlTokenizer::skipOutsideRoot()
{
    bool skipped = false;
    for (;;) {
        const char* end = in_.end();
        while (p_ < end && isSpace(*p_)) {
            ++p_;
            skipped = true;
        }
        if (p_ < end) {
            if (*p_ == '<') return skipped;
            in_.fail(p_, rootSeen_ ? QStringLiteral("texto tras el elemento raíz")
                                   : QStringLiteral("texto antes del elemento raíz"));
        }
        if (!in_.more(p_)) return skipped;
    }
}

void XmlTokenizer::readText()
{
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
            p_ = scan::findMarkup(p_, end);
        }
        if (p_ == end) {
            checkTextSize();
            if (!in_.more(p_)) return;
            continue;
        }
        switch (*p_) {
        case '<':
            return;
        case '&':
            readReference();
            if (replaying()) return;
            break;
        case ']':
            checkNotCdataEnd();
            if (out_) cleaner_.put(*out_, ']');
            ++p_;
            break;
        default:
            putSpecial();
        }
    }
}

// A byte findTextSpecial() stops at, in text that is kept, other than markup
// and references: a line break, a tab, a bracket, or the lead byte of a
// character that may be a line break.
void XmlTokenizer::putSpecial()
{
    const auto c = static_cast<unsigned char>(*p_);
    if (c == '\r') {
        // The parser sees a CR LF in the file, or a CR alone, as one LF.
        ++p_;
        if (ensure(1) && *p_ == '\n') ++p_;
        cleaner_.put(*out_, '\n');
        return;
    }
    if (c < 0x80) {
        cleaner_.put(*out_, c);
        ++p_;
        return;
    }
    // The checked bytes hold whole characters only.
    const utf8::Decoded d = utf8::decode(p_, size_t(in_.end() - p_));
    cleaner_.put(*out_, d.code);
    p_ += d.length;
}

void XmlTokenizer::checkTextSize() const
{
    if (out_ && out_->size() > kMaxText)
        in_.fail(p_, QStringLiteral("un segmento de más de %1 MB").arg(kMaxText >> 20));
}

void XmlTokenizer::checkNotCdataEnd()
{
    if (ensure(3) && p_[1] == ']' && p_[2] == '>')
        in_.fail(p_, QStringLiteral("\"]]>\" no se admite en el texto"));
}

void XmlTokenizer::readReference()
{
    for (;;) {
        const char* q = p_;
        char32_t c;
        XmlEntity* entity = nullptr;
        if (parseReference(p_, q, c, &entity)) {
            const char* amp = p_;
            p_ = q;
            if (!entity) {
                if (out_) cleaner_.put(*out_, c);
                return;
            }
            resolve(*entity, std::string_view(amp + 1, size_t(q - amp - 2)), amp);
            addExpanded(entity->size, amp);
            if (entity->state == XmlEntity::State::Markup) {
                replay_ = &entity->events;
                replayAt_ = 0;
                tagStart_ = amp;
            } else if (out_) {
                const std::string& text = entity->text;
                for (size_t i = 0; i < text.size();) {
                    const utf8::Decoded d = utf8::decode(text.data() + i, text.size() - i);
                    cleaner_.put(*out_, d.code);
                    i += size_t(d.length);
                }
                checkTextSize();
            }
            return;
        }
        if (!in_.more(p_)) failAtEnd("una referencia");
    }
}

// Reads the reference at `amp` into `c` and moves `q` past it. Returns false
// when the checked bytes end first.
bool XmlTokenizer::parseReference(const char* amp, const char*& q, char32_t& c, XmlEntity** entityFound) const
{
    const char* end = in_.end();
    q = amp + 1;
    if (q == end) return false;
    if (*q == '#') {
        ++q;
        if (q == end) return false;
        const bool hex = *q == 'x';
        if (hex) ++q;
        uint32_t value = 0;
        bool digits = false;
        for (;; ++q) {
            if (q == end) return false;
            int digit;
            if (*q >= '0' && *q <= '9') digit = *q - '0';
            else if (hex && *q >= 'a' && *q <= 'f') digit = *q - 'a' + 10;
            else if (hex && *q >= 'A' && *q <= 'F') digit = *q - 'A' + 10;
            else break;
            digits = true;
            if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + uint32_t(digit);
        }
        if (!digits || *q != ';') in_.fail(amp, QStringLiteral("referencia de carácter mal escrita"));
        ++q;
        if (!isXmlChar(value))
            in_.fail(amp, QStringLiteral("la referencia %1 nombra un carácter que XML no admite")
                              .arg(text(amp, q)));
        c = value;
        return true;
    }
    const char* name = q;
    if (!scanName(q, end)) return false;
    if (q == name)
        in_.fail(amp, QStringLiteral("\"&\" que no empieza una referencia (escríbalo &amp;)"));
    if (*q != ';') in_.fail(q, QStringLiteral("se esperaba \";\" al final de la referencia"));
    const std::string_view entity(name, size_t(q - name));
    ++q;
    if (entity == "lt") c = '<';
    else if (entity == "gt") c = '>';
    else if (entity == "amp") c = '&';
    else if (entity == "quot") c = '"';
    else if (entity == "apos") c = '\'';
    else if (entityFound) *entityFound = &declared(amp, entity);
    else in_.fail(amp, QStringLiteral("entidad no declarada: &%1;").arg(text(entity)));
    return true;
}

// Moves `q` over a name (an empty one if there is none). Returns false when
// the checked bytes end first, as the name may go on.
bool XmlTokenizer::scanName(const char*& q, const char* end, Name* name) const
{
    if (q == end) return false;
    const char* start = q;
    auto c = static_cast<unsigned char>(*q);
    if (c < 0x80) {
        if (!kBytes.nameStart[c]) return true;
    } else {
        const utf8::Decoded d = utf8::decode(q, size_t(end - q));
        if (!isNameStart(d.code)) return true;
        q += d.length - 1;
    }
    int colons = 0;
    const char* colon = nullptr;
    for (++q;; ++q) {
        q = scan::skipAsciiNameChars(q, end);
        if (q == end) return false;
        c = static_cast<unsigned char>(*q);
        if (c < 0x80) {
            if (c != ':') break;
            colon = q;
            ++colons;
            continue;
        }
        const utf8::Decoded d = utf8::decode(q, size_t(end - q));
        if (!isNameChar(d.code)) break;
        q += d.length - 1;
    }
    if (*start == ':') {
        colon = start;
        ++colons;
    }
    if (name) {
        name->text = std::string_view(start, size_t(q - start));
        // As namespaces would read it: one colon at most, inside the name.
        name->qualified = colons == 0 || (colons == 1 && colon > start && colon + 1 < q);
    }
    return true;
}

// Tags and references are read whole from the buffer; when one runs past
// its end, more is brought in and it is read again from its "<" or "&".
void XmlTokenizer::readStartTag()
{
    if (depth_ == 0 && rootSeen_) in_.fail(p_, QStringLiteral("otro elemento tras el elemento raíz"));
    while (!parseStartTag())
        if (!in_.more(p_)) failAtEnd("una etiqueta");
}

bool XmlTokenizer::parseStartTag()
{
    const char* end = in_.end();
    const char* q = p_ + 1;
    Name name;
    if (!scanName(q, end, &name)) return false;
    if (name.text.empty()) in_.fail(q, QStringLiteral("se esperaba el nombre de un elemento"));
    if (!name.qualified) in_.fail(p_ + 1, QStringLiteral("nombre no válido: %1").arg(text(name.text)));
    tagExpanded_ = 0;
    if (depth_ == kMaxDepth)
        in_.fail(p_, QStringLiteral("más de %1 elementos anidados").arg(kMaxDepth));
    if (size_t(depth_) == stack_.size()) stack_.emplace_back();
    stack_[size_t(depth_)].assign(name.text);
    attributeCount_ = 0;
    attributeNames_.clear();
    bool empty = false;
    for (;;) {
        const char* blanks = q;
        while (q < end && isSpace(*q)) ++q;
        if (q == end) return false;
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            if (q + 1 == end) return false;
            if (q[1] != '>') in_.fail(q, QStringLiteral("se esperaba \"/>\""));
            q += 2;
            empty = true;
            break;
        }
        if (q == blanks) in_.fail(q, QStringLiteral("se esperaba un espacio, \">\" o \"/>\""));
        if (!parseAttribute(q)) return false;
    }
    if (tagExpanded_ > 0) addExpanded(tagExpanded_, p_);
    tagStart_ = p_;
    p_ = q;
    rootSeen_ = true;
    eventDepth_ = ++depth_;
    pendingEnd_ = empty;
    return true;
}

bool XmlTokenizer::parseAttribute(const char*& q)
{
    const char* end = in_.end();
    const char* name = q;
    Name scanned;
    if (!scanName(q, end, &scanned)) return false;
    if (q == name) in_.fail(q, QStringLiteral("se esperaba el nombre de un atributo"));
    const std::string_view attributeName = scanned.text;
    if (!scanned.qualified) in_.fail(name, QStringLiteral("nombre no válido: %1").arg(text(attributeName)));
    while (q < end && isSpace(*q)) ++q;
    if (q == end) return false;
    if (*q != '=') in_.fail(q, QStringLiteral("se esperaba \"=\" tras el atributo %1").arg(text(attributeName)));
    ++q;
    while (q < end && isSpace(*q)) ++q;
    if (q == end) return false;
    const char quote = *q;
    if (quote != '"' && quote != '\'')
        in_.fail(q, QStringLiteral("el valor del atributo %1 debe ir entre comillas").arg(text(attributeName)));
    ++q;
    constexpr size_t kFew = 8;
    bool repeated = false;
    if (attributeCount_ < kFew) {
        for (size_t i = 0; i < attributeCount_ && !repeated; ++i) repeated = attributes_[i].name == attributeName;
    } else {
        if (attributeNames_.empty())
            for (size_t i = 0; i < attributeCount_; ++i) attributeNames_.insert(attributes_[i].name);
        repeated = !attributeNames_.insert(attributeName).second;
    }
    if (repeated) in_.fail(name, QStringLiteral("atributo repetido: %1").arg(text(attributeName)));
    if (attributeCount_ == attributes_.size()) attributes_.emplace_back();
    Attribute& a = attributes_[attributeCount_];
    a.name = attributeName;
    const char* value = q;
    q = scan::findAttributeStop(q, end);
    if (q == end) return false;
    if (*q == quote) {
        a.value = std::string_view(value, size_t(q - value));
        ++q;
        ++attributeCount_;
        return true;
    }
    // References or blanks: the value is decoded into a string of its own.
    a.decoded.assign(value, size_t(q - value));
    for (;;) {
        const char* run = q;
        while (q < end && !kBytes.attributeStop[static_cast<unsigned char>(*q)]) ++q;
        a.decoded.append(run, size_t(q - run));
        if (q == end) return false;
        const char c = *q;
        if (c == quote) {
            ++q;
            break;
        }
        if (c == '<') in_.fail(q, QStringLiteral("\"<\" no se admite en el valor de un atributo"));
        if (c == '&') {
            const char* amp = q;
            char32_t ref;
            XmlEntity* entity = nullptr;
            if (!parseReference(amp, q, ref, &entity)) return false;
            if (!entity) {
                utf8::append(a.decoded, ref);
                continue;
            }
            resolve(*entity, std::string_view(amp + 1, size_t(q - amp - 2)), amp);
            if (entity->state == XmlEntity::State::Markup)
                in_.fail(amp, QStringLiteral("\"<\" no se admite en el valor de un atributo (viene de la entidad &%1;)")
                                  .arg(text(amp + 1, q - 1)));
            // Blanks of the replacement text are spaces, as the file's are.
            for (const char b : entity->text) a.decoded.push_back(isSpace(b) ? ' ' : b);
            tagExpanded_ += entity->text.size();
            if (a.decoded.size() > XmlInput::kMaxKept)
                in_.fail(name, QStringLiteral("el valor del atributo %1 pasa de %2 MB")
                                   .arg(text(attributeName))
                                   .arg(XmlInput::kMaxKept >> 20));
            continue;
        }
        ++q;
        if (c == '"' || c == '\'') {
            a.decoded.push_back(c); // the other quote
            continue;
        }
        // Blanks of the file are normalized to spaces; a CR LF gives one.
        if (c == '\r') {
            if (q == end) return false;
            if (*q == '\n') ++q;
        }
        a.decoded.push_back(' ');
    }
    a.value = a.decoded;
    ++attributeCount_;
    return true;
}

void XmlTokenizer::readEndTag()
{
    while (!parseEndTag())
        if (!in_.more(p_)) failAtEnd("una etiqueta");
}

bool XmlTokenizer::parseEndTag()
{
    const char* end = in_.end();
    const char* q = p_ + 2;
    if (depth_ > 0) {
        // Most end tags are the expected name and ">".
        const std::string& open = stack_[size_t(depth_ - 1)];
        if (size_t(end - q) > open.size() && sameBytes(q, open.data(), open.size()) && q[open.size()] == '>') {
            tagStart_ = p_;
            p_ = q + open.size() + 1;
            eventDepth_ = depth_--;
            return true;
        }
    }
    const char* name = q;
    if (!scanName(q, end)) return false;
    if (q == name) in_.fail(q, QStringLiteral("se esperaba el nombre de un elemento"));
    const std::string_view closed(name, size_t(q - name));
    if (depth_ == 0)
        in_.fail(p_, QStringLiteral("</%1> no cierra ningún elemento").arg(text(closed)));
    const std::string& open = stack_[size_t(depth_ - 1)];
    if (closed != open) in_.fail(p_, QStringLiteral("se esperaba </%1>").arg(text(open)));
    while (q < end && isSpace(*q)) ++q;
    if (q == end) return false;
    if (*q != '>') in_.fail(q, QStringLiteral("se esperaba \">\""));
    tagStart_ = p_;
    p_ = q + 1;
    eventDepth_ = depth_--;
    return true;
}

} // namespace solandre
