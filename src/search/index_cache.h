// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Word indexes kept between openings, in the user's cache folder: built once,
// mapped at the next opening of the same text. An index is found by the
// text's path and checked against the text's key (text_key.h: which file,
// its size and times to the nanosecond, its content), and against a checksum
// of its own; a cache that does not match, or is damaged, is rebuilt, never
// trusted. The folder is the program's alone (cache_folder.h). A cache that
// cannot be written is simply not kept.

#include "common/text_file.h"
#include "search/word_index.h"

#include <QString>
#include <mutex>
#include <optional>
#include <thread>

namespace solandre {

class IndexCache {
public:
    // Every index kept: a collection's, as many as it has texts.
    static constexpr int kKeepAll = -1;

    // Indexes of texts smaller than `smallest` are not worth keeping.
    explicit IndexCache(QString folder, qint64 smallest = qint64(1) << 20, int kept = 16);
    ~IndexCache(); // waits for a store under way
    IndexCache(const IndexCache&) = delete;
    IndexCache& operator=(const IndexCache&) = delete;
    // The user's: the platform's cache location.
    static IndexCache& forUser();

    // The index of `text`, mapped from the cache, when there is a sound one.
    std::optional<WordIndex> load(const TextFile& text) const;
    // Keeps `index` for the next opening; false when it could not. Keeps at
    // most `kept` indexes, dropping the ones used longest ago.
    bool store(const TextFile& text, const WordIndex& index) const;
    // The same on a thread of its own, so that a window opens at once; one
    // store at a time.
    void storeLater(const TextFile& text, const WordIndex& index);

    const QString& folder() const { return folder_; }
    // Where the index of `text` is kept, or nothing for a text not kept.
    QString fileFor(const TextFile& text) const;

private:
    QString nameFor(const TextFile& text) const;

    QString folder_;
    qint64 smallest_;
    int kept_;
    std::mutex starting_;           // of the writer thread
    mutable std::mutex writingFile_; // one write of the folder at a time
    std::thread writer_;
};

} // namespace solandre
