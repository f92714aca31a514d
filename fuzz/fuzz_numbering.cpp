// The numbering engine against the step-by-step reading.
#include "numbering/numbering_engine.h"
#include "numbering/reference_numbering.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (solandre::numberText(text) != solandre::testing::referenceNumbering(text)) {
        std::fprintf(stderr, "mismatch: numbering\n");
        std::abort();
    }
    return 0;
}
