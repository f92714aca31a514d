// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The translation candidates window as the windows of its search reach it:
// the search window and the viewer ask for the candidates of a form, and the
// viewer reads the best words listed to mark them. An interface here, below
// both, so that neither needs the window's library.

#include <QString>
#include <QStringList>

namespace solandre {

class CandidatesDisplay {
public:
    // Shows the window and lists the candidates of `form`.
    virtual void showCandidatesOf(const QString& form) = 0;
    // The same for the hits of the search window's grid as they are,
    // `shown` in the window's box.
    virtual void showCandidatesOfHits(const QString& shown) = 0;
    // The first `count` words listed, best first; none when nothing is listed.
    virtual QStringList bestWords(int count) const = 0;

protected:
    ~CandidatesDisplay() = default;
};

} // namespace solandre
