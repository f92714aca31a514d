// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx_test_support.h"

#include <QXmlStreamReader>
#include <cstring>
#include <limits>

namespace solandre {

void PrintTo(const SegmentPair& pair, std::ostream* os)
{
    *os << "{" << (pair.hasSource ? "" : "no source ") << '"' << pair.source << "\", "
        << (pair.hasTarget ? "" : "no target ") << '"' << pair.target << "\"}";
}

bool operator==(const SegmentPair& a, const SegmentPair& b)
{
    return a.source == b.source && a.target == b.target && a.hasSource == b.hasSource &&
           a.hasTarget == b.hasTarget;
}

namespace testing {

TrickleDevice::TrickleDevice(QByteArray bytes, qint64 step)
    : bytes_(std::move(bytes)), step_(step > 0 ? step : std::numeric_limits<qint64>::max()), sequential_(step > 0)
{
    open(QIODevice::ReadOnly);
}

qint64 TrickleDevice::readData(char* data, qint64 maxSize)
{
    if (failFrom_ >= 0 && position_ >= failFrom_) {
        setErrorString(QStringLiteral("disco ilegible"));
        return -1;
    }
    if (failFrom_ >= 0) maxSize = std::min(maxSize, failFrom_ - position_);
    const qint64 n = std::min({maxSize, step_, qint64(bytes_.size()) - position_});
    std::memcpy(data, bytes_.constData() + position_, size_t(n));
    position_ += n;
    return n;
}

TmxReading readTmxBytes(const QByteArray& bytes, const TmxLanguageChoice& languages, qint64 step)
{
    TmxReading reading;
    auto sink = [&](const SegmentPair& p) {
        reading.pairs.push_back(p);
        return true;
    };
    TrickleDevice device(bytes, step);
    auto result = readTmx(device, QStringLiteral("m.tmx"), languages, sink);
    if (result) reading.summary = result.value();
    else reading.error = result.error().message.toStdString();
    return reading;
}

SegmentPair pair(const std::string& source, const std::string& target)
{
    return {source, target, true, true};
}

SegmentPair sourceOnly(const std::string& source)
{
    return {source, "", true, false};
}

SegmentPair targetOnly(const std::string& target)
{
    return {"", target, false, true};
}

std::optional<QString> oracleError(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(false);
    while (!xml.atEnd()) xml.readNext();
    if (xml.hasError()) return xml.errorString();
    return std::nullopt;
}

QString cleanedForTest(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += u' ';
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else if (c == u'\n' || c == u'\t' || c == QChar(0x85) || c == QChar(0x2028) || c == QChar(0x2029)) {
            out += u' ';
        } else if (c == u'[') {
            out += u'<';
        } else if (c == u']') {
            out += u'>';
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<OracleUnit> oracleUnits(const QByteArray& bytes)
{
    std::vector<OracleUnit> units;
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(false);
    std::vector<QString> path; // element names from the root
    QString language, text;
    int dropping = 0; // depth of a native code being dropped
    bool inSegment = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            path.push_back(xml.name().toString());
            const auto depth = path.size();
            if (depth == 3 && path[1] == u"body" && path[2] == u"tu") units.emplace_back();
            if (depth == 4 && path[2] == u"tu" && path[3] == u"tuv") {
                language = xml.attributes().value(QStringLiteral("xml:lang")).toString();
                if (language.isEmpty()) language = xml.attributes().value(QStringLiteral("lang")).toString();
            }
            if (depth == 5 && path[3] == u"tuv" && path[4] == u"seg") {
                inSegment = true;
                text.clear();
            }
            static const QStringList native = {QStringLiteral("bpt"), QStringLiteral("ept"), QStringLiteral("ph"),
                                               QStringLiteral("it"), QStringLiteral("ut")};
            if (inSegment && !dropping && depth > 5 && native.contains(path.back())) dropping = int(depth);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (dropping == int(path.size())) dropping = 0;
            if (path.size() == 5 && inSegment) {
                inSegment = false;
                OracleUnit& unit = units.back();
                const std::string key = language.toStdString();
                if (!unit.count(key)) unit[key] = cleanedForTest(text).toStdString();
            }
            path.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (inSegment && !dropping) text += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) return {};
    return units;
}

QByteArray utf16(const QByteArray& utf8, bool littleEndian, bool byteOrderMark)
{
    const QString text = QString::fromUtf8(utf8);
    QByteArray out;
    auto put = [&](char16_t u) {
        const char high = char(u >> 8), low = char(u & 0xFF);
        out += littleEndian ? low : high;
        out += littleEndian ? high : low;
    };
    if (byteOrderMark) put(0xFEFF);
    for (const QChar c : text) put(c.unicode());
    return out;
}

} // namespace testing
} // namespace solandre
