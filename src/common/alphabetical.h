// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Alphabetical order, as the frequency lists and the concordance lines sort
// forms: the Unicode Collation Algorithm in the root order of CLDR (ICU's),
// so that «ábra» comes before «alma», and «öböl» before «oszlop» and «zebra»;
// forms it finds equal go by code point.

#include "common/progress.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace solandre {

// Sorts `ids` by the UTF-8 strings `text(id)`. False, the order untouched,
// when `progress` stopped it.
bool sortAlphabetically(std::vector<std::uint32_t>& ids, const std::function<std::string_view(std::uint32_t)>& text,
                        const Progress& progress = {});

} // namespace solandre
