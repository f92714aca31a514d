// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/word_breaks.h"
#include "support/reference_text.h"

#include <QString>
#include <gtest/gtest.h>

namespace solandre {
namespace {

// The words of a run, "|" between them.
std::string cut(std::string_view run)
{
    WordBreaker breaker;
    std::vector<std::uint32_t> cuts;
    breaker.cutRun(run, cuts);
    std::string out;
    size_t from = 0;
    for (const std::uint32_t at : cuts) {
        out += std::string(run.substr(from, at - from)) + "|";
        from = at;
    }
    return out + std::string(run.substr(from));
}

// The same read by the plain reading of the tests.
std::string cutByReference(std::string_view run)
{
    const reference::Chars chars = reference::decode(run, Encoding::Utf8);
    std::string out;
    for (const reference::Span& w : reference::words(chars)) {
        out += reference::encode(chars.substr(w.start, w.end - w.start), Encoding::Utf8);
        if (w.runGoesOn) out += "|";
    }
    return out;
}

struct RunCase {
    const char* name;
    const char* run;
    const char* words;
};

const RunCase kRuns[] = {
    {"Latin", "canción", "canción"},
    {"a combining accent stays in its word", "cafe\u0301", "cafe\u0301"},
    {"Devanagari vowel signs", "राजधानी", "राजधानी"},
    {"Persian with a non-joiner", "می\u200Cخواهم", "می\u200Cخواهم"},
    {"Chinese by the dictionary", "我爱中国人民", "我|爱|中国|人民"},
    {"Japanese, kanji and kana", "私は日本語を勉強しています", "私|は|日本語|を|勉強|し|てい|ます"},
    {"the long vowel mark goes with its katakana", "コーヒーを飲みます", "コーヒー|を|飲|み|ます"},
    {"Thai", "ฉันรักภาษาไทย", "ฉัน|รัก|ภาษา|ไทย"},
    {"Lao", "ພາສາລາວ", "ພາສາ|ລາວ"},
    {"Latin then Han", "abc中国", "abc|中国"},
    {"Han then Latin", "中国abc", "中国|abc"},
    {"a mark after Han goes with the Han", "中\u0301国abc", "中\u0301|国|abc"},
    {"a mark after Latin goes with the Latin", "e\u0301中国", "e\u0301|中国"},
    {"a joiner goes with the letter before it", "a\u200D中国", "a\u200D|中国"},
};

class CutRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(CutRun, WordsAsTheRulesAndThePlainReadingHaveThem)
{
    const RunCase& c = GetParam();
    EXPECT_EQ(cut(c.run), c.words);
    EXPECT_EQ(cutByReference(c.run), c.words);
    // The windows' text, in UTF-16, is cut at the same characters.
    const QString run = QString::fromUtf8(c.run);
    WordBreaker breaker;
    std::vector<std::uint32_t> cuts;
    breaker.cutRun(std::u16string_view(reinterpret_cast<const char16_t*>(run.utf16()), size_t(run.size())), cuts);
    QString words;
    qsizetype from = 0;
    for (const std::uint32_t at : cuts) {
        words += run.mid(from, qsizetype(at) - from) + "|";
        from = qsizetype(at);
    }
    EXPECT_EQ((words + run.mid(from)).toStdString(), c.words);
}

INSTANTIATE_TEST_SUITE_P(Runs, CutRun, ::testing::ValuesIn(kRuns), [](const auto& info) {
    std::string name;
    for (const char ch : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(WordBreaker, RunsCutTogetherAreCutAsOneAtATime)
{
    WordBreaker breaker;
    std::string expected;
    for (const RunCase& c : kRuns) {
        breaker.addRun(c.run);
        expected += std::string(c.words) + "/";
    }
    std::vector<std::uint32_t> cuts, ends;
    breaker.cutAdded(cuts, ends);
    ASSERT_EQ(ends.size(), std::size(kRuns));
    std::string words;
    for (size_t k = 0; k < std::size(kRuns); ++k) {
        const std::string_view run = kRuns[k].run;
        size_t from = 0;
        for (size_t c = k == 0 ? 0 : ends[k - 1]; c < ends[k]; ++c) {
            words += std::string(run.substr(from, cuts[c] - from)) + "|";
            from = cuts[c];
        }
        words += std::string(run.substr(from)) + "/";
    }
    EXPECT_EQ(words, expected);
    // Nothing waits afterwards.
    EXPECT_EQ(breaker.waiting(), 0u);
    breaker.cutAdded(cuts, ends);
    EXPECT_TRUE(cuts.empty());
    EXPECT_TRUE(ends.empty());
}

TEST(WordBreaker, AStretchOfMegabytesIsReadInPiecesAndLosesNothing)
{
    // No punctuation anywhere: one run, read 4096 characters at a time.
    std::string run;
    for (int k = 0; k < 30000; ++k) run += "中国";
    WordBreaker breaker;
    std::vector<std::uint32_t> cuts;
    breaker.cutRun(run, cuts);
    ASSERT_EQ(cuts.size(), 29999u);
    for (size_t k = 0; k < cuts.size(); ++k) ASSERT_EQ(cuts[k], 6 * (k + 1)) << k;
}

} // namespace
} // namespace solandre
