// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form_names.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::readBytes;

const std::string kBom = "\xEF\xBB\xBF";

std::string memory(const std::string& units)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\"><header srclang=\"en\" "
           "creationtool=\"t\" creationtoolversion=\"1\" segtype=\"sentence\" o-tmf=\"t\" adminlang=\"en\" "
           "datatype=\"plaintext\"/><body>\n" +
           units + "</body></tmx>\n";
}

std::string unit(const char* en, const char* fr, const char* es)
{
    return std::string("<tu><tuv xml:lang=\"en\"><seg>") + en + "</seg></tuv><tuv xml:lang=\"fr\"><seg>" + fr +
           "</seg></tuv><tuv xml:lang=\"es\"><seg>" + es + "</seg></tuv></tu>\n";
}

class TranslationMemoryTest : public testing::WindowTest {
protected:
    void open(const QString& file)
    {
        forms.show(names::frmtexte);
        fake.dialogs.fileNames.push_back(file);
        forms.find(names::frmtexte)->findChild<QAction*>("memoire")->trigger();
    }
    QString box(const char* name) { return forms.text(names::frmtexte, name); }
};

TEST_F(TranslationMemoryTest, AMemoryOfThreeLanguagesAsksWhichTwoThenIsSearched)
{
    const QString input = dir.write("corpus.tmx", memory(unit("The house.", "La maison.", "La casa.") +
                                                         unit("A red house.", "Une maison rouge.", "Una casa roja.") +
                                                         unit("The river.", "La rivière.", "El río.")));
    fake.dialogs.languages.push_back(std::pair{QString("es"), QString("fr")});
    open(input);
    ASSERT_EQ(fake.dialogs.languagesOffered.size(), 1u);
    EXPECT_EQ(fake.dialogs.languagesOffered[0], (QStringList{"en", "fr", "es"}));
    EXPECT_EQ(box("Text_latin"), dir.path("corpus_source_ref.txt"));
    EXPECT_EQ(box("Text_francais"), dir.path("corpus_cible_ref.txt"));
    EXPECT_EQ(readBytes(dir.path("corpus_source_ref.txt")),
              kBom + "[1] La casa.\r\n[2] Una casa roja.\r\n[3] El río.\r\n");
    EXPECT_EQ(readBytes(dir.path("corpus_cible_ref.txt")),
              kBom + "[1] La maison.\r\n[2] Une maison rouge.\r\n[3] La rivière.\r\n");

    auto* search = static_cast<SearchWindow*>(forms.find(names::Frmcontexte));
    ASSERT_NE(search, nullptr) << "the search window of prepared texts opens";
    WindowTest::search(search, "casa");
    EXPECT_EQ(rows(search), "casa[1] casa[2]");
    EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(TranslationMemoryTest, ATableOfTwoColumnsAsksNothing)
{
    open(dir.write("corpus.tsv", "La casa.\tLa maison.\r\nEl río.\tLa rivière.\r\n"));
    EXPECT_TRUE(fake.dialogs.languagesOffered.empty());
    EXPECT_EQ(readBytes(box("Text_francais")), kBom + "[1] La maison.\r\n[2] La rivière.\r\n");
    EXPECT_NE(forms.find(names::Frmcontexte), nullptr);
}

TEST_F(TranslationMemoryTest, AnExistingPairIsReplacedOnlyWhenTheUserSaysSo)
{
    const QString input = dir.write("corpus.tsv", "Uno.\tUn.\n");
    dir.write("corpus_source_ref.txt", "old");
    fake.dialogs.answers.push_back(Answer::No);
    open(input);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, dir.path("corpus_source_ref.txt") + "  ya existe.\r\n¿Desea reemplazarlo?");
    EXPECT_EQ(fake.dialogs.shown[0].title, "Fichier existente");
    EXPECT_EQ(readBytes(dir.path("corpus_source_ref.txt")), "old");
    EXPECT_FALSE(QFile::exists(dir.path("corpus_cible_ref.txt")));
    EXPECT_EQ(box("Text_latin"), "");
    EXPECT_EQ(forms.find(names::Frmcontexte), nullptr);

    open(input); // Yes, this time
    EXPECT_EQ(readBytes(dir.path("corpus_source_ref.txt")), "[1] Uno.\r\n") << "ASCII stays in the code page";
    EXPECT_EQ(box("Text_latin"), dir.path("corpus_source_ref.txt"));
}

TEST_F(TranslationMemoryTest, AMalformedMemoryIsNamedWithWhereItGoesWrong)
{
    const QString input = dir.write("corpus.tmx", memory(unit("One.", "Un.", "Uno.") + "<tu><tuv>\n"));
    open(input);
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    const QString said = fake.dialogs.shown[0].text;
    EXPECT_TRUE(said.contains(input) && said.contains("en la línea 5, columna 1")) << said.toStdString();
    EXPECT_EQ(box("Text_latin"), "");
    EXPECT_EQ(dir.entries(), QStringList{"corpus.tmx"});
}

} // namespace
} // namespace solandre
