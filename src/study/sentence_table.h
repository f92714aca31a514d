// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sentences of a numbered text by marker, as the concordance lines show
// one beside a hit and the export writes them: the record of the marker
// without the marker, blanks and line ends trimmed at both ends. A regularly
// numbered text is read once for the place of every record; any other is
// scanned, once for all the markers an export needs.

#include "common/encoding.h"
#include "common/progress.h"
#include "viewer/record_table.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace solandre {

class SentenceTable {
public:
    SentenceTable() = default; // of no text: every sentence is empty

    // The text must outlive the table. Nothing when `progress` stopped it.
    static std::optional<SentenceTable> build(std::string_view text, Encoding encoding,
                                              const Progress& progress = {});

    Encoding encoding() const { return encoding_; }
    bool empty() const { return text_.empty(); }
    bool regular() const { return records_.regular(); }

    // Longer than this, a marker is no sentence's: a "[" never closed
    // collects every blank after it.
    static constexpr size_t kMaxMarker = 256;

    // For a text that is not regularly numbered: finds the records of all
    // these markers (in the text's encoding) in one pass; afterwards no
    // other marker is looked for.
    void gather(const std::vector<std::string>& markers);

    // The sentence of `marker`, written in `markerEncoding`, in the text's
    // encoding; empty when the text has no such record.
    std::string sentence(std::string_view marker, Encoding markerEncoding) const;

private:
    std::string_view text_;
    Encoding encoding_ = Encoding::Windows1252;
    RecordTable records_;
    bool gatheredAll_ = false;
    std::unordered_map<std::string, std::string> gathered_;
};

// A record without its leading marker, trimmed.
std::string_view sentenceOfRecord(std::string_view record, std::string_view marker);

// A marker written in one encoding, in another (markers are ASCII unless odd);
// nothing when the other cannot write it.
std::optional<std::string> markerIn(std::string_view marker, Encoding from, Encoding to);

} // namespace solandre
