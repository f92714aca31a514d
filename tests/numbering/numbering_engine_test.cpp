#include "numbering/number_files.h"
#include "numbering/numbering_engine.h"
#include "numbering/reference_numbering.h"
#include "support/temp_files.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;
using testing::readBytes;
using testing::referenceNumbering;
using testing::TempDir;

struct Example {
    const char* name;
    const char* text;     // UTF-8 here, Windows-1252 in the test
    const char* numbered; // "¶" stands for CR LF
};

std::string withCrLf(const char* utf8)
{
    std::string s = cp1252(utf8);
    std::string out;
    for (char c : s) out += (c == '\xB6') ? std::string("\r\n") : std::string(1, c);
    return out;
}

const Example kExamples[] = {
    {"two sentences", "Hola. Adios.", "[1] Hola.¶[2] Adios.¶"},
    {"leading blanks stay in the first record", "  Hola. Adios.", "[1]   Hola.¶[2] Adios.¶"},
    {"every dot closes", "Hola... Adios.", "[1] Hola.¶[2] .¶[3] .¶[4] Adios.¶"},
    {"inverted question mark dropped", "Hola. ¿Qué tal? Bien.", "[1] Hola.¶[2] Qué tal?¶[3] Bien.¶"},
    {"question before lower case goes on", "Vienes? dijo él.", "[1] Vienes? dijo él.¶"},
    {"digits do not decide", "Eh! 3 peras. Bien.", "[1] Eh! 3 peras.¶[2] Bien.¶"},
    {"digits dropped after a close", "Eh! 3 Peras.", "[1] Eh!¶[2] Peras.¶"},
    {"lone mark closing", "Hola. ! No.", "[1] Hola.¶[2] !¶[3] No.¶"},
    {"lone mark opening", "Hola. ! no.", "[1] Hola.¶[2] !no.¶"},
    {"brackets become angles", "Ver [nota] aquí.", "[1] Ver <nota> aquí.¶"},
    {"line break stays inside", "Uno\r\ndos.", "[1] Uno\r\ndos.¶"},
    {"text after the last end is dropped", "Fin. Sin punto", "[1] Fin.¶"},
    {"exclamation at the very end never closes", "¡Fin!", ""},
    {"accented capital closes", "Es así? Ésta es.", "[1] Es así?¶[2] Ésta es.¶"},
    {"accented small goes on", "Es así? ésta es.", "[1] Es así? ésta es.¶"},
    {"sharp s counts as upper case", "Es así? ß.", "[1] Es así?¶[2] ß.¶"},
    {"OE ligature is no letter", "Es así? Œ 12.", "[1] Es así? Œ 12.¶"},
    {"empty text", "", ""},
    {"no end mark", "Sin final", ""},
};

TEST(NumberText, WorkedExamples)
{
    for (const auto& e : kExamples) {
        SCOPED_TRACE(e.name);
        const std::string text = cp1252(e.text);
        EXPECT_EQ(numberText(text), withCrLf(e.numbered));
        EXPECT_EQ(referenceNumbering(text), withCrLf(e.numbered));
    }
}

TEST(NumberText, AgreesWithTheStepByStepReadingOnRandomTexts)
{
    const std::vector<std::string> pieces = {
        "a", "B", "casa", "Casa", "é", "É", "ß", "ÿ", "Œ", "7", " ", "  ", "\t", "\r\n",
        "[", "]", "¿", "¡", ".", "?", "!", "...", "?!", "\"", "×",
    };
    std::vector<std::string> bytes;
    for (const auto& p : pieces) bytes.push_back(cp1252(p.c_str()));
    std::mt19937 random(20261207);
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 120)(random);
        for (int k = 0; k < length; ++k)
            text += bytes[std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random)];
        ASSERT_EQ(numberText(text), referenceNumbering(text)) << "text: " << text;
    }
}

TEST(NumberText, TextsLargerThanOneOutputPiece)
{
    // Several megabytes, so the output leaves in several pieces; it ends with
    // an unfinished sentence that must not be written.
    std::string text;
    while (text.size() < (5u << 20))
        text += cp1252("Hola [1]. ¿Qué tal? bien! Y tú?\r\nSí... ¡Ya! ");
    text += "Sin final";
    int pieces = 0;
    std::string joined;
    numberText(text, [&](std::string_view piece) {
        ++pieces;
        joined += piece;
    });
    EXPECT_GT(pieces, 3);
    EXPECT_EQ(joined, referenceNumbering(text));
}

TEST(NumberText, LongRunsOfMarksStayLinear)
{
    // Quadratic look-ahead would take hours on these.
    const std::string marks(4'000'000, '?');
    EXPECT_EQ(numberText(marks), "");

    const std::string beforeCapital = marks + "A.";
    const std::string numbered = numberText(beforeCapital);
    EXPECT_EQ(numbered.substr(0, 14), "[1] ?\r\n[2] ?\r\n");
    EXPECT_TRUE(numbered.ends_with("\r\n[4000000] ?\r\n[4000001] A.\r\n"));

    const std::string beforeSmall = std::string(2'000'000, '!') + "a.";
    EXPECT_EQ(numberText(beforeSmall), "[1] " + beforeSmall + "\r\n");
}

TEST(NumberText, HasNoSixteenBitSentenceLimit)
{
    std::string text;
    for (int i = 0; i < 40000; ++i) text += "Una frase. ";
    const std::string numbered = numberText(text);
    EXPECT_NE(numbered.find("[32766] Una frase.\r\n[32767] Una frase.\r\n[32768] Una"),
              std::string::npos);
    EXPECT_TRUE(numbered.ends_with("\r\n[40000] Una frase.\r\n"));
}

TEST(NumberFiles, WritesTheNumberedCopiesAndCountsTheirRecords)
{
    TempDir dir;
    const QString input = dir.write("in.txt", cp1252("Hola. ¿Qué tal?\r\nBien."));
    const QString output = dir.write("out.txt", "old content that must go");
    const auto copy = numberFile(input, output);
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(copy.value().records, 3u);
    EXPECT_EQ(copy.value().output, output);
    EXPECT_EQ(readBytes(output), cp1252("[1] Hola.\r\n[2] Qué tal?\r\n[3] Bien.\r\n"));

    const QString empty = dir.write("empty.txt", "");
    const auto none = numberFile(empty, output);
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none.value().records, 0u);
    EXPECT_EQ(readBytes(output), "");
    EXPECT_EQ(dir.entries().size(), 3);

    const QString target = dir.write("cible.txt", "Un. Deux.");
    const auto both = numberFiles({{input, dir.path("a_ref.txt")}, {target, dir.path("b_ref.txt")}});
    ASSERT_TRUE(both.ok());
    EXPECT_EQ(both.value()[0].records, 3u);
    EXPECT_EQ(both.value()[1].records, 2u);
    EXPECT_EQ(readBytes(dir.path("b_ref.txt")), "[1] Un.\r\n[2] Deux.\r\n");
}

TEST(NumberFiles, FailuresNameTheFileAndKeepEveryOutput)
{
    TempDir dir;
    const QString input = dir.write("in.txt", "Hola.");
    const QString pdf = dir.write("doc.pdf", "%PDF-1.4\n%binary");
    const QString output = dir.write("out.txt", "precious");
    const QString other = dir.write("other.txt", "also precious");
    QFile::link(input, dir.path("link.txt"));
    ASSERT_EQ(::link(QFile::encodeName(input).constData(),
                     QFile::encodeName(dir.path("hard.txt")).constData()), 0);
    struct Case { const char* name; std::vector<NumberingJob> jobs; QString named; const char* reason; };
    const Case cases[] = {
        {"missing input", {{dir.path("missing.txt"), output}}, dir.path("missing.txt"), ""},
        {"input is a folder", {{dir.root(), output}}, dir.root(), ""},
        {"output in a missing folder", {{input, dir.path("no/out.txt")}}, dir.path("no/out.txt"), ""},
        {"empty output path", {{input, QString()}}, QString(), "nombre"},
        {"output is the input", {{input, input}}, input, "textos de entrada"},
        {"output is the input through a link", {{input, dir.path("link.txt")}}, dir.path("link.txt"),
         "textos de entrada"},
        {"output is the input through a hard link", {{input, dir.path("hard.txt")}},
         dir.path("hard.txt"), "textos de entrada"},
        {"output is the input spelt another way", {{input, dir.root() + "/./in.txt"}},
         dir.root() + "/./in.txt", "textos de entrada"},
        {"output is the other job's input", {{input, output}, {other, input}}, input, "textos de entrada"},
        {"both outputs alike", {{input, output}, {other, output}}, output, "textos de entrada"},
        {"a PDF as the second input: nothing written", {{input, output}, {pdf, other}}, pdf,
         "parece un documento PDF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto done = numberFiles(c.jobs);
        ASSERT_FALSE(done.ok());
        const QString message = done.error().message;
        EXPECT_TRUE(message.contains(c.named)) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << message.toStdString();
    }
    EXPECT_EQ(readBytes(input), "Hola.");
    EXPECT_EQ(readBytes(output), "precious");
    EXPECT_EQ(readBytes(other), "also precious");
    EXPECT_EQ(dir.entries(), (QStringList{"doc.pdf", "hard.txt", "in.txt", "link.txt", "other.txt", "out.txt"}));
}

} // namespace
} // namespace solandre
