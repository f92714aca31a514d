// SPDX-License-Identifier: GPL-3.0-or-later
// The results file's one-pass segment lookup against the whole scan per
// marker: the first line holds the markers, split at "|", the rest the text.
#include "fuzz_input.h"
#include "search/reference_search.h"
#include "search/results_file.h"

#include <cstdio>
#include <cstdlib>

using namespace solandre;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [line, text] = fuzz::argumentAndText(data, size);
    std::vector<std::string> markers{"[1]", "[2]"};
    for (size_t from = 0;;) {
        const size_t bar = line.find('|', from);
        markers.emplace_back(line.substr(from, bar == std::string_view::npos ? line.npos : bar - from));
        if (bar == std::string_view::npos) break;
        from = bar + 1;
    }
    const auto segments = findSegments(text, markers);
    for (const std::string& m : markers) {
        const auto it = segments.find(m);
        const std::string fast = it == segments.end() ? std::string() : it->second;
        if (fast != reference::segment(text, m)) {
            std::fprintf(stderr, "mismatch: segment of '%s'\n", m.c_str());
            std::abort();
        }
    }
    return 0;
}
