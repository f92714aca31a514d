#pragma once
#include <string>
#include <string_view>

namespace solandre::testing {

// The numbering written step by step as the rules state it, 1-based position,
// record buffer and a fresh look-ahead scan per "?" or "!" (quadratic on
// purpose: it is the plain reading the fast engine must agree with).
std::string referenceNumbering(std::string_view text);

} // namespace solandre::testing
