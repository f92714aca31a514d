// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/concordance.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

TEST(Concordance, LoadingNamesTheFileOfEveryFailureAndLeavesAnEmptyIndex)
{
    testing::TempDir dir;
    struct Case { const char* name; QString path; const char* reason; };
    const Case cases[] = {
        {"missing", dir.path("no_existe.txt"), ""},
        {"empty", dir.write("vacio.txt", ""), "vacío"},
        {"a folder", dir.root(), ""},
        {"a PDF", dir.write("obra.pdf", "%PDF-1.6\n"), "no es un fichero de texto; parece un documento PDF"},
    };
    Concordance concordance(std::string_view("[1] casa.\r\n"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Status loaded = concordance.load(c.path);
        ASSERT_FALSE(loaded.ok());
        EXPECT_TRUE(loaded.error().message.contains(c.path));
        EXPECT_TRUE(loaded.error().message.contains(QString::fromUtf8(c.reason)));
        EXPECT_EQ(concordance.search("*"), 0u);
        EXPECT_EQ(concordance.text(), "");
    }
    ASSERT_TRUE(concordance.load(dir.write("t.txt", "[1] Hola.\r\n")).ok());
    EXPECT_EQ(concordance.search("hola"), 1u);
    EXPECT_EQ(concordance.text(), "[1] Hola.\r\n");
    EXPECT_EQ(concordance.name(), dir.path("t.txt"));
}

TEST(Concordance, LooksNumberedWhenItBeginsWithTheFirstMarker)
{
    struct Case { const char* name; const char* text; bool numbered; };
    const Case cases[] = {
        {"numbered", "[1] Hola.\r\n", true},
        {"after a UTF-8 byte-order mark", "\xEF\xBB\xBF[1] Hola.\r\n", true},
        {"a plain text", "Hola. Adios.", false},
        {"a blank before the marker", " [1] Hola.\r\n", false},
        {"another first marker", "[2] Hola.\r\n", false},
        {"no blank after the marker", "[1]Hola.\r\n", false},
    };
    for (const Case& c : cases) EXPECT_EQ(Concordance(c.text).looksNumbered(), c.numbered) << c.name;
}

} // namespace
} // namespace solandre
