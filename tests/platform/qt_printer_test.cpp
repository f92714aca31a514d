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

// A run laid out whole can be wider than its characters one by one (kerning
// that widens, shaping, tabs): every piece must fit as it is laid out.
TEST(BreakToWidth, WhatAPieceShowsFitsWhenMeasuredWhole)
{
    // Each character one unit, and half a unit between two characters of a run.
    const auto laidOut = [](QStringView run) { return run.isEmpty() ? 0.0 : run.size() * 1.5 - 0.5; };
    const QString lines[] = {"uno dos tres cuatro cinco seis siete ocho nueve diez",
                             "a bb ccc dddd eeeee ffffff ggggggg",
                             QString(40, 'x') + " y " + QString(7, 'z'),
                             "palabra  con   blancos    dobles"};
    for (const QString& line : lines) {
        for (const double room : {4.0, 8.0, 13.0, 30.0}) {
            SCOPED_TRACE(QStringLiteral("%1 in %2").arg(line).arg(room).toStdString());
            const QStringList pieces = breakToWidth(line, room, laidOut);
            EXPECT_EQ(pieces.join(QString()), line);
            for (QString piece : pieces) {
                while (piece.endsWith(' ')) piece.chop(1);
                EXPECT_LE(laidOut(piece), room) << piece.toStdString();
            }
        }
    }
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
