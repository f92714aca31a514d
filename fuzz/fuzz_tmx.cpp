// SPDX-License-Identifier: GPL-3.0-or-later
// The translation-memory reader against QXmlStreamReader: the input is the
// file. What our reader takes, QXmlStreamReader must take too, with the same
// units; what QXmlStreamReader refuses, ours must refuse. Ours refuses more
// on purpose (encodings it does not read, external entities, limits, a root
// that is no memory), and then only must not crash or hang. Read whole and a
// few bytes at a time, with the same result.
#include "fuzz_input.h"
#include "tmx_test_support.h"

#include <QXmlStreamReader>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

using namespace solandre;
using fuzz::check;

namespace {


// Case and "_" aside, a language is "en" or "es"; "en-GB" is taken by "en".
// (Of the two chosen, neither is a region of the other, so an exact match
// never competes with a region here.)
enum Side { kNone, kSource, kTarget };
Side sideOf(QString language)
{
    language = language.toLower().replace(u'_', u'-');
    for (const auto& [tag, side] : {std::pair{QStringLiteral("en"), kSource}, std::pair{QStringLiteral("es"), kTarget}})
        if (language == tag || language.startsWith(tag + u'-')) return side;
    return kNone;
}

// The units QXmlStreamReader reads: per <tu> of the <body>, the first <seg>
// of the first variant of each side.
// Nothing when the document is refused, or is no memory.
std::optional<std::vector<SegmentPair>> oracle(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(false);
    std::vector<SegmentPair> units;
    std::vector<QString> path;
    bool body = false;
    Side side = kNone;
    bool taken = false, inSegment = false;
    int dropping = 0;
    QString text;
    static const QStringList native = {"bpt", "ept", "ph", "it", "ut"};
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            path.push_back(xml.name().toString());
            const size_t depth = path.size();
            if (depth == 1 && path[0] != u"tmx") return std::nullopt;
            if (depth == 2 && path[1] == u"body") body = true;
            if (depth == 3 && path[1] == u"body" && path[2] == u"tu") units.push_back({});
            if (depth == 4 && path[1] == u"body" && path[2] == u"tu" && path[3] == u"tuv") {
                QString language = xml.attributes().value(QStringLiteral("xml:lang")).toString();
                if (!xml.attributes().hasAttribute(QStringLiteral("xml:lang")))
                    language = xml.attributes().value(QStringLiteral("lang")).toString();
                side = sideOf(language);
                SegmentPair& unit = units.back();
                if (side == kSource && unit.hasSource) side = kNone;
                if (side == kTarget && unit.hasTarget) side = kNone;
                if (side == kSource) unit.hasSource = true;
                if (side == kTarget) unit.hasTarget = true;
                taken = false;
            }
            if (depth == 5 && side != kNone && path[4] == u"seg" && !taken) {
                taken = inSegment = true;
                text.clear();
            }
            if (inSegment && !dropping && depth > 5 && native.contains(path.back())) dropping = int(depth);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (dropping == int(path.size())) dropping = 0;
            if (path.size() == 5 && inSegment) {
                inSegment = false;
                const std::string cleaned = testing::cleanedForTest(text).toStdString();
                (side == kSource ? units.back().source : units.back().target) = cleaned;
            }
            if (path.size() == 4) side = kNone;
            path.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (inSegment && !dropping) text += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !body) return std::nullopt;
    return units;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const testing::TmxReading whole = testing::readTmxBytes(bytes, {"en", "es"});
    const testing::TmxReading slow = testing::readTmxBytes(bytes, {"en", "es"}, 1 + qint64(size % 7));
    check(whole.error == slow.error && whole.pairs == slow.pairs, "read whole and a few bytes at a time");

    const bool refusedByQt = testing::oracleError(bytes).has_value();
    if (whole.error.empty()) {
        check(!refusedByQt, "accepted what QXmlStreamReader refuses");
        const auto units = oracle(bytes);
        check(units.has_value(), "a memory QXmlStreamReader does not read as one");
        check(*units == whole.pairs, "units");
    }
    return 0;
}
