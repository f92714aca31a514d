// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two texts the viewer shows, each mapped for the life of the window with
// the places of its records. Both are opened at once, the translation on a
// thread of its own: on a big pair, opening is the whole wait before the
// first sentence shows.

#include "common/progress.h"
#include "common/text_file.h"
#include "viewer/record_table.h"

#include <QString>
#include <QStringList>

namespace solandre {

struct ViewedText {
    bool named = false;    // a path was given
    bool readable = false; // opened, and its records found
    TextFile text;
    RecordTable records;
};

struct ViewedPair {
    ViewedText source;
    ViewedText target;
    QStringList failures; // why a named text could not be read or shown, source first
};

// Opens the texts at `source` and `target` (either may be empty: none) into
// `pair`. False when `progress` stopped it; `pair` is then of no use.
bool openViewedPair(const QString& source, const QString& target, ViewedPair& pair, const Progress& progress = {});

} // namespace solandre
