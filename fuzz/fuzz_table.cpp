// SPDX-License-Identifier: GPL-3.0-or-later
// The table reader against the plain reading of its rules: the input is the
// file, read as a table is (the encoding rule, then the rows), and also
// straight as UTF-8 and as Windows-1252 bytes, a few bytes at a time.
#include "fuzz_input.h"
#include "common/text_file.h"
#include "reference_table.h"
#include "support/reference_text.h"
#include "tmx_test_support.h"

#include <QBuffer>
#include <cstdio>
#include <cstdlib>

using namespace solandre;
using fuzz::check;

namespace {


std::vector<SegmentPair> rowsOf(std::string_view bytes, TableEncoding encoding, qint64 step)
{
    testing::TrickleDevice device(QByteArray(bytes.data(), qsizetype(bytes.size())), step);
    std::vector<SegmentPair> rows;
    const auto read = readTsv(device, "t.tsv", encoding, [&](const SegmentPair& row) {
        rows.push_back(row);
        return true;
    });
    check(read.ok(), "a table that cannot be read");
    return rows;
}

TableEncoding tableEncoding(Encoding e)
{
    return e == Encoding::Utf8 ? TableEncoding::Utf8 : TableEncoding::Windows1252;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qint64 step = qint64(size % 5);

    // As a table file is read: its encoding first.
    const TextFile text = TextFile::fromBytes(std::string(bytes));
    const reference::ReadText read = reference::asRead(bytes);
    check(text.text() == read.text && text.encoding() == read.encoding, "the encoding rule");
    check(rowsOf(text.text(), tableEncoding(text.encoding()), step) ==
              reference::tableRows(read.text, tableEncoding(read.encoding)),
          "rows of the file");

    for (const TableEncoding encoding : {TableEncoding::Utf8, TableEncoding::Windows1252})
        check(rowsOf(bytes, encoding, step) == reference::tableRows(bytes, encoding), "rows of the bytes");
    return 0;
}
