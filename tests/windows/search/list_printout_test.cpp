// SPDX-License-Identifier: GPL-3.0-or-later
// The printed list over a recording printer, without a window.
#include "search/concordance.h"
#include "windows/search/list_printout.h"
#include "support/fake_desktop.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

std::string sentences(int count)
{
    std::string text;
    for (int s = 1; s <= count; ++s) text += "[" + std::to_string(s) + "] casa.\r\n";
    return text;
}

std::vector<QString> printed(const Concordance& concordance)
{
    testing::RecordingPrinter printer;
    EXPECT_TRUE(printResultList(printer, concordance.grid()));
    return printer.log;
}

TEST(ListPrintout, BreaksAPageAfterEverySixtyEightCountedLines)
{
    struct Case { const char* name; int hits; int pages; };
    const Case cases[] = {
        {"no hit: the header alone", 0, 1},
        {"67 hits fill the first page, and its break makes no empty page", 67, 1},
        {"the 68th hit starts page 2", 68, 2},
        {"67 + 68 + 1 hits take three pages", 67 + 68 + 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Concordance concordance(sentences(c.hits));
        concordance.search("casa");
        const auto log = printed(concordance);
        // A break asked for just before the end makes no page: the printer
        // takes a break when the next line comes.
        int pages = 1;
        for (size_t k = 0; k + 1 < log.size(); ++k) pages += log[k] == "page" && log[k + 1] != "end";
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(std::count(log.begin(), log.end(), "page"), c.hits / 68 + (c.hits % 68 == 67));
        EXPECT_EQ(log.back(), "end");
    }
}

TEST(ListPrintout, HeaderInBoldThenOneLinePerHitWithTheMarkerAtFiveThousandTwips)
{
    Concordance concordance("[1 uno dos.");
    concordance.search("uno"); // its marker is "[1 ", printed without the blank
    const std::vector<QString> expected = {
        "font verdana 12 bold", "print 'Forma(s)' stay", "x 5000", "print 'Referencia(s)' line",
        "print '" + QString(60, '-') + "' line", "font verdana 9", "print 'uno' stay", "x 5000",
        "print '[1' line", "end"};
    EXPECT_EQ(printed(concordance), expected);
}

TEST(ListPrintout, ReportsAPrinterThatRefusesTheDocument)
{
    testing::RecordingPrinter printer;
    printer.failAtEnd = true;
    EXPECT_FALSE(printResultList(printer, Concordance("[1] casa.\r\n").grid()));
}

} // namespace
} // namespace solandre
