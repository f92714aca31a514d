// The viewer's marker scan and marking rule against the step-by-step scan:
// the first line is the marker (and the criterion), the rest the text.
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
    if (wordsToMark(text, marker) != reference::marks(text, marker)) {
        std::fprintf(stderr, "mismatch: marking\n");
        std::abort();
    }
    return 0;
}
