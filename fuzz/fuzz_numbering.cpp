// SPDX-License-Identifier: GPL-3.0-or-later
// The numbering engine against the step-by-step reading, in either encoding,
// and as a file is read: by the encoding rule (a UTF-16 text as UTF-8).
#include "common/encoding.h"
#include "common/text_file.h"
#include "numbering/numbering_engine.h"
#include "numbering/reference_numbering.h"
#include "support/reference_text.h"

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
    const TextFile file = TextFile::fromBytes(text);
    const reference::ReadText read = reference::asRead(text);
    if (file.encoding() != read.encoding ||
        numberText(file.text(), file.encoding()) != testing::referenceNumbering(read.text, read.encoding)) {
        std::fprintf(stderr, "mismatch: numbering of the text as read\n");
        std::abort();
    }
    return 0;
}
