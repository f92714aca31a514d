// SPDX-License-Identifier: GPL-3.0-or-later
// The printed context over a recording printer, without a window.
#include "support/fake_desktop.h"
#include "windows/viewer/context_printout.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

std::vector<QString> printed(const QString& source, const QString& target)
{
    testing::RecordingPrinter printer;
    EXPECT_TRUE(printContext(printer, {QStringLiteral("Texto en lengua de origen:"), source, target}));
    return printer.log;
}

TEST(ContextPrintout, BothTextsUnderBoldUnderlinedHeadings)
{
    // Blanks at 50 and 85 of a 100-character target: lines 1-85 and 86-100.
    const QString target = QString(49, 'a') + ' ' + QString(34, 'b') + ' ' + QString(15, 'c');
    const QString source = "[1] " + QString(50, 'x') + " y.";
    const std::vector<QString> expected = {
        "font verdana 9", "font verdana 9 bold underline",
        "print 'Texto en lengua de origen:' line", "font verdana 9",
        "print '" + source + "' line", "font verdana 9 bold underline",
        "print 'Texto en lengua meta:' line", "font verdana 9",
        "print '" + target.left(85) + "' line", "print '" + target.mid(85) + "' line", "end"};
    EXPECT_EQ(printed(source, target), expected);
}

TEST(ContextPrintout, TargetLinesBreakAtTheFirstBlankPastTheEightiethCharacter)
{
    struct Case { const char* name; QString text; QStringList lines; };
    const QString exact = QString(80, 'w') + ' ';
    const Case cases[] = {
        {"empty: one empty line", "", {""}},
        {"eighty characters: one line", QString(79, 'a') + ' ', {QString(79, 'a') + ' '}},
        {"no blank past 80: one line however long", QString(150, 'z'), {QString(150, 'z')}},
        {"a blank as 81st character ends the line, an empty one follows", exact, {exact, ""}},
        {"a line break counts as a character", QString(85, 'a') + "\n b",
         {QString(85, 'a') + "\n ", "b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(targetLines(c.text), c.lines) << c.name;
}

} // namespace
} // namespace solandre
