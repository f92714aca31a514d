// SPDX-License-Identifier: GPL-3.0-or-later
// The translation candidates on the hand-aligned German-French development
// document: its sentence pairs as the hand alignment joins them, searched
// for the document's frequent nouns. The document lies beside the checkout
// (or where SOLANDRE_ALIGN_DEV names); without it the case is skipped.
#include "search/concordance.h"
#include "study/candidates.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace solandre {
namespace {

std::filesystem::path developmentFolder()
{
    if (const char* named = std::getenv("SOLANDRE_ALIGN_DEV")) return named;
    return SOLANDRE_ALIGN_DEV_BESIDE;
}

std::vector<std::string> lines(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Record n of each text: the lines of bead n joined, brackets made angles so
// that no line opens a marker of its own.
std::pair<std::string, std::string> alignedPair(const std::filesystem::path& folder)
{
    const std::vector<std::string> german = lines(folder / "dev.de.txt"), french = lines(folder / "dev.fr.txt");
    std::string source, target;
    size_t n = 0;
    for (const std::string& bead : lines(folder / "dev.gold")) {
        const size_t tab = bead.find('\t');
        if (tab == std::string::npos) continue;
        auto side = [](const std::string& numbers, const std::vector<std::string>& text) {
            std::istringstream in(numbers);
            std::string joined;
            for (size_t k; in >> k;)
                if (k < text.size()) joined += (joined.empty() ? "" : " ") + text[k];
            for (char& c : joined) c = c == '[' ? '<' : c == ']' ? '>' : c;
            return joined;
        };
        const std::string de = side(bead.substr(0, tab), german), fr = side(bead.substr(tab + 1), french);
        if (de.empty() || fr.empty()) continue;
        const std::string marker = "[" + std::to_string(++n) + "] ";
        source += marker + de + "\r\n";
        target += marker + fr + "\r\n";
    }
    return {source, target};
}

TEST(CandidatesOnTheDevelopmentDocument, TheTranslationComesFirst)
{
    const std::filesystem::path folder = developmentFolder();
    if (!std::filesystem::exists(folder / "dev.gold"))
        GTEST_SKIP() << "no development document in " << folder << " (set SOLANDRE_ALIGN_DEV)";
    const auto [source, target] = alignedPair(folder);
    const Concordance concordance(source);
    const struct { const char* form; const char* first; } cases[] = {
        // "Berg*" also finds Bergsteiger (alpinistes); G² alone put "de" first.
        {"Berg*", "alpinistes"}, {"Berg", "montagne"},      {"Gipfel", "sommet"},
        {"Gletscher", "glacier"}, {"Expedition", "expédition"}, {"Lager", "camp"},
        {"Schnee", "neige"},     {"Regierung", "gouvernement"}, {"Juli", "juillet"},
        {"Träger", "porteurs"},  {"Alpen", "alpes"},          {"Nacht", "nuit"},
    };
    const std::string functionWords[] = {"de", "la", "le", "les", "des", "du", "et", "en", "un", "une"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        WordList hits;
        findHits(concordance.index(), QString::fromUtf8(c.form), hits);
        const auto list = findCandidates(concordance.index(), hits, target, Encoding::Utf8, 5);
        ASSERT_TRUE(list && !list->best.empty());
        std::string listed;
        for (const Candidate& candidate : list->best) listed += candidate.word + " ";
        EXPECT_EQ(list->best[0].word, c.first) << listed;
        for (const Candidate& candidate : list->best)
            for (const std::string& word : functionWords) EXPECT_NE(candidate.word, word) << listed;
    }
}

} // namespace
} // namespace solandre
