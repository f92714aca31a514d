// SPDX-License-Identifier: GPL-3.0-or-later
// The tokenizer's entities: their declarations in the internal subset, their
// resolution at first use, and the replay of those that hold markup.
#include "tmx/xml_tokenizer.h"

#include "tmx/utf8.h"
#include "tmx/xml_chars.h"

#include <QBuffer>
#include <cstring>

namespace solandre {

using namespace xml;

namespace {

bool isPredefined(std::string_view name)
{
    return name == "lt" || name == "gt" || name == "amp" || name == "quot" || name == "apos";
}

QString tooLarge(std::string_view name)
{
    return QStringLiteral("la entidad &%1; se expande a más de %2 MB: una bomba de entidades (\"billion laughs\")")
        .arg(text(name))
        .arg(XmlEntities::kMaxEntity >> 20);
}

} // namespace

XmlEntity& XmlTokenizer::declared(const char* amp, std::string_view name) const
{
    const auto found = entities_ ? entities_->general.find(std::string(name)) : std::unordered_map<std::string, XmlEntity>::iterator();
    if (!entities_ || found == entities_->general.end())
        in_.fail(amp, QStringLiteral("entidad no declarada: &%1;").arg(text(name)));
    XmlEntity& entity = found->second;
    if (entity.kind == XmlEntity::Kind::External)
        in_.refuse(amp, QStringLiteral("la memoria remite a la entidad externa &%1;, que no se lee: solo se "
                                       "lee el fichero mismo")
                          .arg(text(name)));
    if (entity.kind == XmlEntity::Kind::Unparsed)
        in_.fail(amp, QStringLiteral("&%1; nombra una entidad no analizable, que no puede ir en el texto")
                          .arg(text(name)));
    return entity;
}

void XmlTokenizer::resolve(XmlEntity& entity, std::string_view name, const char* at)
{
    if (entity.state == XmlEntity::State::Text || entity.state == XmlEntity::State::Markup) return;
    if (entity.state == XmlEntity::State::Resolving)
        in_.fail(at, QStringLiteral("la entidad &%1; se contiene a sí misma").arg(text(name)));
    entity.state = XmlEntity::State::Resolving;
    if (entity.replacement.find('<') == std::string::npos) resolveText(entity, name, at);
    if (entity.state == XmlEntity::State::Resolving) resolveMarkup(entity, name, at);
}

// Text without markup, every reference in it resolved. An entity it refers
// to that holds markup leaves the state as it is, for resolveMarkup().
void XmlTokenizer::resolveText(XmlEntity& entity, std::string_view name, const char* at)
{
    const std::string& r = entity.replacement;
    std::string out;
    auto inside = [&](const QString& reason) {
        in_.fail(at, QStringLiteral("en la entidad &%1;: %2").arg(text(name), reason));
    };
    for (size_t i = 0; i < r.size();) {
        if (r[i] != '&') {
            const size_t amp = r.find('&', i);
            out.append(r, i, (amp == std::string::npos ? r.size() : amp) - i);
            i = amp == std::string::npos ? r.size() : amp;
        } else {
            const size_t semicolon = r.find(';', i);
            if (semicolon == std::string::npos) inside(QStringLiteral("referencia sin \";\""));
            const std::string_view ref(r.data() + i + 1, semicolon - i - 1);
            i = semicolon + 1;
            if (!ref.empty() && ref[0] == '#') {
                const bool hex = ref.size() > 1 && ref[1] == 'x';
                const std::string_view digits = ref.substr(hex ? 2 : 1);
                uint32_t value = 0;
                bool good = !digits.empty();
                for (const char d : digits) {
                    int v = d >= '0' && d <= '9' ? d - '0'
                            : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                            : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                           : -1;
                    good = good && v >= 0;
                    if (good && value <= 0x10FFFF) value = value * (hex ? 16 : 10) + uint32_t(v);
                }
                if (!good || !isXmlChar(value)) inside(QStringLiteral("referencia de carácter mal escrita o no admitida"));
                utf8::append(out, value);
            } else if (ref == "lt") {
                out += '<';
            } else if (ref == "gt") {
                out += '>';
            } else if (ref == "amp") {
                out += '&';
            } else if (ref == "quot") {
                out += '"';
            } else if (ref == "apos") {
                out += '\'';
            } else {
                XmlEntity& nested = declared(at, ref);
                resolve(nested, ref, at);
                if (nested.state == XmlEntity::State::Markup) return; // markup after all
                out += nested.text;
            }
        }
        if (out.size() > XmlEntities::kMaxEntity) in_.fail(at, tooLarge(name));
    }
    entity.text = std::move(out);
    entity.size = entity.text.size();
    entity.state = XmlEntity::State::Text;
}

// Content with markup: read by a tokenizer of its own, wrapped in one
// element, and kept as the events it gave.
void XmlTokenizer::resolveMarkup(XmlEntity& entity, std::string_view name, const char* at)
{
    QByteArray wrapped = "<e>";
    wrapped.append(entity.replacement.data(), qsizetype(entity.replacement.size()));
    wrapped.append("</e>");
    QBuffer buffer(&wrapped);
    buffer.open(QIODevice::ReadOnly);
    std::vector<XmlEvent> events;
    size_t size = 0;
    try {
        XmlDecoder decoder(buffer);
        if (auto refused = decoder.start()) throw XmlFault{*refused, std::nullopt};
        XmlInput input(decoder);
        XmlTokenizer inner(input, entities_);
        std::string text;
        inner.setTextOutput(&text);
        for (;;) {
            const Event event = inner.next();
            if (!text.empty()) {
                size += text.size();
                events.push_back({XmlEvent::Kind::Text, {}, {}, std::move(text)});
                text.clear();
            }
            if (event == Event::EndOfDocument) break;
            if (inner.depth() == 1) continue; // the wrapping element
            XmlEvent e{event == Event::StartElement ? XmlEvent::Kind::Start : XmlEvent::Kind::End,
                       std::string(inner.name()), {}, {}};
            size += e.name.size();
            if (event == Event::StartElement)
                for (size_t k = 0; k < inner.attributeCount_; ++k) {
                    const Attribute& a = inner.attributes_[k];
                    e.attributes.emplace_back(a.name, a.value);
                    size += a.name.size() + a.value.size();
                }
            events.push_back(std::move(e));
            if (size > XmlEntities::kMaxEntity) throw XmlFault{tooLarge(name), std::nullopt};
        }
    } catch (const XmlFault& fault) {
        // A fault of an entity inside this one names that one already.
        const bool named = fault.reason.contains(QStringLiteral("la entidad &"));
        const QString reason = named ? fault.reason : QStringLiteral("en la entidad &%1;: %2").arg(text(name), fault.reason);
        if (fault.malformed) in_.fail(at, reason);
        in_.refuse(at, reason);
    }
    entity.events = std::move(events);
    entity.size = size;
    entity.state = XmlEntity::State::Markup;
}

void XmlTokenizer::addExpanded(size_t bytes, const char* at)
{
    // A document may grow by its entities, but not without bound: a few
    // times its own size, whatever the nesting.
    entities_->expanded += bytes;
    const size_t allowed = XmlEntities::kMaxEntity * 16 + 4 * size_t(in_.bytesRead());
    if (entities_->expanded > allowed)
        in_.fail(at, QStringLiteral("las entidades se expanden a más de %1 MB, cuatro veces el fichero: una bomba "
                                    "de entidades (\"billion laughs\")")
                         .arg(allowed >> 20));
}

bool XmlTokenizer::replayEvent(Event& event)
{
    while (replaying()) {
        const XmlEvent& e = (*replay_)[replayAt_++];
        switch (e.kind) {
        case XmlEvent::Kind::Text:
            if (out_) {
                out_->append(e.text);
                cleaner_.clearCr();
                checkTextSize();
            }
            break;
        case XmlEvent::Kind::Start:
            if (depth_ == kMaxDepth) in_.fail(tagStart_, QStringLiteral("más de %1 elementos anidados").arg(kMaxDepth));
            if (size_t(depth_) == stack_.size()) stack_.emplace_back();
            stack_[size_t(depth_)] = e.name;
            attributeCount_ = 0;
            for (const auto& [name, value] : e.attributes) {
                if (attributeCount_ == attributes_.size()) attributes_.emplace_back();
                attributes_[attributeCount_].name = name;
                attributes_[attributeCount_].value = value;
                ++attributeCount_;
            }
            eventDepth_ = ++depth_;
            event = Event::StartElement;
            return true;
        case XmlEvent::Kind::End:
            eventDepth_ = depth_--;
            event = Event::EndElement;
            return true;
        }
    }
    return false;
}

void XmlTokenizer::readEntityDeclaration()
{
    while (!parseEntityDeclaration())
        if (!in_.more(p_)) failAtEnd("la declaración DOCTYPE");
}

// <!ENTITY [% ]name "value"> or <!ENTITY [% ]name SYSTEM "uri" [NDATA n]>
// (or PUBLIC "id" "uri"). Returns false when the bytes end first.
bool XmlTokenizer::parseEntityDeclaration()
{
    const char* end = in_.end();
    const char* q = p_ + 8;
    auto blanks = [&](bool required) {
        const char* start = q;
        while (q < end && isSpace(*q)) ++q;
        if (q < end && required && q == start) in_.fail(q, QStringLiteral("se esperaba un espacio"));
        return q < end;
    };
    if (!blanks(true)) return false;
    bool parameter = false;
    if (*q == '%') {
        parameter = true;
        ++q;
        if (!blanks(true)) return false;
    }
    const char* nameStart = q;
    if (!scanName(q, end)) return false;
    if (q == nameStart) in_.fail(q, QStringLiteral("se esperaba el nombre de una entidad"));
    const std::string name(nameStart, size_t(q - nameStart));
    if (!blanks(true)) return false;

    XmlEntity entity;
    auto literal = [&](std::string* value) -> bool {
        const char quote = *q;
        if (quote != '"' && quote != '\'') in_.fail(q, QStringLiteral("se esperaba un valor entre comillas"));
        const char* close = static_cast<const char*>(std::memchr(q + 1, quote, size_t(end - q - 1)));
        if (!close) return false;
        if (value) {
            for (const char* c = q + 1; c < close;) {
                if (*c == '%')
                    in_.fail(c, QStringLiteral("referencia a una entidad de parámetro dentro de una declaración"));
                if (*c == '&') {
                    const char* after = c;
                    char32_t ch = 0;
                    if (c + 1 < close && c[1] == '#') {
                        if (!parseReference(c, after, ch)) return false;
                        utf8::append(*value, ch);
                    } else {
                        // Kept as written, and resolved where the entity is used.
                        after = c + 1;
                        if (!scanName(after, close) || after == c + 1 || after == close || *after != ';')
                            in_.fail(c, QStringLiteral("referencia mal escrita en el valor de una entidad"));
                        ++after;
                        value->append(c, size_t(after - c));
                    }
                    c = after;
                } else if (*c == '\r') {
                    value->push_back('\n');
                    c += c + 1 < close && c[1] == '\n' ? 2 : 1;
                } else {
                    value->push_back(*c++);
                }
            }
        }
        q = close + 1;
        return true;
    };
    auto keyword = [&](const char* word) {
        const size_t n = std::strlen(word);
        return size_t(end - q) > n && std::memcmp(q, word, n) == 0;
    };
    if (*q == '"' || *q == '\'') {
        if (!literal(&entity.replacement)) return false;
    } else {
        entity.kind = XmlEntity::Kind::External;
        if (size_t(end - q) < 7) return false;
        if (keyword("PUBLIC")) {
            q += 6;
            if (!blanks(true) || !literal(nullptr) || !blanks(true)) return false;
        } else if (keyword("SYSTEM")) {
            q += 6;
            if (!blanks(true)) return false;
        } else {
            in_.fail(q, QStringLiteral("se esperaba un valor entre comillas, SYSTEM o PUBLIC"));
        }
        if (!literal(nullptr)) return false;
        const char* before = q;
        if (!blanks(false)) return false;
        if (q > before && keyword("NDATA")) {
            q += 5;
            if (!blanks(true)) return false;
            const char* notation = q;
            if (!scanName(q, end)) return false;
            if (q == notation) in_.fail(q, QStringLiteral("se esperaba el nombre de una notación"));
            if (!parameter) entity.kind = XmlEntity::Kind::Unparsed;
        }
    }
    if (!blanks(false)) return false;
    if (*q != '>') in_.fail(q, QStringLiteral("se esperaba \">\" al final de la declaración de la entidad"));
    p_ = q + 1;
    // The first declaration binds; the predefined entities keep their meaning.
    if (!parameter && !isPredefined(name)) {
        if (!entities_) entities_ = std::make_shared<XmlEntities>();
        entities_->general.emplace(name, std::move(entity));
    }
    return true;
}

} // namespace solandre
