// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/delimited_reader.h"

namespace solandre::testing {

std::vector<std::vector<std::string>> parseDelimited(std::string_view file, char separator)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < file.size(); ++i) {
        const char c = file[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < file.size() && file[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            rows.emplace_back(1);
            ++i;
        } else {
            field += c;
        }
    }
    if (rows.back() == std::vector<std::string>(1)) rows.pop_back();
    return rows;
}

} // namespace solandre::testing
