// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/number_files.h"
#include "numbering/numbering_engine.h"
#include "numbering/reference_numbering.h"
#include "support/temp_files.h"

#include <algorithm>

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
    const char* text;     // UTF-8 here; Windows-1252 or UTF-8 in the test
    const char* numbered; // "¶" stands for CR LF
};

std::string withCrLf(const char* utf8)
{
    std::string out;
    for (const std::string_view s(utf8); const char c : s) out += c;
    size_t at;
    while ((at = out.find("¶")) != std::string::npos) out.replace(at, std::string("¶").size(), "\r\n");
    return out;
}

std::string in(Encoding encoding, const std::string& utf8)
{
    return encoding == Encoding::Utf8 ? utf8 : cp1252(utf8.c_str());
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
    {"the last sentence is kept without a final mark", "Fin. Sin punto", "[1] Fin.¶[2] Sin punto¶"},
    {"and without the blanks that trail it", "Fin. Sin punto \t\r\n", "[1] Fin.¶[2] Sin punto¶"},
    {"an exclamation at the very end keeps its sentence", "¡Fin!", "[1] ¡Fin!¶"},
    {"a question that goes on to the end", "Hola. ¿Vienes? dijo", "[1] Hola.¶[2] Vienes? dijo¶"},
    {"blanks alone after the last sentence write nothing", "Fin.  \r\n ", "[1] Fin.¶"},
    {"digits alone after the last sentence write nothing", "Fin. 12 ", "[1] Fin.¶"},
    {"accented capital closes", "Es así? Ésta es.", "[1] Es así?¶[2] Ésta es.¶"},
    {"accented small goes on", "Es así? ésta es.", "[1] Es así? ésta es.¶"},
    {"sharp s counts as upper case", "Es así? ß.", "[1] Es así?¶[2] ß.¶"},
    {"OE ligature is an upper-case letter", "Es así? Œ 12.", "[1] Es así?¶[2] Œ 12.¶"},
    {"a sentence may begin with Œ", "Fin. Œuvre. Š.", "[1] Fin.¶[2] Œuvre.¶[3] Š.¶"},
    {"œ, š and ž are lower-case", "Ah? œuvre. Oh! šest. Eh? žena.", "[1] Ah? œuvre.¶[2] Oh! šest.¶[3] Eh? žena.¶"},
    {"empty text", "", ""},
    {"no end mark", "Sin final", "[1] Sin final¶"},
};

TEST(NumberText, WorkedExamplesInBothEncodings)
{
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        for (const auto& e : kExamples) {
            SCOPED_TRACE(std::string(e.name) + (encoding == Encoding::Utf8 ? " (UTF-8)" : " (1252)"));
            const std::string text = in(encoding, e.text);
            const std::string expected = in(encoding, withCrLf(e.numbered));
            EXPECT_EQ(numberText(text, encoding), expected);
            EXPECT_EQ(referenceNumbering(text, encoding), expected);
        }
    }
}

TEST(NumberText, OtherScriptsAndTheirMarks)
{
    struct Case { const char* name; const char* text; const char* numbered; };
    const Case cases[] = {
        {"Polish", "Łódź leży w Polsce. Kraków też.", "[1] Łódź leży w Polsce.¶[2] Kraków też.¶"},
        {"Czech: a question before Ř closes", "Proč? Řekl to.", "[1] Proč?¶[2] Řekl to.¶"},
        {"Greek: before a small letter it goes on", "Τι; Ναι! είπε. Αθήνα.", "[1] Τι; Ναι! είπε.¶[2] Αθήνα.¶"},
        {"Russian", "Привет! Как дела? хорошо.", "[1] Привет!¶[2] Как дела? хорошо.¶"},
        // Letters without case count as upper-case: "！" before one closes.
        {"Chinese marks close", "我来了。你好！他说。", "[1] 我来了。¶[2] 你好！¶[3] 他说。¶"},
        {"Chinese fullwidth full stop", "一．二．", "[1] 一．¶[2] 二．¶"},
        {"Hindi danda and double danda", "राम घर गया। सीता आई॥ अंत", "[1] राम घर गया।¶[2] सीता आई॥¶[3] अंत¶"},
        {"Arabic question mark", "هل أنت هنا؟ نعم.", "[1] هل أنت هنا؟¶[2] نعم.¶"},
        {"fullwidth question mark before a capital closes", "Why？ Because.", "[1] Why？¶[2] Because.¶"},
        {"brackets inside other scripts", "Слово [примечание] тут.", "[1] Слово <примечание> тут.¶"},
        {"Thai", "ฉันรักภาษาไทย. ดีมาก.", "[1] ฉันรักภาษาไทย.¶[2] ดีมาก.¶"},
        // Marks are letters: one that opens a sentence is kept with it.
        {"a combining mark opening a sentence", "Uno. \u0301dos.", "[1] Uno.¶[2] \u0301dos.¶"},
        {"a vowel sign opening a sentence", "क। \u093Fक।", "[1] क।¶[2] \u093Fक।¶"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(numberText(c.text, Encoding::Utf8), withCrLf(c.numbered));
        EXPECT_EQ(referenceNumbering(c.text, Encoding::Utf8), withCrLf(c.numbered));
    }
}

TEST(NumberText, AgreesWithTheStepByStepReadingOnRandomTexts)
{
    const std::vector<std::string> common = {
        "a", "B", "casa", "Casa", "é", "É", "ß", "ÿ", "Œ", "œ", "Š", "ƒ", "7", " ", "  ", "\t",
        "\r\n", "[", "]", "¿", "¡", ".", "?", "!", "...", "?!", "\"", "×", "µ", "ª",
    };
    const std::vector<std::string> unicode = {
        "Ł", "ó", "ź", "Ř", "ě", "Σ", "ς", "α", "Ж", "ы", "我", "。", "．", "？", "！", "।",
        "॥", "؟", "ب", "क", "ि", "😀", "\xC3", "\xA9", "\xE2\x82",
    };
    std::mt19937 random(20261207);
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        std::vector<std::string> pieces;
        for (const auto& p : common) pieces.push_back(in(encoding, p));
        if (encoding == Encoding::Utf8) pieces.insert(pieces.end(), unicode.begin(), unicode.end());
        for (int round = 0; round < 4000; ++round) {
            std::string text;
            const int length = std::uniform_int_distribution<int>(0, 120)(random);
            for (int k = 0; k < length; ++k)
                text += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)];
            ASSERT_EQ(numberText(text, encoding), referenceNumbering(text, encoding)) << "text: " << text;
        }
    }
}

TEST(NumberText, AUtf8TextNumbersAsItsWindows1252Twin)
{
    const std::vector<std::string> pieces = {"Casa", "canción", "Œuvre", "œil", " ", ".", "? ",
                                             "! ", "¿", "¡", "\r\n", "Ñandú", "ß", "7", "[x]"};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string utf8;
        for (int k = std::uniform_int_distribution<int>(0, 60)(random); k > 0; --k)
            utf8 += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)];
        const std::string twin = cp1252(utf8.c_str());
        ASSERT_EQ(numberText(utf8, Encoding::Utf8), toUtf8(numberText(twin), Encoding::Windows1252))
            << "text: " << utf8;
    }
}

TEST(NumberText, TextsLargerThanOneOutputPiece)
{
    // Several megabytes, so the output leaves in several pieces; it ends with
    // an unfinished sentence, written without its trailing blanks.
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        std::string text;
        while (text.size() < (5u << 20)) text += in(encoding, "Hola [1]. ¿Qué tal? bien! Y tú?\r\nSí... ¡Ya! ");
        text += "Sin final  ";
        int pieces = 0;
        std::string joined;
        numberText(text, encoding, [&](std::string_view piece) {
            ++pieces;
            joined += piece;
        });
        EXPECT_GT(pieces, 3);
        EXPECT_EQ(joined, referenceNumbering(text, encoding));
    }
}

TEST(NumberText, ASentenceLongerThanTheBufferIsHandedOnAsItGrows)
{
    // Ten megabytes without an end mark: written in pieces, not held whole.
    std::string text = "Sin fin";
    while (text.size() < (10u << 20)) text += " y sigue";
    text += " \r\n";
    size_t largest = 0;
    std::string joined;
    numberText(text, Encoding::Windows1252, [&](std::string_view piece) {
        largest = std::max(largest, piece.size());
        joined += piece;
    });
    EXPECT_LT(largest, size_t(3) << 20);
    EXPECT_EQ(joined, "[1] " + text.substr(0, text.size() - 3) + "\r\n");
}

TEST(NumberText, ProgressIsToldAndCanStopIt)
{
    std::string text;
    while (text.size() < (8u << 20)) text += "Una frase. Otra? Sí! ";
    std::vector<size_t> told;
    const auto all = numberText(text, Encoding::Windows1252, [](std::string_view) {},
                                [&](size_t read) {
                                    told.push_back(read);
                                    return true;
                                });
    ASSERT_TRUE(all.has_value());
    ASSERT_GE(told.size(), 4u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), text.size());
    const auto stopped = numberText(text, Encoding::Windows1252, [](std::string_view) {},
                                    [](size_t read) { return read < (2u << 20); });
    EXPECT_FALSE(stopped.has_value());
}

TEST(NumberText, LongRunsOfMarksStayLinear)
{
    // Quadratic look-ahead would take hours on these.
    const std::string marks(4'000'000, '?');
    EXPECT_EQ(numberText(marks), ""); // no letter: nothing to write

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

TEST(NumberFiles, ACopyKeepsItsTextsEncodingAndMark)
{
    TempDir dir;
    using namespace std::string_literals;
    struct Case { const char* name; std::string input; std::string output; };
    const Case cases[] = {
        {"Windows-1252 stays Windows-1252", "Canci\xF3n. Otra.", "[1] Canci\xF3n.\r\n[2] Otra.\r\n"},
        {"UTF-8 stays UTF-8", "Canci\xC3\xB3n. \xC5\x81\xC3\xB3d\xC5\xBA.",
         "[1] Canci\xC3\xB3n.\r\n[2] \xC5\x81\xC3\xB3d\xC5\xBA.\r\n"},
        {"a UTF-8 mark is kept at the head", "\xEF\xBB\xBFHola. Adi\xC3\xB3s.",
         "\xEF\xBB\xBF[1] Hola.\r\n[2] Adi\xC3\xB3s.\r\n"},
        {"UTF-16 gives UTF-8 with a mark", "\xFF\xFEH\0o\0l\0a\0.\0 \0\xD3\0k\0.\0"s,
         "\xEF\xBB\xBF[1] Hola.\r\n[2] \xC3\x93k.\r\n"},
        {"UTF-16 big-endian too", "\xFE\xFF\0H\0i\0."s, "\xEF\xBB\xBF[1] Hi.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString input = dir.write("in.txt", c.input);
        ASSERT_TRUE(numberFile(input, dir.path("out.txt")).ok());
        EXPECT_EQ(readBytes(dir.path("out.txt")), c.output);
    }
}

TEST(NumberFiles, ACancelLeavesEveryFileAsItWas)
{
    TempDir dir;
    std::string text;
    while (text.size() < (6u << 20)) text += "Una frase. Otra? Si! ";
    const QString input = dir.write("in.txt", text);
    const QString output = dir.write("out.txt", "precious");
    for (const double stopAt : {0.0, 0.2, 0.5, 0.9}) {
        SCOPED_TRACE(stopAt);
        const auto done = numberFiles({{input, output}}, [&](double share) { return share < stopAt; });
        ASSERT_FALSE(done.ok());
        EXPECT_TRUE(done.error().cancelled);
        EXPECT_EQ(readBytes(output), "precious");
        EXPECT_EQ(dir.entries(), (QStringList{"in.txt", "out.txt"}));
    }
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
