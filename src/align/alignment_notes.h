// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What aligned copies do not say and their review needs: where the sentences
// joined in each record began, with their markers, and how each pair was made
// (by the aligner and how surely, or by the user). Kept in the user's cache
// folder beside the word indexes, one file per pair of copies found by their
// paths, and checked against the copies' size, time of change and records:
// notes that do not match are not used. The languages last chosen for a
// memory of a pair are kept there too. Nothing here is ever needed: a cache
// emptied only means the review aligns the copies again.

#include "align/numbered_pair.h"

#include <QString>
#include <optional>
#include <utility>

namespace solandre {

class AlignmentNotes {
public:
    explicit AlignmentNotes(QString folder);
    // The user's: the platform's cache location.
    static const AlignmentNotes& forUser();

    // After the aligned copies of `pair` by `beads` were written; false when
    // the notes could not be kept.
    bool store(const PairAlignment& pair, const std::vector<Bead>& beads, const QString& sourceCopy,
               const QString& targetCopy) const;
    // Record k of one copy with record k of the other, each record's
    // sentences apart again; nothing without sound notes for these copies.
    std::optional<PairAlignment> pairing(const NumberedRecords& sourceCopy,
                                         const NumberedRecords& targetCopy) const;
    // Whether the two files are aligned copies with notes that match them.
    bool known(const QString& sourceCopy, const QString& targetCopy) const;
    void forget(const QString& sourceCopy, const QString& targetCopy) const;

    // The two languages of a memory exported from this pair, last chosen.
    std::optional<std::pair<QString, QString>> memoryLanguages(const QString& source,
                                                               const QString& target) const;
    void keepMemoryLanguages(const QString& source, const QString& target,
                             const std::pair<QString, QString>& languages) const;

    const QString& folder() const { return folder_; }

private:
    // Where the notes of the pair are kept with `suffix`; empty for files
    // that do not exist.
    QString fileFor(const QString& source, const QString& target, const char* suffix) const;

    QString folder_;
};

// The aligned pair written as writeAlignedPair does, then its notes kept:
// the one road of every writer of aligned copies.
Status writeAlignedCopies(const PairAlignment& pair, const std::vector<Bead>& beads, const FileRef& sourceOut,
                          const FileRef& targetOut, bool inPlace = false, const Progress& progress = {},
                          const AlignmentNotes& notes = AlignmentNotes::forUser());

// The pairing to review: the one the user has when the two texts are
// aligned copies with notes, otherwise the aligner's.
Result<PairAlignment> pairForReview(const FileRef& source, const FileRef& target, const Progress& progress = {},
                                    const AlignmentNotes& notes = AlignmentNotes::forUser());

} // namespace solandre
