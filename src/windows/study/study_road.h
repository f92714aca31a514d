// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the study windows (concordance lines, frequencies, translation
// candidates) take from the search window that opened them: its texts, its
// grid and its viewer. One road per search window.

#include "forms/form_names.h"
#include "forms/text_pair.h"

namespace solandre {

struct StudyRoad {
    TextPair texts;
    const char* searchWindow;
    const char* viewer;
    const char* candidates;
};

inline constexpr StudyRoad kPreparedTextsStudy{kPreparedTexts, names::Frmcontexte, names::frmaff_contexte,
                                               names::frmcandidats};
inline constexpr StudyRoad kFreshTextsStudy{kFreshTexts, names::Frmcontexte02, names::frmaff_contexte02,
                                            names::frmcandidats02};

} // namespace solandre
