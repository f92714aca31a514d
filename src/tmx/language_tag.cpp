// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/language_tag.h"

#include <QStringList>
#include <algorithm>

namespace solandre {
namespace {

bool allOf(const QString& s, bool (*test)(QChar))
{
    return std::all_of(s.begin(), s.end(), test);
}

bool isAlpha(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAlphanumeric(QChar c)
{
    return isAlpha(c) || isDigit(c);
}

// The tags BCP 47 keeps for history, which the grammar does not describe.
const QStringList& grandfathered()
{
    static const QStringList tags = {
        "en-gb-oed", "i-ami",     "i-bnn",      "i-default",  "i-enochian", "i-hak",      "i-klingon",
        "i-lux",     "i-mingo",   "i-navajo",   "i-pwn",      "i-tao",      "i-tay",      "i-tsu",
        "sgn-be-fr", "sgn-be-nl", "sgn-ch-de",  "art-lojban", "cel-gaulish", "no-bok",    "no-nyn",
        "zh-guoyu",  "zh-hakka",  "zh-min",     "zh-min-nan", "zh-xiang"};
    return tags;
}

} // namespace

std::optional<QString> canonicalLanguageTag(const QString& tag)
{
    QString lower = tag.toLower();
    lower.replace(u'_', u'-');
    if (lower.isEmpty() || !std::all_of(lower.begin(), lower.end(), [](QChar c) { return isAlphanumeric(c) || c == u'-'; }))
        return std::nullopt;
    if (grandfathered().contains(lower)) return lower;
    const QStringList parts = lower.split(u'-');
    for (const QString& part : parts)
        if (part.isEmpty() || part.size() > 8) return std::nullopt;

    QStringList out;
    qsizetype i = 0;
    auto privateUse = [&]() -> bool {
        // "x-" and subtags of one to eight letters or digits, to the end.
        if (i + 1 >= parts.size()) return false;
        for (; i < parts.size(); ++i) out << parts[i];
        return true;
    };
    if (parts[0] == u"x") {
        if (!privateUse()) return std::nullopt;
        return out.join(u'-');
    }
    // language: 2-3 letters (with up to three 3-letter extended subtags), or 4-8 letters
    const QString& language = parts[i++];
    if (!allOf(language, isAlpha) || language.size() < 2) return std::nullopt;
    out << language;
    if (language.size() <= 3)
        for (int extended = 0; extended < 3 && i < parts.size() && parts[i].size() == 3 && allOf(parts[i], isAlpha);
             ++extended)
            out << parts[i++];
    // script: 4 letters
    if (i < parts.size() && parts[i].size() == 4 && allOf(parts[i], isAlpha)) {
        QString script = parts[i++];
        script[0] = script[0].toUpper();
        out << script;
    }
    // region: 2 letters or 3 digits
    if (i < parts.size() && ((parts[i].size() == 2 && allOf(parts[i], isAlpha)) ||
                             (parts[i].size() == 3 && allOf(parts[i], isDigit))))
        out << parts[i++].toUpper();
    // variants: 5-8 letters or digits, or a digit and three more
    while (i < parts.size() && ((parts[i].size() >= 5) || (parts[i].size() == 4 && isDigit(parts[i][0]))))
        out << parts[i++];
    // extensions: a singleton other than x, then subtags of 2-8
    while (i < parts.size() && parts[i].size() == 1 && parts[i] != u"x") {
        out << parts[i++];
        const qsizetype first = i;
        while (i < parts.size() && parts[i].size() >= 2) out << parts[i++];
        if (i == first) return std::nullopt;
    }
    if (i < parts.size() && parts[i] == u"x" && !privateUse()) return std::nullopt;
    if (i < parts.size()) return std::nullopt;
    return out.join(u'-');
}

QString malformedLanguageTag(const QString& tag)
{
    return QStringLiteral("\"%1\" no es una etiqueta de lengua (BCP 47), como es, es-ES, en-GB o zh-Hant").arg(tag);
}

} // namespace solandre
