// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results file of a search window: a heading, the grid's rows as a
// listing, then for every hit its source sentence and the target sentence of
// the same number; CR LF line ends, written safely. Windows-1252 when both
// texts are and the heading fits; otherwise UTF-8 with a byte-order mark,
// every part converted.

#include "common/encoding.h"
#include "common/fileio.h"
#include "common/progress.h"
#include "common/result.h"
#include "search/result_grid.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace solandre {

struct ResultsHeading {
    QString titleLine; // prefix and title
    QString dateLine;  // prefix and date
};

// A text's bytes and their encoding.
struct EncodedText {
    std::string_view bytes;
    Encoding encoding = Encoding::Windows1252;
};

// How each search window begins the title and the date lines (UTF-8 here).
struct ResultsPrefixes {
    const char* title;
    const char* date;
};
inline constexpr ResultsPrefixes kPreparedTextsPrefixes{"Référencia(s) : ", "búsqueda efectuada el : "};
inline constexpr ResultsPrefixes kFreshTextsPrefixes{"Referencia(s): ", "Búsqueda efectuada el : "};

ResultsHeading makeHeading(const ResultsPrefixes& prefixes, const QString& title, const QString& date);

// The segment of each marker in `markers`, in one pass over `text`: the
// marker and everything after it up to the next "["; what follows a later
// occurrence of the same marker is appended to it. Markers the text does
// not hold are absent.
std::unordered_map<std::string, std::string> findSegments(std::string_view text,
                                                          const std::vector<std::string>& markers);

// The encoding of the file of these texts and this heading.
Encoding resultsEncoding(const ResultsHeading& heading, const EncodedText& source,
                         const EncodedText& target);
// The same for a file of several texts' hits, and other lines it holds.
Encoding resultsEncoding(const ResultsHeading& heading, const std::vector<Encoding>& texts,
                         const QStringList& more = {});

// A results file as it is written, in its encoding (a UTF-8 one begins with
// its byte-order mark), handed to `sink` a megabyte at a time.
class ResultsText {
public:
    ResultsText(Encoding to, const std::function<void(std::string_view)>& sink);
    // The title and date lines, the separator and an empty line.
    void heading(const ResultsHeading& heading);
    void append(std::string_view bytes, Encoding from);
    // A cell of the listing's left column: padded so that what follows
    // starts at character 37, unless it is 35 characters or more.
    void column(std::string_view bytes, Encoding from);
    void separator(); // a line of 74 "-"
    void endLine();   // CR LF
    void finish();    // what is left to the sink

private:
    Encoding to_;
    const std::function<void(std::string_view)>& sink_;
    std::string out_;
};

// The source and target segments of a pair's markers, found in one pass
// over each text; `markers` in `markerEncoding`, the source's.
class SentenceSegments {
public:
    SentenceSegments(std::vector<std::string> markers, Encoding markerEncoding, const EncodedText& source,
                     const EncodedText& target);
    // The source line, then the target line when there is a target (empty
    // when it has no such marker).
    void write(ResultsText& out, const std::string& marker) const;

private:
    Encoding from_;
    EncodedText source_, target_;
    std::unordered_map<std::string, std::string> sourceSegments_, targetSegments_;
};

// The file's bytes, handed to `sink` in pieces. `target` empty: no target
// lines. The grid's rows are in the source's encoding. False when `progress`
// stopped it.
bool writeResults(const ResultsHeading& heading, const ResultGrid& grid, const EncodedText& source,
                  const EncodedText& target, const std::function<void(std::string_view)>& sink,
                  const Progress& progress = {});

// Writes the file through a temporary that replaces `path` only when whole.
Status saveResults(const FileRef& output, const ResultsHeading& heading, const ResultGrid& grid,
                   const EncodedText& source, const EncodedText& target,
                   const Progress& progress = {});

class Concordance;

// The saving as the search windows and the command line run it: refuses an
// output that is one of the two texts, reads the numbered target text whole
// (when it is named) and writes the file of the concordance's rows safely,
// with the sentences of the source text as it was indexed.
Status saveResultsFile(const FileRef& output, const Concordance& source, const FileRef& target,
                       const ResultsHeading& heading, const Progress& progress = {});

// The date line's date: day, month, year and the time of day when it has one.
QString formatSearchDate(const QDateTime& when);

} // namespace solandre
