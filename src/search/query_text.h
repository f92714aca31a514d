// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A query found again in a piece of text a window shows (a sentence of either
// text), to mark it: the words of every match, in UTF-16 positions.

#include "search/query.h"

#include <QStringView>
#include <utility>
#include <vector>

namespace solandre {

// [start, length) of each word of each match, matches in text order; the
// words of overlapping matches once.
std::vector<std::pair<qsizetype, qsizetype>> matchedWords(QStringView text, const Query& query);

} // namespace solandre
