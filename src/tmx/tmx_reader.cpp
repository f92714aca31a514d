// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/tmx_reader.h"

#include "tmx/xml_tokenizer.h"

#include <unordered_map>

#include <string_view>

namespace solandre {
namespace {

// A fault in what a well-formed file holds: not a translation memory.
struct NotTmx {
    QString reason;
    TextPosition where;
};

QString cannotRead(const QString& fileName, const QString& reason)
{
    return QStringLiteral("No se puede leer el fichero \"%1\": %2").arg(fileName, reason);
}

QString at(const TextPosition& where)
{
    return QStringLiteral("en la línea %1, columna %2").arg(where.line).arg(where.column);
}

QString fromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Runs `read` over a tokenizer of the device, turning every fault into the
// message the user sees.
template <class Read> std::optional<Error> withTokenizer(QIODevice& device, const QString& fileName, Read read)
{
    XmlDecoder decoder(device);
    if (auto refused = decoder.start()) return Error{cannotRead(fileName, *refused)};
    XmlInput input(decoder);
    XmlTokenizer tokenizer(input);
    try {
        read(tokenizer);
    } catch (const XmlFault& fault) {
        if (!fault.where) return Error{cannotRead(fileName, fault.reason)};
        if (!fault.malformed)
            return Error{cannotRead(fileName, QStringLiteral("%1: %2").arg(at(*fault.where), fault.reason))};
        return Error{cannotRead(
            fileName, QStringLiteral("XML mal formado %1: %2").arg(at(*fault.where), fault.reason))};
    } catch (const NotTmx& fault) {
        return Error{cannotRead(
            fileName, QStringLiteral("no es una memoria TMX (%1): %2").arg(at(fault.where), fault.reason))};
    }
    return std::nullopt;
}

[[noreturn]] void notTmx(const XmlTokenizer& tokenizer, const QString& reason)
{
    throw NotTmx{reason, tokenizer.tagPosition()};
}

void expectTmxRoot(XmlTokenizer& tokenizer)
{
    tokenizer.next(); // a file without a root fails in the tokenizer
    if (tokenizer.name() != "tmx")
        notTmx(tokenizer, QStringLiteral("el elemento raíz es <%1>, no <tmx>").arg(fromUtf8(tokenizer.name())));
}

char foldLanguageChar(char c)
{
    if (c >= 'A' && c <= 'Z') return char(c + ('a' - 'A'));
    return c == '_' ? '-' : c;
}

bool sameLanguage(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    if (a == b) return true; // the usual case: one spelling throughout the file
    for (size_t i = 0; i < a.size(); ++i)
        if (foldLanguageChar(a[i]) != foldLanguageChar(b[i])) return false;
    return true;
}

// "es" takes "es-ES"; a tag with a subtag takes no other.
bool isPrimaryOf(std::string_view wanted, std::string_view actual)
{
    return !wanted.empty() && wanted.find_first_of("-_") == std::string_view::npos &&
           actual.size() > wanted.size() && foldLanguageChar(actual[wanted.size()]) == '-' &&
           sameLanguage(wanted, actual.substr(0, wanted.size()));
}

bool matches(std::string_view wanted, std::string_view actual)
{
    return sameLanguage(wanted, actual) || isPrimaryOf(wanted, actual);
}

bool isNativeCode(std::string_view name)
{
    return name == "bpt" || name == "ept" || name == "ph" || name == "it" || name == "ut";
}

std::optional<std::string_view> variantLanguage(const XmlTokenizer& tokenizer)
{
    const auto language = tokenizer.attribute("xml:lang");
    return language ? language : tokenizer.attribute("lang"); // TMX 1.1
}

class TmxPairReader {
public:
    TmxPairReader(XmlTokenizer& tokenizer, const TmxLanguageChoice& choice, const SegmentPairSink& sink)
        : tokenizer_(tokenizer), sink_(sink), source_(choice.source.toStdString()),
          target_(choice.target.toStdString()), sourceChosen_(!choice.source.isEmpty())
    {
    }

    void run()
    {
        expectTmxRoot(tokenizer_);
        for (bool more = true; more && !summary_.stopped;) {
            switch (tokenizer_.next()) {
            case XmlTokenizer::Event::StartElement:
                start();
                break;
            case XmlTokenizer::Event::EndElement:
                end();
                break;
            case XmlTokenizer::Event::EndOfDocument:
                more = false;
                break;
            }
        }
        summary_.sourceLanguage = fromUtf8(sourceUsed_.empty() ? source_ : sourceUsed_);
        summary_.targetLanguage = fromUtf8(targetUsed_.empty() ? target_ : targetUsed_);
    }

    const TmxSummary& summary() const { return summary_; }

private:
    enum class Side { None, Source, Target };

    // Depths: tmx 1, header and body 2, tu 3, tuv 4, seg 5, inline markup 6 on.
    void start()
    {
        const std::string_view name = tokenizer_.name();
        switch (tokenizer_.depth()) {
        case 2:
            if (name == "body") {
                inBody_ = bodySeen_ = true;
            } else if (name == "header" && !headerSeen_) {
                headerSeen_ = true;
                readHeader();
            }
            break;
        case 3:
            if (inBody_ && name == "tu") {
                pair_.source.clear();
                pair_.target.clear();
                pair_.hasSource = pair_.hasTarget = false;
                inUnit_ = true;
            }
            break;
        case 4:
            if (inUnit_ && name == "tuv") startVariant();
            break;
        case 5:
            if (side_ != Side::None && name == "seg" && !segmentTaken_) {
                segmentTaken_ = true;
                text_ = side_ == Side::Source ? &pair_.source : &pair_.target;
                tokenizer_.setTextOutput(text_);
            }
            break;
        default:
            if (text_ && skipFrom_ == 0 && isNativeCode(name)) {
                skipFrom_ = tokenizer_.depth();
                tokenizer_.pauseTextOutput();
            }
        }
    }

    void end()
    {
        const int depth = tokenizer_.depth();
        if (depth == skipFrom_) {
            skipFrom_ = 0;
            tokenizer_.resumeTextOutput();
        } else if (depth == 5 && text_) {
            text_ = nullptr;
            tokenizer_.setTextOutput(nullptr);
        } else if (depth == 4) {
            side_ = Side::None;
        } else if (depth == 3 && inUnit_) {
            inUnit_ = false;
            ++summary_.units;
            summary_.unitsWithoutSource += !pair_.hasSource;
            summary_.unitsWithoutTarget += !pair_.hasTarget;
            if (!sink_(pair_)) summary_.stopped = true;
        } else if (depth == 2 && tokenizer_.name() == "body") {
            inBody_ = false;
        } else if (depth == 1 && !bodySeen_) {
            notTmx(tokenizer_, QStringLiteral("falta el elemento <body>"));
        }
    }

    void readHeader()
    {
        if (sourceChosen_) return;
        const auto srclang = tokenizer_.attribute("srclang");
        // "*all*": any language may be the source; the first one met is.
        if (!srclang || sameLanguage(*srclang, "*all*")) return;
        // Were it the chosen target, the source is the first other language.
        if (!target_.empty() && sameLanguage(*srclang, target_)) return;
        source_.assign(*srclang);
    }

    void startVariant()
    {
        segmentTaken_ = false;
        const auto language = variantLanguage(tokenizer_);
        side_ = language ? sideOf(*language) : Side::None;
        if (side_ == Side::Source) {
            if (pair_.hasSource) side_ = Side::None;
            else pair_.hasSource = true;
            if (sourceUsed_.empty() && side_ != Side::None) sourceUsed_.assign(*language);
        } else if (side_ == Side::Target) {
            if (pair_.hasTarget) side_ = Side::None;
            else pair_.hasTarget = true;
            if (targetUsed_.empty() && side_ != Side::None) targetUsed_.assign(*language);
        }
    }

    // An exact match wins over a primary tag, so that choosing "en" and
    // "en-GB" sends "en-GB" to its own side.
    Side sideOf(std::string_view language)
    {
        if (language.empty()) return Side::None;
        if (!source_.empty() && sameLanguage(source_, language)) return Side::Source;
        if (!target_.empty() && sameLanguage(target_, language)) return Side::Target;
        if (isPrimaryOf(source_, language)) return Side::Source;
        if (isPrimaryOf(target_, language)) return Side::Target;
        if (source_.empty()) {
            source_.assign(language);
            return Side::Source;
        }
        if (target_.empty()) {
            target_.assign(language);
            return Side::Target;
        }
        return Side::None;
    }

    XmlTokenizer& tokenizer_;
    const SegmentPairSink& sink_;
    std::string source_; // empty until known
    std::string target_;
    const bool sourceChosen_;
    std::string sourceUsed_;
    std::string targetUsed_;
    TmxSummary summary_;
    SegmentPair pair_;
    bool headerSeen_ = false;
    bool bodySeen_ = false;
    bool inBody_ = false;
    bool inUnit_ = false;
    Side side_ = Side::None;
    bool segmentTaken_ = false;
    std::string* text_ = nullptr; // the segment being read
    int skipFrom_ = 0;            // depth of the native code being dropped
};

} // namespace

bool languageMatches(QStringView wanted, QStringView actual)
{
    return matches(wanted.toUtf8().toStdString(), actual.toUtf8().toStdString());
}

Result<TmxSummary> readTmx(QIODevice& device, const QString& fileName,
                              const TmxLanguageChoice& languages, const SegmentPairSink& sink)
{
    // One language however it is spelt ("en_GB", "en-gb"), as the matching
    // of the variants has it.
    if (!languages.source.isEmpty() &&
        sameLanguage(languages.source.toStdString(), languages.target.toStdString()))
        return Error{QStringLiteral("La lengua de origen y la de destino son la misma: %1").arg(languages.source)};
    TmxSummary summary;
    auto error = withTokenizer(device, fileName, [&](XmlTokenizer& tokenizer) {
        TmxPairReader reader(tokenizer, languages, sink);
        reader.run();
        summary = reader.summary();
    });
    if (error) return *error;
    return summary;
}

Result<TmxLanguages> listTmxLanguages(QIODevice& device, const QString& fileName)
{
    TmxLanguages found;
    auto error = withTokenizer(device, fileName, [&](XmlTokenizer& tokenizer) {
        expectTmxRoot(tokenizer);
        std::unordered_map<std::string, size_t> known; // by folded spelling
        std::vector<size_t> inUnit;                    // the languages of the current unit
        std::vector<qint64> lastUnit;                  // per language, the last unit that had it
        bool inBody = false;
        bool inUnitNow = false;
        for (;;) {
            const auto event = tokenizer.next();
            if (event == XmlTokenizer::Event::EndOfDocument) break;
            const int depth = tokenizer.depth();
            const std::string_view name = tokenizer.name();
            if (event == XmlTokenizer::Event::EndElement) {
                if (depth == 2 && name == "body") inBody = false;
                if (depth == 3 && inUnitNow) {
                    inUnitNow = false;
                    ++found.units;
                    for (const size_t i : inUnit) ++found.languages[i].units;
                }
                continue;
            }
            if (depth == 2 && name == "body") {
                inBody = true;
            } else if (depth == 2 && name == "header" && found.headerSourceLanguage.isEmpty()) {
                if (const auto srclang = tokenizer.attribute("srclang"))
                    found.headerSourceLanguage = fromUtf8(*srclang);
            } else if (depth == 3 && inBody && name == "tu") {
                inUnitNow = true;
                inUnit.clear();
            } else if (depth == 4 && inUnitNow && name == "tuv") {
                const auto language = variantLanguage(tokenizer);
                if (!language || language->empty()) continue;
                std::string folded(*language);
                for (char& c : folded) c = foldLanguageChar(c);
                const auto [at, added] = known.emplace(std::move(folded), lastUnit.size());
                if (added) {
                    found.languages.push_back({fromUtf8(*language), 0});
                    lastUnit.push_back(-1);
                }
                if (lastUnit[at->second] != found.units) {
                    lastUnit[at->second] = found.units;
                    inUnit.push_back(at->second);
                }
            }
        }
    });
    if (error) return *error;
    return found;
}

} // namespace solandre
