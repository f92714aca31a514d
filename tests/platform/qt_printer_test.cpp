// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_printer.h"
#include "support/temp_files.h"

#include <QPrinter>
#include <gtest/gtest.h>

namespace solandre {
namespace {

// Every character one unit wide.
double units(QStringView text) { return double(text.size()); }

TEST(BreakToWidth, BreaksAtBlanksAndInsideAWordOnlyWhenItIsWiderThanTheRoom)
{
    struct Case { const char* name; QString line; double room; QStringList pieces; };
    const Case cases[] = {
        {"a line that fits", "uno dos", 10, {"uno dos"}},
        {"an empty line", "", 10, {""}},
        {"at the last blank that fits", "uno dos tres", 8, {"uno dos ", "tres"}},
        {"blanks stay with the piece they end", "uno  dos", 4, {"uno  ", "dos"}},
        {"a word wider than the room", "abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"a long word after a short one", "ab cdefghij", 4, {"ab ", "cdef", "ghij"}},
        {"exactly the room", "abcd", 4, {"abcd"}},
        {"a surrogate pair is never split", QString::fromUtf8("ab😀cd"), 3,
         {QString::fromUtf8("ab"), QString::fromUtf8("😀c"), "d"}},
    };
    for (const Case& c : cases) EXPECT_EQ(breakToWidth(c.line, c.room, units), c.pieces) << c.name;
}

int pdfPages(const QString& path)
{
    const std::string pdf = testing::readBytes(path);
    int pages = 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0;
    return pages;
}

TEST(QtPrinter, ALineWiderThanThePaperGoesOnBelowInsteadOfOffTheEdge)
{
    testing::TempDir dir;
    QtPrinter printer;
    printer.device().setOutputFormat(QPrinter::PdfFormat);
    printer.device().setOutputFileName(dir.path("largo.pdf"));
    QString sentence;
    while (sentence.size() < 40000) sentence += "palabra ";
    printer.print(sentence, true); // about 450 lines of a page width: several pages
    ASSERT_TRUE(printer.endDocument());
    EXPECT_GE(pdfPages(dir.path("largo.pdf")), 5);
}

} // namespace
} // namespace solandre
