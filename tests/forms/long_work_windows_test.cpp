// SPDX-License-Identifier: GPL-3.0-or-later
// "Cancelar" and Escape in the progress dialog of every long work of the
// windows, given as the user gives them: through the dialog's window. The
// work is held on a named pipe (or is long by itself) until the input has
// been given; then it must stop, leaving every file as it was.
#include "align/alignment_notes.h"
#include "forms/form.h"
#include "forms/form_names.h"
#include "windows/align/alignment_window.h"
#include "support/held_pipe.h"
#include "support/parallel_text.h"
#include "support/progress_input.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::CancelWhenProgressShows;
using testing::HeldPipe;
using testing::readBytes;

// `count` numbered records, in the valley's sentences made each its own.
std::string numbered(test::Language language, size_t count)
{
    const auto& sentences = test::valleyText(language);
    std::string text;
    for (size_t k = 0; k < count; ++k)
        text += "[" + std::to_string(k + 1) + "] " + std::to_string(k) + " " +
                std::string(sentences[k % sentences.size()]) + "\r\n";
    return text;
}

// The same as one plain text: numbering it gives the records above.
std::string plain(test::Language language, size_t count)
{
    const auto& sentences = test::valleyText(language);
    std::string text;
    for (size_t k = 0; k < count; ++k) {
        std::string s(sentences[k % sentences.size()]);
        for (size_t at; (at = s.find(".000")) != std::string::npos;) s[at] = ' ';
        text += "N" + std::to_string(k) + " " + s + " ";
    }
    return text;
}

const CancelWhenProgressShows::By kInputs[] = {CancelWhenProgressShows::By::Click,
                                               CancelWhenProgressShows::By::Escape};
const char* name(CancelWhenProgressShows::By by)
{
    return by == CancelWhenProgressShows::By::Click ? "a click on Cancelar" : "Escape";
}

class LongWorkWindowsTest : public testing::WindowTest {
protected:
    void mainWindow(const QString& source, const QString& target)
    {
        forms.show(names::frmtexte);
        forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(source);
        forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(target);
    }
    void menu(const char* form, const char* item) { forms.find(form)->findChild<QAction*>(item)->trigger(); }
    void click(const char* form, const char* button)
    {
        QTest::mouseClick(forms.find(form)->findChild<QPushButton*>(button), Qt::LeftButton);
    }
};

TEST_F(LongWorkWindowsTest, NumberingStops)
{
    for (const auto by : kInputs) {
        SCOPED_TRACE(name(by));
        const QString source = dir.path("obra.txt");
        HeldPipe pipe(source, HeldPipe::Held::Reader, plain(test::Language::Spanish, 200));
        CancelWhenProgressShows user(by, [&] { pipe.release(); });
        mainWindow(source, dir.write("trad.txt", plain(test::Language::French, 200)));
        menu(names::frmtexte, "numconcordance");
        click(names::frmnumerotation, "Command2");
        EXPECT_EQ(user.labels(), QStringList{"Numerando las frases"});
        EXPECT_FALSE(forms.isLoaded(names::Frmreference)) << "nothing is reported numbered";
        EXPECT_TRUE(forms.find(names::frmnumerotation)->isVisible());
        EXPECT_FALSE(QFile::exists(dir.path("obra_source_ref.txt")));
        EXPECT_FALSE(QFile::exists(dir.path("trad_cible_ref.txt")));
        forms.unload(names::frmnumerotation);
    }
}

TEST_F(LongWorkWindowsTest, CheckingThatTheSentencesCorrespondStops)
{
    // Long enough by itself: thousands of sentences for the aligner.
    const size_t count = 20000;
    const QString source = dir.write("obra.txt", plain(test::Language::Spanish, count));
    const QString target = dir.write("trad.txt", plain(test::Language::French, count - 1));
    for (const auto by : kInputs) {
        SCOPED_TRACE(name(by));
        CancelWhenProgressShows user(by);
        mainWindow(source, target);
        menu(names::frmtexte, "numconcordance");
        click(names::frmnumerotation, "Command2");
        EXPECT_EQ(user.labels(), QStringList{"Comprobando que las frases se corresponden"});
        // The numbering stands; the pairing by number is left as it is.
        Form* done = forms.find(names::Frmreference);
        ASSERT_NE(done, nullptr);
        EXPECT_FALSE(done->findChild<QWidget*>("aligner")->isVisibleTo(done));
        forms.unload(names::Frmreference);
    }
}

TEST_F(LongWorkWindowsTest, AligningForTheReviewStops)
{
    for (const auto by : kInputs) {
        SCOPED_TRACE(name(by));
        const QString source = dir.path("es_ref.txt");
        HeldPipe pipe(source, HeldPipe::Held::Reader, numbered(test::Language::Spanish, 100));
        CancelWhenProgressShows user(by, [&] { pipe.release(); });
        mainWindow(source, dir.write("fr_ref.txt", numbered(test::Language::French, 99)));
        menu(names::frmtexte, "alignement");
        EXPECT_EQ(user.labels(), QStringList{"Alineando las frases"});
        EXPECT_FALSE(forms.isLoaded(names::frmalignement)) << "nothing to review";
        EXPECT_TRUE(fake.dialogs.shown.empty());
        QFile::remove(source);
    }
}

TEST_F(LongWorkWindowsTest, WritingTheAlignedCopiesStops)
{
    // Copies already aligned, with their notes: the review opens at once.
    const size_t count = 20000;
    const QString es = dir.write("es_ref.txt", numbered(test::Language::Spanish, count));
    const QString fr = dir.write("fr_ref.txt", numbered(test::Language::French, count));
    {
        PairAlignment pair{readRecords(es).value(), readRecords(fr).value(), {}};
        for (std::uint32_t k = 0; k < count; ++k) pair.beads.push_back({k, 1, k, 1, 0.9f});
        ASSERT_TRUE(writeAlignedCopies(pair, pair.beads, dir.path("es_al.txt"), dir.path("fr_al.txt")).ok());
    }
    mainWindow(dir.path("es_al.txt"), dir.path("fr_al.txt"));
    menu(names::frmtexte, "alignement");
    auto* review = static_cast<AlignmentWindow*>(forms.find(names::frmalignement));
    ASSERT_NE(review, nullptr);
    ASSERT_EQ(review->beads().size(), count);
    for (const auto by : kInputs) {
        SCOPED_TRACE(name(by));
        const QString out = dir.path("es_out.txt");
        HeldPipe pipe(out, HeldPipe::Held::Writer);
        fake.dialogs.fileNames = {out, dir.path("fr_out.txt")};
        CancelWhenProgressShows user(by, [&] { pipe.release(); });
        fake.dialogs.shown.clear();
        menu(names::frmalignement, "ecrire");
        EXPECT_EQ(user.labels(), QStringList{"Escribiendo las copias alineadas"});
        ASSERT_EQ(fake.dialogs.shown.size(), 1u) << "the choice of names, then nothing";
        EXPECT_FALSE(QFile::exists(dir.path("fr_out.txt")));
        EXPECT_EQ(forms.text(names::frmtexte, "Text_latin"), dir.path("es_al.txt"));
        QFile::remove(out);
    }
}

TEST_F(LongWorkWindowsTest, OpeningATextForTheSearchStops)
{
    for (const auto by : kInputs) {
        SCOPED_TRACE(name(by));
        const QString source = dir.path("es_ref.txt");
        HeldPipe pipe(source, HeldPipe::Held::Reader, numbered(test::Language::Spanish, 100));
        CancelWhenProgressShows user(by, [&] { pipe.release(); });
        mainWindow(source, {});
        menu(names::frmtexte, "concordance");
        EXPECT_EQ(user.labels(), QStringList{"Leyendo e indexando es_ref.txt"});
        EXPECT_FALSE(forms.isLoaded(names::Frmcontexte));
        QFile::remove(source);
    }
}

TEST_F(LongWorkWindowsTest, SavingTheResultsStops)
{
    const QString target = dir.path("fr_ref.txt");
    SearchWindow* w = openPrepared(dir.write("es_ref.txt", numbered(test::Language::Spanish, 100)), target);
    ASSERT_NE(w, nullptr);
    search(w, "valle");
    for (const auto by : kInputs) {
        SCOPED_TRACE(name(by));
        // The translation is read by the saving alone.
        HeldPipe pipe(target, HeldPipe::Held::Reader, numbered(test::Language::French, 100));
        CancelWhenProgressShows user(by, [&] { pipe.release(); });
        fake.dialogs.fileNames = {dir.path("resultados.txt")};
        menu(names::Frmcontexte, "enregistrer");
        EXPECT_EQ(user.labels(), QStringList{"Guardando resultados.txt"});
        EXPECT_FALSE(QFile::exists(dir.path("resultados.txt")));
        QFile::remove(target);
    }
}

} // namespace
} // namespace solandre
