// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPixmap>

namespace solandre::pictures {

// The search button's face: a magnifying glass and "BÚSQUEDA" in dark blue
// capitals on a light blue field, 125 by 47 pixels.
QPixmap searchButton();

} // namespace solandre::pictures
