// SPDX-License-Identifier: GPL-3.0-or-later
// Real sentences of scripts beyond Latin, each searched, listed, counted and
// cut into lines, against the plain reading of the tests (reference_*.h),
// which reads characters with Qt and ICU directly, and against what a reader
// of the script expects.
#include "search/concordance.h"
#include "search/concordance_lines.h"
#include "search/frequencies.h"
#include "search/index_cache.h"
#include "search/reference_lines.h"
#include "search/reference_search.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

std::vector<reference::Entry> rows(const ResultGrid& grid)
{
    std::vector<reference::Entry> out;
    for (size_t r = 1; r < grid.rows(); ++r)
        out.push_back({std::string(grid.text(r, 0)), std::string(grid.text(r, 1))});
    return out;
}

std::string listing(const std::vector<reference::Entry>& hits)
{
    std::string out;
    for (const auto& e : hits) out += (out.empty() ? "" : " ") + e.form + e.marker;
    return out;
}

struct Script {
    const char* name;
    std::string text; // numbered, UTF-8
    const char* typed;
    const char* hits;   // "form[marker]" as written, space separated
    const char* form;   // the form the frequencies count
    std::uint64_t count;
};

// Vietnamese written decomposed, as macOS writes it: "Tiếng Việt" with the
// vowels and their marks apart.
const std::string kVietnameseNfd = "Tie\u0302\u0301ng Vie\u0323\u0302t";

const Script kScripts[] = {
    {"Hindi", "[1] भारत एक बड़ा देश है।\r\n[2] भारत की राजधानी नई दिल्ली है।\r\n", "भारत", "भारत[1] भारत[2]", "भारत",
     2},
    {"Hindi with vowel signs and a nukta", "[1] भारत एक बड़ा देश है।\r\n[2] बड़ा घर।\r\n", "बड़ा", "बड़ा[1] बड़ा[2]", "बड़ा", 2},
    {"Arabic with vowel marks", "[1] ذَهَبَ الوَلَدُ إِلَى المَدْرَسَةِ.\r\n[2] قَرَأَ الوَلَدُ كِتَابًا.\r\n", "الوَلَدُ",
     "الوَلَدُ[1] الوَلَدُ[2]", "الوَلَدُ", 2},
    {"Hebrew with points", "[1] בְּרֵאשִׁית בָּרָא אֱלֹהִים אֵת הַשָּׁמַיִם וְאֵת הָאָרֶץ.\r\n[2] וַיֹּאמֶר אֱלֹהִים.\r\n", "אֱלֹהִים",
     "אֱלֹהִים[1] אֱלֹהִים[2]", "אֱלֹהִים", 2},
    {"Vietnamese decomposed, found by its composed form", "[1] " + kVietnameseNfd + " rất hay.\r\n[2] Tôi học tiếng Việt.\r\n",
     "tiếng", "Tie\u0302\u0301ng[1] tiếng[2]", "tiếng", 2},
    {"Chinese", "[1] 我爱中国人民。\r\n[2] 中国是一个大国。\r\n", "中国", "中国[1] 中国[2]", "中国", 2},
    {"Chinese, a pattern matches whole words", "[1] 我爱中国人民。\r\n[2] 中国是一个大国。\r\n", "*国",
     "中国[1] 中国[2] 大国[2]", "中国", 2},
    {"Japanese", "[1] 私は日本語を勉強しています。\r\n[2] 日本語は難しいです。\r\n", "日本語", "日本語[1] 日本語[2]",
     "日本語", 2},
    {"Thai", "[1] ฉันรักภาษาไทย\r\n[2] ภาษาไทยง่ายนิดเดียว\r\n", "ภาษา", "ภาษา[1] ภาษา[2]", "ภาษา", 2},
};

class Scripts : public ::testing::TestWithParam<Script> {};

TEST_P(Scripts, SearchFindsTheWordWithItsMarker)
{
    const Script& s = GetParam();
    Concordance concordance(s.text);
    ASSERT_EQ(concordance.encoding(), Encoding::Utf8);
    concordance.search(QString::fromUtf8(s.typed));
    EXPECT_EQ(listing(rows(concordance.grid())), s.hits);
    EXPECT_EQ(rows(concordance.grid()), reference::search(reference::wordIndex(s.text, Encoding::Utf8), s.typed,
                                                          Encoding::Utf8));
    // Every word of the text, as the plain reading cuts them.
    concordance.search("*");
    EXPECT_EQ(rows(concordance.grid()), reference::wordIndex(s.text, Encoding::Utf8));
}

TEST_P(Scripts, FrequenciesCountTheWordOnce)
{
    const Script& s = GetParam();
    Concordance concordance(s.text);
    concordance.search(QString::fromUtf8(s.typed));
    std::map<std::string, std::uint64_t> counted;
    for (const FormFrequency& f : countForms(concordance.grid()))
        counted[std::string(concordance.index().lowerForm(f.rank))] = f.count;
    EXPECT_EQ(counted, reference::frequencies(s.text, s.typed, Encoding::Utf8));
    EXPECT_EQ(counted[s.form], s.count);
}

TEST_P(Scripts, LinesShowTheWordsAroundIt)
{
    const Script& s = GetParam();
    Concordance concordance(s.text);
    concordance.search(QString::fromUtf8(s.typed));
    const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    for (const size_t width : {size_t(3), ConcordanceLines::kContext}) {
        const auto expected = reference::concordanceLines(s.text, s.typed, Encoding::Utf8, width);
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t k = 0; k < lines.size(); ++k) {
            const ConcordanceLine line = lines.line(k, width);
            EXPECT_EQ(line.left, expected[k].left) << k;
            EXPECT_EQ(line.form, expected[k].form) << k;
            EXPECT_EQ(line.right, expected[k].right) << k;
            EXPECT_EQ(line.marker, expected[k].marker) << k;
            EXPECT_EQ(lines.keyWord(k, LineKey::Right1), expected[k].keys[reference::kRight1]) << k;
            EXPECT_EQ(lines.keyWord(k, LineKey::Left1), expected[k].keys[reference::kLeft1]) << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RealSentences, Scripts, ::testing::ValuesIn(kScripts), [](const auto& info) {
    std::string name;
    for (const char ch : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(Scripts, ChineseLinesAreCutAtWords)
{
    Concordance concordance("[1] 我爱中国人民。\r\n");
    concordance.search("中国");
    const ConcordanceLines lines = ConcordanceLines::ofGrid(concordance.grid());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.line(0, 2).left, "我爱");
    EXPECT_EQ(lines.line(0, 2).right, "人民");
    EXPECT_EQ(lines.line(0, 1).left, "爱") << "the cut between 我 and 爱 falls inside no word";
    EXPECT_EQ(lines.line(0, 1).right, "") << "one character would cut 人民";
    EXPECT_EQ(lines.keyWord(0, LineKey::Left2), "我");
    EXPECT_EQ(lines.keyWord(0, LineKey::Right1), "人民");
}

TEST(Scripts, TheCutsOfAnIndexSurviveItsCache)
{
    testing::TempDir dir;
    std::string text;
    for (int s = 1; s <= 3000; ++s) text += "[" + std::to_string(s) + "] 我爱中国人民，中国是一个大国。\r\n";
    const QString path = dir.write("zh_ref.txt", text);
    IndexCache cache(dir.path("cache"), 0);
    Concordance first;
    ASSERT_TRUE(first.load(path, {}, &cache).ok());
    ASSERT_TRUE(cache.store(first.textFile(), first.index()));
    Concordance second;
    ASSERT_TRUE(second.load(path, {}, &cache).ok());
    for (const char* typed : {"中国", "*国", "人民", "*"}) {
        first.search(typed);
        second.search(typed);
        ASSERT_EQ(rows(second.grid()), rows(first.grid())) << typed;
    }
    EXPECT_EQ(second.search("中国"), 6000u);
}

TEST(Scripts, AWindows1252TextCannotBeSearchedForADecomposedFormItLacks)
{
    // Typed with a combining accent, "café" is the code page's "café".
    Concordance concordance(testing::cp1252("[1] Un caf\xC3\xA9.\r\n"));
    ASSERT_EQ(concordance.encoding(), Encoding::Windows1252);
    EXPECT_EQ(concordance.search(QString::fromUtf8("cafe\u0301")), 1u);
}

} // namespace
} // namespace solandre
