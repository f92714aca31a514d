// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

namespace solandre::pictures {

// The navigation buttons' faces: one arrow for a sentence of the text, an
// arrow with a bar for a hit of the list, pointing back or on.
QIcon textStep(bool forward);
QIcon contextStep(bool forward);

} // namespace solandre::pictures
