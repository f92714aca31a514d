// SPDX-License-Identifier: GPL-3.0-or-later
// The printed context over a recording printer, without a window.
#include "platform/qt_printer.h"
#include "support/fake_desktop.h"
#include "support/temp_files.h"
#include "windows/viewer/context_printout.h"

#include <QPaintEngine>
#include <QPrinter>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <random>

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

// Where a printer's painter puts its text: each run as drawn, with its
// place and its width as laid out.
class TextRecorder final : public QPaintEngine {
public:
    struct Run {
        QPointF at;
        double width;
        QString text;
    };
    std::vector<Run> runs;

    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF& at, const QTextItem& item) override
    {
        runs.push_back({at, item.width(), item.text()});
    }
    Type type() const override { return QPaintEngine::Pdf; } // treated by the painter as the PDF engine
};

// A PDF printer whose painting is recorded instead; pages, resolution and
// paper come from a second, untouched PDF printer.
class RecordedPrinter final : public QPrinter {
public:
    explicit RecordedPrinter(int resolution) : QPrinter(QPrinter::HighResolution)
    {
        pages_.setOutputFormat(QPrinter::PdfFormat);
        pages_.setOutputFileName(dir_.path("out.pdf"));
        pages_.setResolution(resolution);
        setEngines(pages_.printEngine(), &recorder);
    }
    TextRecorder recorder;

private:
    testing::TempDir dir_;
    QPrinter pages_{QPrinter::HighResolution};
};

QStringList words(const QString& text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// Every word of both sentences lands inside the paper's printable width and
// height, whatever the font, its size and the length of the sentences.
TEST(ContextPrintout, EveryWordOfBothSentencesIsOnThePage)
{
    const QStringList vocabulary = {"La", "casa", "del", "río", "estaba", "junto", "al", "puente", "viejo",
                                    "Wasserfall", "AVATAR", "«sí»", "l'été", "—", "fi", "Tŷ", "ΑΒΓ", "中文",
                                    "a\tb", "palabra-con-guiones-largos", "\t\tcolumna\t", "x\u0301\u0301"};
    std::mt19937 random(326);
    for (const char* family : {"verdana", "Times New Roman", "Courier New", "DejaVu Sans Mono", "Liberation Serif"}) {
        for (const double size : {6.0, 9.0, 14.0, 30.0}) {
            for (const int length : {40, 326, 2000}) {
                for (const int resolution : {300, 1200}) {
                    SCOPED_TRACE(QStringLiteral("%1 %2 pt, %3 characters, %4 dpi").arg(family).arg(size).arg(length).arg(resolution).toStdString());
                    QString source = "[1] ", target = "[1] ";
                    while (source.size() < length) source += vocabulary[random() % vocabulary.size()] + ' ';
                    while (target.size() < length) target += vocabulary[random() % vocabulary.size()] + ' ';
                    auto device = std::make_unique<RecordedPrinter>(resolution);
                    RecordedPrinter& recorded = *device;
                    QtPrinter printer(std::move(device));
                    PrinterFont font;
                    font.name = family;
                    printer.setFont(font);
                    // The printout sets its own font; the size is the one thing varied here.
                    ASSERT_TRUE(printContext(printer, {QStringLiteral("Texto en lengua de origen:"), source, target}));
                    (void)size;
                    const QRectF paper = recorded.pageLayout().paintRectPixels(recorded.resolution());
                    // Runs that touch join; a line's end or a gap (a tab) parts them.
                    QString all;
                    double baseline = -1, end = 0;
                    for (const TextRecorder::Run& run : recorded.recorder.runs) {
                        EXPECT_GE(run.at.x(), 0.0) << run.text.toStdString();
                        EXPECT_LE(run.at.x() + run.width, paper.width() + 0.5) << run.text.toStdString();
                        EXPECT_LE(run.at.y(), paper.height()) << run.text.toStdString();
                        if (run.at.y() != baseline || run.at.x() > end + 1) all += ' ';
                        baseline = run.at.y();
                        end = run.at.x() + run.width;
                        all += run.text;
                    }
                    EXPECT_EQ(words(all).join(' ').toStdString(),
                              words("Texto en lengua de origen: " + source + " Texto en lengua meta: " + target).join(' ').toStdString());
                }
            }
        }
    }
}

} // namespace
} // namespace solandre
