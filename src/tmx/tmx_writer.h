// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing segment pairs as a TMX 1.4b document, UTF-8, piece by piece to a
// byte sink: the whole document is never held.
//
// Text is escaped for XML (& < > in text, and " in attributes). The controls
// XML 1.0 does not allow (all but TAB, LF and CR) become blanks, so that the
// words on either side stay apart; U+FFFE and U+FFFF are dropped; invalid
// UTF-8 becomes U+FFFD. A CR is written &#13; so that a reader gets it back
// rather than a line break.

#include <QDateTime>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

namespace solandre {

struct TmxWriterSettings {
    // srclang of the header and xml:lang of the source variants, in the
    // canonical casing of a language tag (language_tag.h) when it is one
    QString sourceLanguage;
    QString targetLanguage;
    QString toolVersion;    // creationtoolversion
    QDateTime creationDate; // written in UTC; left out when invalid
};

class TmxWriter {
public:
    using ByteSink = std::function<void(std::string_view)>;

    // The sink receives the document in pieces of up to about 64 KB.
    TmxWriter(ByteSink sink, const TmxWriterSettings& settings);
    TmxWriter(const TmxWriter&) = delete;
    TmxWriter& operator=(const TmxWriter&) = delete;

    // Adds one unit of two UTF-8 segments. A pair with both sides empty is
    // skipped; an empty side gets no variant. A side of nothing but
    // characters XML does not allow counts as empty.
    void add(std::string_view source, std::string_view target);

    // Closes the document and hands over what is left. Nothing may be added
    // afterwards. A writer destroyed unfinished leaves the document open, as
    // an unfinished output should be discarded anyway.
    void finish();

    qint64 unitsWritten() const { return units_; }
    qint64 pairsSkipped() const { return skipped_; }

private:
    void flush();

    ByteSink sink_;
    std::string buffer_;
    std::string sourceVariant_; // <tuv xml:lang="..."><seg>
    std::string targetVariant_;
    std::string source_;        // escaped segments of the unit being added
    std::string target_;
    qint64 units_ = 0;
    qint64 skipped_ = 0;
    bool finished_ = false;
};

// Appends `text` escaped for XML content, or for a quoted attribute value.
void appendXmlEscaped(std::string& out, std::string_view text, bool attribute);

} // namespace solandre
