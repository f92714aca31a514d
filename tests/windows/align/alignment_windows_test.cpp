// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/align/alignment_window.h"
#include "windows/widgets/windowed_table.h"
#include "align/alignment_notes.h"
#include "forms/form_names.h"
#include "support/window_fixture.h"
#include "support/parallel_text.h"

#include <QAccessible>
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
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

// Records of a numbered text, as a test reads them.
size_t recordsIn(const std::string& text) { return size_t(std::count(text.begin(), text.end(), '[')); }

class AlignmentWindowsTest : public testing::WindowTest {
protected:
    Form* done() { return forms.find(names::Frmreference); }
    QLabel* offer() { return done()->findChild<QLabel*>("label5"); }
    QLabel* written() { return done()->findChild<QLabel*>("label4"); }
    QPushButton* alignButton() { return done()->findChild<QPushButton*>("aligner"); }
    AlignmentWindow* review(const char* name = names::frmalignement02)
    {
        return static_cast<AlignmentWindow*>(forms.find(name));
    }
    QString esCopy() { return dir.path("es_source_ref.txt"); }
    QString frCopy() { return dir.path("fr_cible_ref.txt"); }

    // Numbers both texts with the proposed names and stops at the completion window.
    void number(const QString& source, const QString& target)
    {
        forms.show(names::frmtexte);
        forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(source);
        forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(target);
        forms.find(names::frmtexte)->findChild<QAction*>("numconcordance")->trigger();
        click(forms.find(names::frmnumerotation), "Command2");
    }
    // The Spanish against the French that a translator split and merged.
    void numberDrifted()
    {
        number(dir.write("es.txt", plain(test::Language::Spanish, false)),
               dir.write("fr.txt", plain(test::Language::French, true)));
    }
    // The main window's "Alineación" on two numbered texts.
    AlignmentWindow* reviewPrepared(const QString& source, const QString& target)
    {
        forms.show(names::frmtexte);
        forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(source);
        forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(target);
        forms.find(names::frmtexte)->findChild<QAction*>("alignement")->trigger();
        return review(names::frmalignement);
    }

    static void click(QWidget* window, const char* button)
    {
        auto* b = window->findChild<QPushButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        ASSERT_TRUE(b->isVisibleTo(window)) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // A key as the user presses it in the window, which must be the active one.
    static void press(QWidget* window, Qt::Key key)
    {
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window, 1000);
        QTest::keyClick(window, key);
    }
    static void menu(QWidget* window, const char* item) { window->findChild<QAction*>(item)->trigger(); }
    static QString pane(AlignmentWindow* w, const char* side) { return w->findChild<QTextEdit*>(side)->toPlainText(); }
    static QString summary(AlignmentWindow* w) { return w->findChild<QLabel*>("resume")->text(); }
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
    numberDrifted();
    ASSERT_NE(done(), nullptr);
    ASSERT_TRUE(offer()->isVisibleTo(done()));
    const QString text = offer()->text();
    EXPECT_TRUE(text.contains("48 frases en el texto de origen")) << text.toStdString();
    EXPECT_TRUE(text.contains("el primero en [7]") || text.contains("no es de una frase a una, en [7]"))
        << text.toStdString();
    // The count and its words agree: "1 emparejamiento no es", "2 emparejamientos no son".
    const QRegularExpressionMatch odd = QRegularExpression("(\\d+) emparejamientos? no (es|son)").match(text);
    ASSERT_TRUE(odd.hasMatch()) << text.toStdString();
    EXPECT_EQ(odd.captured(1) == "1", odd.captured(2) == "es") << text.toStdString();
    EXPECT_EQ(odd.captured(1) == "1", !odd.captured(0).contains("emparejamientos")) << text.toStdString();
    EXPECT_TRUE(alignButton()->isVisibleTo(done()));

    click(done(), "aligner");
    EXPECT_FALSE(alignButton()->isVisibleTo(done()));
    // The numbered copies now pair record for record, and the window says
    // how many records they hold, no longer the sentences numbered.
    const std::string es = readBytes(esCopy());
    const std::string fr = readBytes(frCopy());
    const size_t records = recordsIn(es);
    EXPECT_EQ(records, recordsIn(fr));
    EXPECT_LT(records, 48u);
    const QString pairs = QString("%1 registros").arg(records);
    EXPECT_TRUE(offer()->text().contains(QString("alineadas: %1 pares").arg(records))) << offer()->text().toStdString();
    EXPECT_TRUE(written()->text().contains(QDir::toNativeSeparators(esCopy()) + " (" + pairs + ", 48 frases)"))
        << written()->text().toStdString();
    EXPECT_TRUE(written()->text().contains(QDir::toNativeSeparators(frCopy()) + " (" + pairs + ", 48 frases)"))
        << written()->text().toStdString();
    EXPECT_TRUE(fake.dialogs.shown.empty()) << "aligning asks nothing";
}

TEST_F(AlignmentWindowsTest, CorrectionsWrittenByTheReviewAreNeverUndoneByAlinear)
{
    numberDrifted();
    click(done(), "revoir");
    AlignmentWindow* w = review();
    ASSERT_NE(w, nullptr);
    // The user splits the first doubtful pair, against the aligner's advice.
    press(w, Qt::Key_F3);
    const size_t k = w->currentBead();
    ASSERT_GT(std::max(w->beads()[k].sourceCount, w->beads()[k].targetCount), 1u);
    click(w, "separer");
    const size_t pairs = w->beads().size();
    menu(w, "ecrire");
    EXPECT_FALSE(w->unsavedCorrections());
    const std::string es = readBytes(esCopy());
    ASSERT_EQ(recordsIn(es), pairs);

    // The completion window knows: no "Alinear" over the corrections, the
    // records the copies hold now.
    EXPECT_FALSE(alignButton()->isVisibleTo(done()));
    EXPECT_TRUE(written()->text().contains(QString("(%1 registros, 48 frases)").arg(pairs)))
        << written()->text().toStdString();
    EXPECT_TRUE(offer()->text().contains("alineadas")) << offer()->text().toStdString();
    EXPECT_EQ(readBytes(esCopy()), es);
}

TEST_F(AlignmentWindowsTest, ReviewingAlignedCopiesShowsThePairingTheyHoldSentenceBySentence)
{
    numberDrifted();
    click(done(), "aligner");
    const size_t records = recordsIn(readBytes(esCopy()));
    click(done(), "revoir");
    AlignmentWindow* w = review();
    ASSERT_NE(w, nullptr);
    // Record n with record n: nothing proposed afresh.
    ASSERT_EQ(w->beads().size(), records);
    EXPECT_TRUE(summary(w).startsWith(QString("48 frases de origen, 48 frases meta: %1 pares").arg(records)))
        << summary(w).toStdString();

    // The record of two source sentences splits between them, each with
    // its marker as it was numbered.
    const auto& es = test::valleyText(test::Language::Spanish);
    for (int step = 0; step < 3; ++step) {
        press(w, Qt::Key_F3);
        if (w->beads()[w->currentBead()].sourceCount == 2) break;
    }
    ASSERT_EQ(w->beads()[w->currentBead()].sourceCount, 2u);
    // As numbered from the plain text, with its thousands kept whole.
    const QString fifteen = QString::fromUtf8(es[14].data(), int(es[14].size())).replace(".000", " 000");
    EXPECT_TRUE(pane(w, "origine").startsWith("[15] " + fifteen + " [16] ")) << pane(w, "origine").toStdString();
    click(w, "separer");
    EXPECT_EQ(pane(w, "origine"), "[15] " + fifteen);
    EXPECT_EQ(w->beads().size(), records + 1);
}

TEST_F(AlignmentWindowsTest, NumberingAgainOverAlignedCopiesAsksFirst)
{
    numberDrifted();
    click(done(), "aligner");
    const std::string aligned = readBytes(esCopy());
    menu(done(), "quitter");
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::No ? "No" : "Yes");
        fake.dialogs.shown.clear();
        fake.dialogs.answers = {answer};
        forms.find(names::frmtexte)->findChild<QAction*>("numconcordance")->trigger();
        click(forms.find(names::frmnumerotation), "Command2");
        ASSERT_EQ(fake.dialogs.shown.size(), 1u);
        EXPECT_EQ(fake.dialogs.shown[0].buttons, Buttons::YesNo);
        EXPECT_TRUE(fake.dialogs.shown[0].text.contains("son copias alineadas")) << fake.dialogs.shown[0].text.toStdString();
        EXPECT_TRUE(fake.dialogs.shown[0].text.contains(QDir::toNativeSeparators(esCopy())));
        if (answer == Answer::No) {
            // The aligned copies stay; nothing is reported numbered.
            EXPECT_EQ(readBytes(esCopy()), aligned);
            EXPECT_EQ(done(), nullptr);
            EXPECT_TRUE(forms.find(names::frmnumerotation)->isVisible());
        }
    }
    EXPECT_EQ(recordsIn(readBytes(esCopy())), 48u) << "numbered again";
    ASSERT_NE(done(), nullptr);
    EXPECT_TRUE(alignButton()->isVisibleTo(done()));
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
    AlignmentWindow* w = reviewPrepared(es, frPath);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Quillarne - Concordancias VXT") << "as the program's other windows";
    ASSERT_EQ(w->beads().size(), 47u);
    EXPECT_TRUE(summary(w).startsWith("48 frases de origen, 47 frases meta: 47 pares, 1 no es de una frase a una, "))
        << summary(w).toStdString();

    // The next doubtful bead is the merged one: two source sentences for one.
    press(w, Qt::Key_F3);
    const Bead merged = w->beads()[w->currentBead()];
    EXPECT_EQ(merged.sourceFirst, 9u);
    EXPECT_EQ(merged.sourceCount, 2u);
    EXPECT_EQ(merged.targetCount, 1u);
    EXPECT_TRUE(pane(w, "origine").startsWith("[10] ")) << pane(w, "origine").toStdString();

    // Split it, then merge it back: the corrections reach the table.
    click(w, "separer");
    EXPECT_TRUE(summary(w).contains(": 48 pares")) << summary(w).toStdString();
    click(w, "unir");
    EXPECT_TRUE(summary(w).contains(": 47 pares")) << summary(w).toStdString();
    // Shaped by the user, the pair is no longer doubtful.
    EXPECT_TRUE(summary(w).endsWith(", 0 dudosos")) << summary(w).toStdString();

    // Written under names the user chooses; the main window then searches them.
    fake.dialogs.fileNames = {dir.path("es_al.txt"), dir.path("fr_al.txt")};
    menu(w, "ecrire");
    EXPECT_EQ(forms.text(names::frmtexte, "Text_latin"), dir.path("es_al.txt"));
    EXPECT_EQ(forms.text(names::frmtexte, "Text_francais"), dir.path("fr_al.txt"));
    const std::string written = readBytes(dir.path("es_al.txt"));
    EXPECT_NE(written.find("\r\n[10] " + std::string(test::valleyText(test::Language::Spanish)[9]) + " " +
                           std::string(test::valleyText(test::Language::Spanish)[10]) + "\r\n[11] "),
              std::string::npos);
    EXPECT_EQ(readBytes(es), numbered(test::Language::Spanish)) << "the texts themselves are untouched";
}

TEST_F(AlignmentWindowsTest, F3PassesAPairTheUserCorrected)
{
    numberDrifted();
    click(done(), "revoir");
    AlignmentWindow* w = review();
    ASSERT_NE(w, nullptr);
    // Every doubtful pair in turn, each merged with the next by the user.
    std::vector<size_t> visited;
    for (int round = 0; round < 10; ++round) {
        const size_t before = w->currentBead();
        press(w, Qt::Key_F3);
        if (w->currentBead() == before && !isDoubtful(w->beads()[before])) break;
        visited.push_back(w->currentBead());
        ASSERT_TRUE(isDoubtful(w->beads()[w->currentBead()]));
        click(w, "unir");
        ASSERT_FALSE(isDoubtful(w->beads()[w->currentBead()])) << "a pair the user shaped";
    }
    EXPECT_GE(visited.size(), 2u);
    EXPECT_TRUE(summary(w).endsWith(", 0 dudosos")) << summary(w).toStdString();
    // With nothing doubtful left, F3 stays where it is.
    const size_t here = w->currentBead();
    press(w, Qt::Key_F3);
    EXPECT_EQ(w->currentBead(), here);
}

TEST_F(AlignmentWindowsTest, ClosingWithUnsavedCorrectionsAsks)
{
    const QString es = dir.write("es_ref.txt", numbered(test::Language::Spanish));
    std::string fr = numbered(test::Language::French);
    fr.replace(fr.find("\r\n[4] "), 6, " "); // records 3 and 4 of the translation in one
    const QString frPath = dir.write("fr_ref.txt", fr);
    struct Case {
        const char* name;
        void (*close)(AlignmentWindow*);
        Answer answer;
        bool closes;
        bool writes;
    };
    const Case cases[] = {
        {"close box, Cancelar", [](AlignmentWindow* w) { w->windowHandle()->close(); }, Answer::Cancel, false, false},
        {"close box, No", [](AlignmentWindow* w) { w->windowHandle()->close(); }, Answer::No, true, false},
        {"close box, Sí", [](AlignmentWindow* w) { w->windowHandle()->close(); }, Answer::Yes, true, true},
        {"menu Cerrar, Cancelar", [](AlignmentWindow* w) { menu(w, "quitter"); }, Answer::Cancel, false, false},
        {"menu Cerrar, Sí", [](AlignmentWindow* w) { menu(w, "quitter"); }, Answer::Yes, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(dir.path("es_al.txt"));
        AlignmentWindow* w = reviewPrepared(es, frPath);
        ASSERT_NE(w, nullptr);
        press(w, Qt::Key_F3);
        click(w, "separer");
        ASSERT_TRUE(w->unsavedCorrections());
        fake.dialogs.shown.clear();
        fake.dialogs.answers = {c.answer};
        fake.dialogs.fileNames = {dir.path("es_al.txt"), dir.path("fr_al.txt")};
        c.close(w);
        ASSERT_FALSE(fake.dialogs.shown.empty());
        EXPECT_EQ(fake.dialogs.shown[0].text, QString::fromUtf8("¿Guardar las correcciones?"));
        EXPECT_EQ(fake.dialogs.shown[0].buttons, Buttons::YesNoCancel);
        EXPECT_EQ(forms.isLoaded(names::frmalignement), !c.closes);
        EXPECT_EQ(QFile::exists(dir.path("es_al.txt")), c.writes);
        forms.unload(names::frmalignement);
        // The texts named in the main window were the review's: put them back.
        forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(es);
        forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(frPath);
    }

    // Without corrections nothing is asked; ending the program asks too.
    AlignmentWindow* w = reviewPrepared(es, frPath);
    fake.dialogs.shown.clear();
    w->windowHandle()->close();
    EXPECT_TRUE(fake.dialogs.shown.empty());
    EXPECT_FALSE(forms.isLoaded(names::frmalignement));
    w = reviewPrepared(es, frPath);
    press(w, Qt::Key_F3);
    click(w, "separer");
    fake.dialogs.answers = {Answer::Cancel};
    menu(forms.find(names::frmtexte), "quitter");
    EXPECT_TRUE(forms.isLoaded(names::frmtexte)) << "Cancelar keeps the program";
    EXPECT_TRUE(forms.isLoaded(names::frmalignement));
}

TEST_F(AlignmentWindowsTest, WithAScreenReaderTheTableExposesOnlyTheRowsOnScreen)
{
    // Thousands of pairs, one in a hundred merged by the translator.
    const auto& es = test::valleyText(test::Language::Spanish);
    const auto& fr = test::valleyText(test::Language::French);
    std::string source, target;
    size_t t = 0;
    for (size_t k = 0; k < 3000; ++k) {
        source += "[" + std::to_string(k + 1) + "] " + std::to_string(k) + " " + std::string(es[k % es.size()]) + "\r\n";
        const std::string translated = std::to_string(k) + " " + std::string(fr[k % fr.size()]);
        if (k % 100 == 50) {
            target += " " + translated;
        } else {
            if (t) target += "\r\n";
            target += "[" + std::to_string(++t) + "] " + translated;
        }
    }
    target += "\r\n";

    // The platform here has no accessibility bridge to turn on: the table is
    // read through its accessible interface, as a screen reader reads it,
    // and each change counted in the rows its view must make again.
    QAccessible::setActive(true);
    AlignmentWindow* w = reviewPrepared(dir.write("es_ref.txt", source), dir.write("fr_ref.txt", target));
    ASSERT_NE(w, nullptr);
    ASSERT_GT(w->beads().size(), 2900u);
    auto* table = w->findChild<WindowedTable*>("perles");
    QTableView* view = table->table();
    const int onScreen = table->visibleRows();
    ASSERT_LT(onScreen, 100);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->tableInterface(), nullptr);
    EXPECT_LE(accessible->tableInterface()->rowCount(), onScreen);
    EXPECT_LE(accessible->childCount(), (onScreen + 1) * 4) << "cells and headers of the rows on screen only";

    std::vector<int> remade; // rows of the view made again, at each change of its model
    QAbstractItemModel* model = view->model();
    QObject::connect(model, &QAbstractItemModel::modelReset, [&] { remade.push_back(model->rowCount()); });
    QObject::connect(model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) { remade.push_back(last - first + 1); });
    QObject::connect(model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) { remade.push_back(to.row() - from.row() + 1); });
    for (int k = 0; k < 5; ++k) {
        press(w, Qt::Key_F3);
        click(w, "unir");
    }
    ASSERT_FALSE(remade.empty());
    for (const int rows : remade) EXPECT_LE(rows, onScreen);
    EXPECT_LE(accessible->tableInterface()->rowCount(), onScreen);
    QAccessible::setActive(false);
}

TEST_F(AlignmentWindowsTest, TheTwoRowsOfBoundaryButtonsAreToldApart)
{
    AlignmentWindow* w = reviewPrepared(dir.write("es_ref.txt", numbered(test::Language::Spanish)),
                                        dir.write("fr_ref.txt", numbered(test::Language::French)));
    ASSERT_NE(w, nullptr);
    QStringList names;
    for (const char* button : {"origine_avant", "origine_apres", "cible_avant", "cible_apres"}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w->findChild<QPushButton*>(button));
        ASSERT_NE(accessible, nullptr);
        names << accessible->text(QAccessible::Name);
    }
    EXPECT_EQ(names, (QStringList{QString::fromUtf8("Origen: 1.ª frase al par anterior"),
                                  QString::fromUtf8("Origen: Última frase al siguiente"),
                                  QString::fromUtf8("Meta: 1.ª frase al par anterior"),
                                  QString::fromUtf8("Meta: Última frase al siguiente")}));
}

TEST_F(AlignmentWindowsTest, AnEmptyOrBlankTranslationIsNamed)
{
    for (const char* translation : {"", " \r\n\t \r\n"}) {
        SCOPED_TRACE(translation);
        const QString fr = dir.write("fr.txt", translation);
        number(dir.write("es.txt", plain(test::Language::Spanish, false)), fr);
        ASSERT_NE(done(), nullptr);
        ASSERT_TRUE(offer()->isVisibleTo(done()));
        EXPECT_TRUE(offer()->text().contains(QString("El texto meta %1 está vacío o solo contiene blancos")
                                                 .arg(QDir::toNativeSeparators(fr))))
            << offer()->text().toStdString();
        EXPECT_FALSE(alignButton()->isVisibleTo(done()));
        menu(done(), "quitter");
    }
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
    const QString es = dir.write("es_ref.txt", numbered(test::Language::Spanish));
    const QString frPath = dir.write("fr_ref.txt", fr);
    AlignmentWindow* w = reviewPrepared(es, frPath);
    ASSERT_NE(w, nullptr);

    fake.dialogs.fileNames = {dir.path("valle.tmx")};
    fake.dialogs.languages.push_back(std::pair{QString("es-ES"), QString("fr-FR")});
    menu(w, "exporter");
    ASSERT_FALSE(fake.dialogs.shown.empty());
    EXPECT_TRUE(fake.dialogs.shown.back().text.startsWith("Memoria de traducción escrita: 47 unidades"))
        << fake.dialogs.shown.back().text.toStdString();
    const std::string tmx = readBytes(dir.path("valle.tmx"));
    EXPECT_NE(tmx.find("srclang=\"es-ES\""), std::string::npos);
    // The merged pair is one unit: Spanish sentences 3 and 4 against the one French record.
    const std::string merged = std::string(test::valleyText(test::Language::Spanish)[2]) + " " +
                               std::string(test::valleyText(test::Language::Spanish)[3]);
    EXPECT_NE(tmx.find("<tuv xml:lang=\"es-ES\"><seg>" + merged + "</seg></tuv>"), std::string::npos) << merged;

    // The languages stay with the pair, the review closed and opened again.
    menu(w, "quitter");
    w = reviewPrepared(es, frPath);
    fake.dialogs.fileNames = {dir.path("valle2.tmx")};
    menu(w, "exporter");
    EXPECT_NE(readBytes(dir.path("valle2.tmx")).find("srclang=\"es-ES\""), std::string::npos);
    menu(w, "quitter");
    // Another pair starts from the usual ones.
    w = reviewPrepared(es, dir.write("fr2_ref.txt", fr));
    fake.dialogs.fileNames = {dir.path("valle3.tmx")};
    menu(w, "exporter");
    EXPECT_NE(readBytes(dir.path("valle3.tmx")).find("srclang=\"es\""), std::string::npos);
}

TEST_F(AlignmentWindowsTest, AMemoryNamedWithoutAnEndingIsWrittenAsATmxFile)
{
    const QString es = dir.write("es_ref.txt", numbered(test::Language::Spanish));
    const QString fr = dir.write("fr_ref.txt", numbered(test::Language::French));
    AlignmentWindow* w = reviewPrepared(es, fr);
    ASSERT_NE(w, nullptr);
    struct Case {
        const char* name;
        const char* typed;
        const char* written;
    };
    const Case cases[] = {
        {"no ending: the memory's is added", "valle", "valle.tmx"},
        {"an ending of its own is kept", "valle.xml", "valle.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.dialogs.fileNames = {dir.path(c.typed)};
        menu(w, "exporter");
        EXPECT_TRUE(QFileInfo::exists(dir.path(c.written)));
        EXPECT_NE(readBytes(dir.path(c.written)).find("<tmx version=\"1.4\">"), std::string::npos);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.path("valle")));

    // The file of that name, ending added, is the one asked about.
    fake.dialogs.fileNames = {dir.path("valle")};
    fake.dialogs.answers = {Answer::No};
    const size_t before = fake.dialogs.shown.size();
    menu(w, "exporter");
    ASSERT_EQ(fake.dialogs.shown.size(), before + 1);
    EXPECT_TRUE(fake.dialogs.shown.back().text.startsWith(dir.path("valle.tmx") + "  ya existe."))
        << fake.dialogs.shown.back().text.toStdString();
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
