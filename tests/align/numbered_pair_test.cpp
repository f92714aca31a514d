// SPDX-License-Identifier: GPL-3.0-or-later
#include "align/numbered_pair.h"
#include "support/parallel_text.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

std::string numbered(test::Language language) { return test::numberedValleyText(language); }

// The French with sentence 5 split in two at a blank, sentences 11 and 12
// merged, and sentence 20 left out.
std::string drifted()
{
    const auto& sentences = test::valleyText(test::Language::French);
    std::vector<std::string> records;
    for (size_t k = 0; k < sentences.size(); ++k) {
        const std::string s(sentences[k]);
        if (k == 4) {
            const size_t blank = s.find(' ', s.size() / 2);
            records.push_back(s.substr(0, blank));
            records.push_back(s.substr(blank + 1));
        } else if (k == 10) {
            records.push_back(s + " " + std::string(sentences[11]));
            ++k;
        } else if (k != 19) {
            records.push_back(s);
        }
    }
    std::string text;
    for (size_t k = 0; k < records.size(); ++k) text += "[" + std::to_string(k + 1) + "] " + records[k] + "\r\n";
    return text;
}

const std::string kSpanish = numbered(test::Language::Spanish);
const std::string kFrench = numbered(test::Language::French);
const std::string kFrenchDrifted = drifted();

std::vector<std::string> lines(const PairAlignment& pair)
{
    std::vector<std::string> out;
    for (const Bead& bead : pair.beads) out.push_back(beadLine(pair, bead));
    return out;
}

TEST(NumberedPair, APairThatMatchesSentenceForSentenceStaysOneToOne)
{
    TempDir dir;
    const auto pair = alignNumberedPair(dir.write("es.txt", kSpanish), dir.write("fr.txt", kFrench));
    ASSERT_TRUE(pair.ok());
    EXPECT_TRUE(pair.value().oneToOne());
    EXPECT_EQ(pair.value().firstNotOneToOne(), std::nullopt);
    EXPECT_EQ(lines(pair.value()).front(), "[1]\t[1]");
    EXPECT_EQ(lines(pair.value()).back(), "[48]\t[48]");
}

TEST(NumberedPair, SplitsAndADroppedSentenceAreFound)
{
    TempDir dir;
    const auto pair = alignNumberedPair(dir.write("es.txt", kSpanish), dir.write("fr.txt", kFrenchDrifted));
    ASSERT_TRUE(pair.ok());
    const auto found = lines(pair.value());
    ASSERT_EQ(found.size(), 47u);
    EXPECT_EQ(found[3], "[4]\t[4]");
    EXPECT_EQ(found[4], "[5]\t[5] [6]");
    EXPECT_EQ(found[5], "[6]\t[7]");
    EXPECT_EQ(found[10], "[11] [12]\t[12]");
    EXPECT_EQ(found[11], "[13]\t[13]");
    EXPECT_EQ(found[17], "[19]\t[19]");
    EXPECT_EQ(found[18], "[20]\t");
    EXPECT_EQ(found[19], "[21]\t[20]");
    EXPECT_EQ(found.back(), "[48]\t[47]");
    EXPECT_FALSE(pair.value().oneToOne());
    EXPECT_EQ(pair.value().beadsNotOneToOne(), 3u);
    EXPECT_EQ(pair.value().firstNotOneToOne(), std::optional<size_t>(4));
    for (size_t k = 0; k < found.size(); ++k) {
        const bool damaged = k == 4 || k == 10 || k == 18;
        EXPECT_TRUE(damaged || pair.value().beads[k].sourceCount == 1) << k;
    }
}

TEST(NumberedPair, TheAlignedPairIsWrittenRecordByBeadInEachTextsEncoding)
{
    TempDir dir;
    const QString es = dir.write("es.txt", kSpanish); // UTF-8
    const std::string french1252 = testing::cp1252(kFrenchDrifted.c_str());
    const auto& french = test::valleyText(test::Language::French);
    const std::string split = std::string(french[4]);
    const std::string record5 = "[5] " + split + "\r\n";
    // Bead 19 is the source's sentence 20, which nothing renders.
    const std::string record19 = "\r\n[19] \r\n[20] ";
    const QString fr = dir.write("fr.txt", "\xEF\xBB\xBF" + kFrenchDrifted); // UTF-8 with its mark
    const auto pair = alignNumberedPair(es, fr);
    ASSERT_TRUE(pair.ok());
    ASSERT_TRUE(writeAlignedPair(pair.value(), pair.value().beads, dir.path("es_al.txt"), dir.path("fr_al.txt")).ok());
    const std::string es2 = readBytes(dir.path("es_al.txt"));
    const std::string fr2 = readBytes(dir.path("fr_al.txt"));
    const auto& spanish = test::valleyText(test::Language::Spanish);
    EXPECT_NE(es2.find("\r\n[11] " + std::string(spanish[10]) + " " + std::string(spanish[11]) + "\r\n[12] " +
                       std::string(spanish[12]) + "\r\n"),
              std::string::npos)
        << "sentences 11 and 12 of the source joined in record 11";
    EXPECT_TRUE(fr2.starts_with("\xEF\xBB\xBF[1] ")) << "the mark is kept";
    EXPECT_NE(fr2.find(record5), std::string::npos) << "the split sentence joined again";
    EXPECT_NE(fr2.find(record19), std::string::npos) << "an empty record where no sentence renders [20]";

    // Windows-1252 stays Windows-1252.
    const QString fr1252 = dir.write("fr1252.txt", french1252);
    const auto again = alignNumberedPair(es, fr1252);
    ASSERT_TRUE(writeAlignedPair(again.value(), again.value().beads, dir.path("a.txt"), dir.path("b.txt")).ok());
    EXPECT_NE(readBytes(dir.path("b.txt")).find(testing::cp1252(record5.c_str())), std::string::npos);
}

TEST(NumberedPair, OutputsThatAreTheTextsAreRefusedUnlessRewrittenInPlace)
{
    TempDir dir;
    const QString es = dir.write("es.txt", kSpanish);
    const QString fr = dir.write("fr.txt", kFrenchDrifted);
    const auto pair = alignNumberedPair(es, fr);
    ASSERT_TRUE(pair.ok());
    struct Case { const char* name; QString sourceOut, targetOut; bool inPlace; const char* reason = "textos de entrada"; };
    const Case refused[] = {
        {"the source's output is the source", es, dir.path("b.txt"), false},
        {"the target's output is the target", dir.path("a.txt"), fr, false},
        {"the outputs crossed, even in place", fr, es, true},
        {"one output for both", dir.path("a.txt"), dir.path("a.txt"), false, "las dos salidas son el mismo fichero"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        const Status written = writeAlignedPair(pair.value(), pair.value().beads, c.sourceOut, c.targetOut, c.inPlace);
        ASSERT_FALSE(written.ok());
        EXPECT_TRUE(written.error().message.contains(c.reason)) << written.error().message.toStdString();
        EXPECT_EQ(readBytes(es), kSpanish);
        EXPECT_EQ(readBytes(fr), kFrenchDrifted);
    }
    EXPECT_EQ(dir.entries(), (QStringList{"es.txt", "fr.txt"}));
    // Numbered copies of our own are rewritten in place.
    ASSERT_TRUE(writeAlignedPair(pair.value(), pair.value().beads, es, fr, true).ok());
    EXPECT_NE(readBytes(fr).find("\r\n[19] \r\n"), std::string::npos);
    const auto realigned = alignNumberedPair(es, fr);
    ASSERT_TRUE(realigned.ok());
    EXPECT_TRUE(realigned.value().oneToOne()) << "aligned copies pair record for record";
}

TEST(NumberedPair, BadInputsAreNamed)
{
    TempDir dir;
    const QString fr = dir.write("fr.txt", kFrench);
    struct Case { const char* name; QString source; const char* reason; };
    const Case cases[] = {
        {"missing", dir.path("no.txt"), ""},
        {"empty", dir.write("vacio.txt", ""), "no tiene frases numeradas"},
        {"not numbered", dir.write("plano.txt", "Hola. Adios."), "no tiene frases numeradas"},
        {"a PDF", dir.write("d.pdf", "%PDF-1.4\n"), "no es un fichero de texto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pair = alignNumberedPair(c.source, fr);
        ASSERT_FALSE(pair.ok());
        EXPECT_TRUE(pair.error().message.contains(c.source));
        EXPECT_TRUE(pair.error().message.contains(QString::fromUtf8(c.reason)));
    }
    const auto one = alignNumberedPair(dir.write("uno.txt", "[1] Una sola frase.\r\n"), fr);
    ASSERT_TRUE(one.ok());
    size_t sourceSentences = 0, targetSentences = 0;
    for (const Bead& b : one.value().beads) {
        sourceSentences += b.sourceCount;
        targetSentences += b.targetCount;
    }
    EXPECT_EQ(sourceSentences, 1u);
    EXPECT_EQ(targetSentences, 48u);
}

} // namespace
} // namespace solandre
