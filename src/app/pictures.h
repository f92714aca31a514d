// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPixmap>

namespace solandre::pictures {

// Two facing pages with their lines joined: the program's emblem.
QPixmap logo(int size);

} // namespace solandre::pictures
