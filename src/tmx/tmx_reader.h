// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading translation memories (TMX 1.1 to 1.4b) as segment pairs.
//
// The file is streamed: read in chunks of about 1 MB, never whole (a file is
// read ahead by a second thread, see device_reader.h), in the encoding it
// declares (UTF-8, UTF-16 with or without a byte-order mark, ISO-8859-1,
// windows-1252, US-ASCII). Each translation unit is handed to the
// sink as soon as its end tag is read, so a fault found later (malformed
// XML, a read error) comes after the sink has received units: a caller that
// writes output must discard it when the reading fails.
//
// A segment is the text of the <seg> with its markup removed: native codes
// (bpt, ept, ph, it, ut) go with everything in them, sub included; other
// inline elements (hi) lose their tags and keep their text. Entities,
// character references and CDATA are decoded, then the text is cleaned as in
// tmx_types.h.

#include "common/result.h"
#include "tmx/tmx_types.h"

#include <QIODevice>
#include <QString>
#include <QStringView>
#include <vector>

namespace solandre {

// Which two languages to take. A variant's language is its xml:lang, or its
// lang (TMX 1.1) when it has none. Matching ignores case and takes "_" for "-";
// a bare primary tag ("es") also takes its regions ("es-ES", "es-MX"), a tag
// with a region only itself ("es-ES" does not take "es-MX").
struct TmxLanguageChoice {
    // Empty: the srclang of the header; when that is "*all*" or missing, the
    // first language met in the body.
    QString source;
    // Empty: the first language met in the body that is not the source.
    QString target;
};

struct TmxSummary {
    qint64 units = 0;
    qint64 unitsWithoutSource = 0;
    qint64 unitsWithoutTarget = 0;
    // As written in the first variant taken for that side; the chosen or
    // header language when no variant was.
    QString sourceLanguage;
    QString targetLanguage;
    bool stopped = false; // the sink asked to stop
};

// Hands every <tu> of the <body> to `sink`, in order, including those that
// lack one language or both. Of several variants of one language in a unit,
// the first is taken. `fileName` is for the messages. Choosing the same
// language for both sides is refused before anything is read.
Result<TmxSummary> readTmx(QIODevice& device, const QString& fileName,
                              const TmxLanguageChoice& languages, const SegmentPairSink& sink);

struct TmxLanguageUse {
    QString language; // spelled as first met
    qint64 units = 0; // units with at least one variant in it
};

struct TmxLanguages {
    QString headerSourceLanguage; // the header's srclang as written ("*all*" too), or empty
    std::vector<TmxLanguageUse> languages; // in the order first met
    qint64 units = 0;
};

// The languages of the variants, in one streaming pass, for the caller to ask
// which two to take. Spellings that differ only in case or in "_" for "-"
// count as one language.
Result<TmxLanguages> listTmxLanguages(QIODevice& device, const QString& fileName);

// Whether a variant in language `actual` is one of `wanted` (rules above).
bool languageMatches(QStringView wanted, QStringView actual);

} // namespace solandre
