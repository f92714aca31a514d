// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two numbered texts a search window, its viewer and its saving work on,
// named by the window and the boxes that hold their paths.

#include "forms/form_names.h"

namespace solandre {

struct TextPair {
    const char* form;
    const char* source; // searched
    const char* target; // only shown, saved and printed beside it
};

// Texts the user already has in numbered form, named in the main window.
inline constexpr TextPair kPreparedTexts{names::frmtexte, "Text_latin", "Text_francais"};
// The numbered copies just written by the numbering window.
inline constexpr TextPair kFreshTexts{names::frmnumerotation, "Text_source_bis", "Text_cible_bis"};

} // namespace solandre
