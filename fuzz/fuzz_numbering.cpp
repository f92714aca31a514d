// SPDX-License-Identifier: GPL-3.0-or-later
// The numbering engine against the step-by-step reading, in the encoding the
// bytes would be read in.
#include "common/encoding.h"
#include "numbering/numbering_engine.h"
#include "numbering/reference_numbering.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace solandre;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        if (numberText(text, encoding) != testing::referenceNumbering(text, encoding)) {
            std::fprintf(stderr, "mismatch: numbering\n");
            std::abort();
        }
    }
    return 0;
}
