// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/align/alignment_window.h"
#include "forms/form_names.h"
#include "support/window_fixture.h"
#include "support/parallel_text.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace solandre {
namespace {

using testing::readBytes;

// The article as one paragraph; with `drift`, sentence 7 is split in two at a
// blank and sentences 15 and 16 are run together, as a translator might.
std::string plain(test::Language language, bool drift)
{
    const auto& sentences = test::valleyText(language);
    std::string text;
    for (size_t k = 0; k < sentences.size(); ++k) {
        std::string s(sentences[k]);
        if (drift && k == 6) {
            const size_t blank = s.find(' ', s.size() / 2);
            s[blank + 1] = char(std::toupper(static_cast<unsigned char>(s[blank + 1])));
            s.insert(blank, ".");
        }
        if (drift && k == 14) {
            s.back() = ',';
            std::string next(sentences[k + 1]);
            next[0] = char(std::tolower(static_cast<unsigned char>(next[0])));
            s += " " + next;
            ++k;
        }
        text += s + " ";
    }
    // Numbering ends a sentence at "3.000"; a blank keeps the thousands whole.
    for (size_t at; (at = text.find(".000")) != std::string::npos;) text[at] = ' ';
    return text;
}

std::string numbered(test::Language language) { return test::numberedValleyText(language); }

class AlignmentWindowsTest : public testing::WindowTest {
protected:
    QLabel* offer() { return forms.find(names::Frmreference)->findChild<QLabel*>("label5"); }
    QPushButton* alignButton() { return forms.find(names::Frmreference)->findChild<QPushButton*>("aligner"); }

    // Numbers both texts with the proposed names and stops at the completion window.
    void number(const QString& source, const QString& target)
    {
        forms.show(names::frmtexte);
        forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(source);
        forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(target);
        forms.find(names::frmtexte)->findChild<QAction*>("numconcordance")->trigger();
        forms.find(names::frmnumerotation)->findChild<QPushButton*>("Command2")->click();
    }
};

TEST_F(AlignmentWindowsTest, TextsThatPairOneToOneLeaveTheCompletionWindowAsItWas)
{
    openFresh(dir.write("es.txt", plain(test::Language::Spanish, false)),
              dir.write("fr.txt", plain(test::Language::French, false)));
    Form* done = forms.find(names::Frmreference);
    ASSERT_NE(done, nullptr);
    EXPECT_FALSE(offer()->isVisibleTo(done));
    EXPECT_FALSE(alignButton()->isVisibleTo(done));
}

TEST_F(AlignmentWindowsTest, TheCompletionWindowSaysWhereThePairingGoesWrongAndAligns)
{
    number(dir.write("es.txt", plain(test::Language::Spanish, false)),
           dir.write("fr.txt", plain(test::Language::French, true)));
    Form* done = forms.find(names::Frmreference);
    ASSERT_NE(done, nullptr);
    ASSERT_TRUE(offer()->isVisibleTo(done));
    const QString text = offer()->text();
    EXPECT_TRUE(text.contains("48 frases en el texto de origen")) << text.toStdString();
    EXPECT_TRUE(text.contains("el primero en [7]")) << text.toStdString();
    EXPECT_TRUE(alignButton()->isVisibleTo(done));

    alignButton()->click();
    EXPECT_FALSE(alignButton()->isVisibleTo(done));
    EXPECT_TRUE(offer()->text().contains("alineadas")) << offer()->text().toStdString();
    // The numbered copies now pair record for record.
    const std::string es = readBytes(dir.path("es_source_ref.txt"));
    const std::string fr = readBytes(dir.path("fr_cible_ref.txt"));
    EXPECT_EQ(std::count(es.begin(), es.end(), '['), std::count(fr.begin(), fr.end(), '['));
    EXPECT_TRUE(fake.dialogs.shown.empty()) << "aligning asks nothing";
}

TEST_F(AlignmentWindowsTest, TheReviewWindowCorrectsAndWritesTheAlignedCopies)
{
    const QString es = dir.write("es_ref.txt", numbered(test::Language::Spanish));
    std::string fr = numbered(test::Language::French);
    // Records 10 and 11 of the translation merged into one.
    const size_t at = fr.find("\r\n[11] ");
    fr.replace(at, 7, " ");
    for (int k = 12; k <= 48; ++k) {
        const std::string from = "\r\n[" + std::to_string(k) + "] ";
        fr.replace(fr.find(from), from.size(), "\r\n[" + std::to_string(k - 1) + "] ");
    }
    const QString frPath = dir.write("fr_ref.txt", fr);
    forms.show(names::frmtexte);
    forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(es);
    forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(frPath);
    QAction* alignment = forms.find(names::frmtexte)->findChild<QAction*>("alignement");
    ASSERT_TRUE(alignment->isEnabled());
    alignment->trigger();
    auto* w = static_cast<AlignmentWindow*>(forms.find(names::frmalignement));
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->beads().size(), 47u);
    EXPECT_TRUE(w->findChild<QLabel*>("resume")->text().startsWith("48 frases de origen, 47 frases meta"));

    // The next doubtful bead is the merged one: two source sentences for one.
    w->selectBead(0);
    w->suivant_Click();
    const Bead merged = w->beads()[w->currentBead()];
    EXPECT_EQ(merged.sourceFirst, 9u);
    EXPECT_EQ(merged.sourceCount, 2u);
    EXPECT_EQ(merged.targetCount, 1u);

    // Split it, then merge it back: the corrections reach the table.
    w->separer_Click();
    EXPECT_EQ(w->beads().size(), 48u);
    EXPECT_EQ(w->findChild<QTableView*>("perles")->model()->rowCount(), 48);
    w->unir_Click();
    EXPECT_EQ(w->beads().size(), 47u);

    // Written under names the user chooses; the main window then searches them.
    fake.dialogs.fileNames = {dir.path("es_al.txt"), dir.path("fr_al.txt")};
    w->ecrire_Click();
    EXPECT_EQ(forms.text(names::frmtexte, "Text_latin"), dir.path("es_al.txt"));
    EXPECT_EQ(forms.text(names::frmtexte, "Text_francais"), dir.path("fr_al.txt"));
    const std::string written = readBytes(dir.path("es_al.txt"));
    EXPECT_NE(written.find("\r\n[10] " + std::string(test::valleyText(test::Language::Spanish)[9]) + " " +
                           std::string(test::valleyText(test::Language::Spanish)[10]) + "\r\n[11] "),
              std::string::npos);
    EXPECT_EQ(readBytes(es), numbered(test::Language::Spanish)) << "the texts themselves are untouched";
}

// The two aligned copies are replaced together or not at all, and two names
// for one file are refused as such.
TEST_F(AlignmentWindowsTest, TheReviewWindowWritesBothCopiesOrNeither)
{
    forms.show(names::frmtexte);
    forms.control<QLineEdit>(names::frmtexte, "Text_latin")
        ->setText(dir.write("es_ref.txt", numbered(test::Language::Spanish)));
    forms.control<QLineEdit>(names::frmtexte, "Text_francais")
        ->setText(dir.write("fr_ref.txt", numbered(test::Language::French)));
    forms.find(names::frmtexte)->findChild<QAction*>("alignement")->trigger();
    QWidget* w = forms.find(names::frmalignement);
    ASSERT_NE(w, nullptr);
    const QString old = dir.write("es_al.txt", "old source");
    struct Case { const char* name; QStringList names; QString said; };
    const Case cases[] = {
        {"the target's copy cannot be written", {old, "/dev/full"}, "/dev/full"},
        {"one file under two names", {old, dir.root() + "/./es_al.txt"}, "las dos salidas son el mismo fichero"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.dialogs.shown.clear();
        fake.dialogs.fileNames.assign(c.names.begin(), c.names.end());
        w->findChild<QAction*>("ecrire")->trigger();
        ASSERT_FALSE(fake.dialogs.shown.empty());
        EXPECT_TRUE(fake.dialogs.shown.back().text.contains(c.said)) << fake.dialogs.shown.back().text.toStdString();
        EXPECT_EQ(readBytes(old), "old source");
    }
}

TEST_F(AlignmentWindowsTest, TheReviewWindowExportsItsPairsAsATranslationMemory)
{
    std::string fr = numbered(test::Language::French);
    // Records 3 and 4 of the translation merged into one.
    fr.replace(fr.find("\r\n[4] "), 6, " ");
    for (int k = 5; k <= 48; ++k) {
        const std::string from = "\r\n[" + std::to_string(k) + "] ";
        fr.replace(fr.find(from), from.size(), "\r\n[" + std::to_string(k - 1) + "] ");
    }
    forms.show(names::frmtexte);
    forms.control<QLineEdit>(names::frmtexte, "Text_latin")
        ->setText(dir.write("es_ref.txt", numbered(test::Language::Spanish)));
    forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(dir.write("fr_ref.txt", fr));
    forms.find(names::frmtexte)->findChild<QAction*>("alignement")->trigger();
    auto* w = static_cast<AlignmentWindow*>(forms.find(names::frmalignement));
    ASSERT_NE(w, nullptr);

    fake.dialogs.fileNames = {dir.path("valle.tmx")};
    fake.dialogs.languages.push_back(std::pair{QString("es-ES"), QString("fr-FR")});
    w->exporter_Click();
    ASSERT_FALSE(fake.dialogs.shown.empty());
    EXPECT_TRUE(fake.dialogs.shown.back().text.startsWith("Memoria de traducción escrita: 47 unidades"))
        << fake.dialogs.shown.back().text.toStdString();
    const std::string tmx = readBytes(dir.path("valle.tmx"));
    EXPECT_NE(tmx.find("srclang=\"es-ES\""), std::string::npos);
    // The merged pair is one unit: Spanish sentences 3 and 4 against the one French record.
    const std::string merged = std::string(test::valleyText(test::Language::Spanish)[2]) + " " +
                               std::string(test::valleyText(test::Language::Spanish)[3]);
    EXPECT_NE(tmx.find("<tuv xml:lang=\"es-ES\"><seg>" + merged + "</seg></tuv>"), std::string::npos) << merged;
}

TEST_F(AlignmentWindowsTest, AlignmentNeedsBothTexts)
{
    forms.show(names::frmtexte);
    QAction* alignment = forms.find(names::frmtexte)->findChild<QAction*>("alignement");
    EXPECT_FALSE(alignment->isEnabled());
    forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText("a.txt");
    EXPECT_FALSE(alignment->isEnabled());
    forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText("b.txt");
    EXPECT_TRUE(alignment->isEnabled());
    // The other menus follow the source text alone, as before.
    EXPECT_TRUE(forms.find(names::frmtexte)->findChild<QAction*>("concordance")->isEnabled());
}

} // namespace
} // namespace solandre
