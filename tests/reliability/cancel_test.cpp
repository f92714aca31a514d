// SPDX-License-Identifier: GPL-3.0-or-later
// Long work stopped at a random moment leaves every file as it was: no
// half-written copy, no temporary file, no index kept.
#include "numbering/number_files.h"
#include "search/concordance.h"
#include "search/index_cache.h"
#include "search/results_file.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

std::string bigText()
{
    std::string text;
    while (text.size() < (12u << 20)) text += "Una casa junto al r\xEDo. \xBFOtra? S\xED! ";
    return text;
}

// A progress that says stop at its `at`-th call.
Progress stopAt(int at, int& calls)
{
    return [at, &calls](double) { return ++calls < at; };
}

TEST(CancelAtRandomPoints, NumberingSavingAndOpeningLeaveEveryFileAsItWas)
{
    TempDir dir;
    const QString text = dir.write("obra.txt", bigText());
    const QString copy = dir.write("obra_ref.txt", "copia anterior");
    const QString results = dir.write("resultados.txt", "resultados anteriores");
    ASSERT_TRUE(numberFile(text, dir.path("numerado.txt")).ok());
    IndexCache cache(dir.path("cache"), 0);
    const QStringList before = dir.entries();

    std::mt19937 random(20261207);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        int calls = 0;
        const int at = std::uniform_int_distribution<int>(1, 12)(random);
        const auto numbered = numberFile(text, copy, stopAt(at, calls));
        ASSERT_FALSE(numbered.ok());
        EXPECT_TRUE(numbered.error().cancelled);
        EXPECT_EQ(readBytes(copy), "copia anterior");

        Concordance concordance;
        calls = 0;
        const Status opened = concordance.load(dir.path("numerado.txt"),
                                               stopAt(std::uniform_int_distribution<int>(1, 4)(random), calls),
                                               &cache);
        ASSERT_FALSE(opened.ok());
        EXPECT_TRUE(opened.error().cancelled);
        EXPECT_EQ(concordance.search("casa"), 0u);

        ASSERT_TRUE(concordance.load(dir.path("numerado.txt")).ok());
        concordance.search("*");
        calls = 0;
        const Status saved = saveResultsFile(results, concordance, text, {"T", "D"},
                                             stopAt(std::uniform_int_distribution<int>(1, 200)(random), calls));
        ASSERT_FALSE(saved.ok());
        EXPECT_TRUE(saved.error().cancelled);
        EXPECT_EQ(readBytes(results), "resultados anteriores");
        EXPECT_EQ(dir.entries(), before);
    }
}

} // namespace
} // namespace solandre
