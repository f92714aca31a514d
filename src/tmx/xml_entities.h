// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The general entities declared in a DOCTYPE's internal subset, for the
// tokenizer to expand as XML asks of every reader. External entities are
// recorded only to be refused by name: nothing outside the file is read.
// An entity is resolved at its first use: to plain text when it holds no
// markup, else to the elements and text it holds, as events.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace solandre {

struct XmlEvent {
    enum class Kind { Text, Start, End };
    Kind kind;
    std::string name; // of an element
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text; // cleaned as a segment
};

struct XmlEntity {
    enum class Kind { Internal, External, Unparsed };
    Kind kind = Kind::Internal;
    // The replacement text: the literal with its character references
    // expanded and its line ends made LF.
    std::string replacement;

    enum class State { Unresolved, Resolving, Text, Markup };
    State state = State::Unresolved;
    std::string text;             // State::Text: every reference in it resolved
    std::vector<XmlEvent> events; // State::Markup
    size_t size = 0;              // bytes it adds where it is used
};

struct XmlEntities {
    // The most one entity may expand to: a nest of entities ten times
    // each ("billion laughs") is refused long before memory runs out.
    static constexpr size_t kMaxEntity = size_t(1) << 20;

    std::unordered_map<std::string, XmlEntity> general;
    size_t expanded = 0; // bytes added by every use so far
};

} // namespace solandre
