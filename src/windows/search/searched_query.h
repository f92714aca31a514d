// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search window as the windows that read its search reach it: what was
// searched (which the box may no longer hold), and whether a search is under
// way. The query is a label to them, whatever its form.

#include <QString>
#include <optional>

namespace solandre {

class FormRegistry;

class SearchedQuery {
public:
    // The query of the last search made, as typed; nothing before the first.
    virtual std::optional<QString> searchedQuery() const = 0;
    // While a search runs its grid is not its result yet.
    virtual bool searching() const = 0;

protected:
    ~SearchedQuery() = default;
};

// The search window's, when it is loaded.
const SearchedQuery* searchedQuery(FormRegistry& forms, const char* searchWindow);

} // namespace solandre
