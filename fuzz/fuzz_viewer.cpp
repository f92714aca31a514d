// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's marker scan and marking rule against the step-by-step scan:
// the first line is the marker (and the criterion), the rest the text
// (read as UTF-8 for the marking).
#include "fuzz_input.h"
#include "viewer/context_scan.h"
#include "viewer/reference_context.h"

#include <cstdio>
#include <cstdlib>

using namespace solandre;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [marker, text] = fuzz::argumentAndText(data, size);
    reference::ViewerState expected{"pane", "previous", "next"};
    reference::scanInto(expected, text, marker);

    const ContextScan scan = scanForMarker(text, marker);
    reference::ViewerState actual{"pane", "previous", "next"};
    if (scan.found) actual.pane = scan.record;
    if (scan.previous) actual.previous = *scan.previous;
    if (scan.next) actual.next = *scan.next;
    if (actual.pane != expected.pane || actual.previous != expected.previous ||
        actual.next != expected.next) {
        std::fprintf(stderr, "mismatch: marker scan\n");
        std::abort();
    }
    const QString pane = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QString criterion = QString::fromUtf8(marker.data(), qsizetype(marker.size()));
    if (wordsToMark(pane, criterion) != reference::marks(pane, criterion)) {
        std::fprintf(stderr, "mismatch: marking\n");
        std::abort();
    }
    return 0;
}
