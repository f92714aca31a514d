// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sort buttons of concordance lines, the same in every lines window.

#include "search/line_keys.h"

namespace solandre {

struct LineSortButton {
    const char* name;
    const char* caption; // its "&" marks the Alt shortcut
    const char* tip;
    LineKey key;
};

inline constexpr LineSortButton kLineSortButtons[] = {
    {"trier_forme", "F&orma", "la forma", LineKey::Form},
    {"trier_gauche1", "1.ª &izquierda", "la primera palabra a la izquierda", LineKey::Left1},
    {"trier_gauche2", "2.ª i&zquierda", "la segunda palabra a la izquierda", LineKey::Left2},
    {"trier_droite1", "1.ª &derecha", "la primera palabra a la derecha", LineKey::Right1},
    {"trier_droite2", "2.ª d&erecha", "la segunda palabra a la derecha", LineKey::Right2},
};

} // namespace solandre
