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
