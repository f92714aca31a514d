// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form_names.h"
#include "search/reference_lines.h"
#include "windows/study/concordance_lines_window.h"
#include "windows/study/frequency_window.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/search_window.h"
#include "windows/widgets/windowed_table.h"
#include "support/reference_text.h"
#include "support/window_fixture.h"
#include "windows/viewer/context_viewer.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace solandre {
namespace {

using testing::cp1252;

const std::string kSource = cp1252("[1] La casa blanca y la casa roja.\r\n[2] Otra casa, dijo él.\r\n"
                                   "[3] Una casa\r\nen dos líneas.\r\n[4] Sin nada.\r\n");
const std::string kTarget = "[1] La maison blanche et la maison rouge.\r\n[2] Une autre maison, dit-il.\r\n"
                            "[3] Une maison\r\nsur deux lignes.\r\n";

class LinesWindowsTest : public testing::WindowTest {
protected:
    QString sourcePath = dir.write("obra_source_ref.txt", kSource);
    QString targetPath = dir.write("obra_cible_ref.txt", kTarget);
    SearchWindow* search = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        search = openPrepared(sourcePath, targetPath);
    }
    void menu(Form* window, const char* action) { window->findChild<QAction*>(action)->trigger(); }
    ConcordanceLinesWindow* openLines(const char* typed)
    {
        WindowTest::search(search, typed);
        menu(search, "kwic");
        return static_cast<ConcordanceLinesWindow*>(forms.find(names::frmlignes));
    }
    static WindowedTable* table(Form* w, const char* name) { return w->findChild<WindowedTable*>(name); }
    // The cells of the rows on screen, "left|form|right|marker" each.
    static std::vector<std::string> shown(WindowedTable* view)
    {
        const QAbstractItemModel* model = view->table()->model();
        std::vector<std::string> rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            std::string row;
            for (int c = 0; c < model->columnCount(); ++c)
                row += (c ? "|" : "") + model->data(model->index(r, c)).toString().toStdString();
            rows.push_back(row);
        }
        return rows;
    }
    static void clickRow(WindowedTable* view, size_t row)
    {
        QTableView* t = view->table();
        const QModelIndex cell = t->model()->index(int(row - view->topRow()), 0);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(cell).center());
    }
    static QString pane(Form* w, const char* name) { return w->findChild<QTextEdit*>(name)->toPlainText(); }
};

TEST_F(LinesWindowsTest, TheSentenceBelowIsNamedForTheTextItComesFrom)
{
    ConcordanceLinesWindow* w = openLines("casa");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QGroupBox*>("Frame2")->title().toStdString(), "Texto en lengua meta :");

    // Searching the translation, the original stands below.
    QCheckBox* translation = search->findChild<QCheckBox*>("traduction");
    QTest::mouseClick(translation, Qt::LeftButton, {}, QPoint(8, translation->height() / 2));
    w = openLines("maison");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QGroupBox*>("Frame2")->title().toStdString(), "Texto en lengua de origen :");
}

class RightToLeftCaptionsTest : public testing::WindowTest {
protected:
    // Laid out as a caption is, its direction taken from its text: the count
    // stands right of every letter of the query.
    static bool countStandsLast(const QString& shown)
    {
        QTextLayout layout(shown, QFont());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        const auto edges = [&](int i) {
            const qreal a = line.cursorToX(i, QTextLine::Leading), b = line.cursorToX(i, QTextLine::Trailing);
            return std::pair{std::min(a, b), std::max(a, b)};
        };
        const int digit = int(shown.size()) - 1;
        for (int i = 0; i < digit; ++i)
            if (shown[i].isLetter() && edges(i).second > edges(digit).first + 0.5) return false;
        return true;
    }
};

TEST_F(RightToLeftCaptionsTest, ATotalNamingARightToLeftQueryStillReadsQueryThenCount)
{
    struct Case {
        const char* name;
        const char* typed;
        const char* count;
    };
    const Case cases[] = {
        {"Hebrew", "הספר", "= 1"},
        {"Hebrew or Arabic", "הספר|الكتاب", "= 2"},
        {"Latin then Arabic", "casa|الكتاب", "= 2"},
    };
    const QString source = dir.write("sefer_source_ref.txt", "[1] הספר על השולחן.\r\n[2] الكتاب على الطاولة casa.\r\n");
    SearchWindow* w = openPrepared(source);
    ASSERT_NE(w, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        search(w, QString::fromUtf8(c.typed));
        w->findChild<QAction*>("kwic")->trigger();
        auto* lines = static_cast<ConcordanceLinesWindow*>(forms.find(names::frmlignes));
        ASSERT_NE(lines, nullptr);
        for (const QString& shown : {total(w), lines->findChild<QLabel*>("label4")->text()}) {
            // Read left to right: the query first, then its count.
            EXPECT_FALSE(shown.isRightToLeft()) << shown.toStdString();
            EXPECT_TRUE(countStandsLast(shown)) << shown.toStdString();
            EXPECT_TRUE(shown.contains(QString::fromUtf8(c.typed)));
            EXPECT_TRUE(shown.endsWith(QString::fromUtf8(c.count))) << shown.toStdString();
        }
    }
    search(w, QStringLiteral("casa"));
    EXPECT_EQ(total(w), "casa = 1") << "a left-to-right query as it always was";
}

TEST_F(LinesWindowsTest, ALinePerHitWithItsContextsFromTheViewMenu)
{
    ConcordanceLinesWindow* w = openLines("casa");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->findChild<QLabel*>("label4")->text(), "casa = 4");
    EXPECT_EQ(shown(table(w, "lignes")),
              (std::vector<std::string>{"La|casa|blanca y la casa roja.|[1]", "La casa blanca y la|casa|roja.|[1]",
                                        "Otra|casa|, dijo él.|[2]", "Una|casa|en dos líneas.|[3]"}));
    const QAbstractItemModel* model = table(w, "lignes")->table()->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Contexto izquierdo");
    EXPECT_EQ(model->data(model->index(0, 0), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight)
        << "the left context stands against the form";
    EXPECT_TRUE(model->data(model->index(0, 1), Qt::FontRole).value<QFont>().bold());
}

TEST_F(LinesWindowsTest, SortButtonsOrderTheLinesAndATieKeepsTheOrderBefore)
{
    // The four lines, named by the first character of their right context:
    //   b  [1] La casa | blanca y la casa roja.   left: la, -      right: blanca, y
    //   r  [1] ... y la casa | roja.              left: la, y      right: roja, -
    //   ,  [2] Otra casa | , dijo él.             left: otra, -    right: dijo, él
    //   e  [3] Una casa | en dos líneas.          left: una, -     right: en, dos
    ConcordanceLinesWindow* w = openLines("casa");
    auto order = [&] {
        std::string out;
        for (const ConcordanceLine& l : {w->lines().line(0), w->lines().line(1), w->lines().line(2), w->lines().line(3)})
            out += l.right.front();
        return out;
    };
    struct Step { const char* button; const char* order; };
    const Step steps[] = {
        {"trier_droite1", "b,er"}, // blanca, dijo, en, roja
        {"trier_gauche1", "br,e"}, // la, la (as they stood), otra, una
        {"trier_forme", "br,e"},   // every form ties
        {"trier_gauche2", "b,er"}, // none three times, as they stood, then y
        {"trier_droite2", "re,b"}, // none, dos, él, y: alphabetically, é by e
    };
    for (const Step& s : steps) {
        w->findChild<QPushButton*>(s.button)->click();
        EXPECT_EQ(order(), s.order) << s.button;
    }
    EXPECT_EQ(shown(table(w, "lignes")).front(), "La casa blanca y la|casa|roja.|[1]") << "the table shows the order";
}

TEST_F(LinesWindowsTest, AClickOpensTheViewerOnThatHitAndTheTranslationShowsBelow)
{
    ConcordanceLinesWindow* w = openLines("casa");
    w->findChild<QPushButton*>("trier_droite1")->click(); // [1] [2] [3] [1]
    clickRow(table(w, "lignes"), 1);
    auto* viewer = static_cast<ContextViewer*>(forms.find(names::frmaff_contexte));
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(pane(viewer, "label3"), "[2] Otra casa, dijo él.\n");
    EXPECT_EQ(pane(w, "traduction"), "[2] Une autre maison, dit-il.");
    EXPECT_EQ(search->grid().row(), 3u) << "the search window's grid follows";

    // With the viewer open, a click on another line moves it there.
    clickRow(table(w, "lignes"), 2);
    EXPECT_EQ(forms.find(names::frmaff_contexte), viewer);
    EXPECT_EQ(pane(viewer, "label3"), "[3] Una casa\nen dos líneas.\n");
    EXPECT_EQ(viewer->currentRow(), 4u);
    EXPECT_EQ(pane(w, "traduction"), "[3] Une maison\nsur deux lignes.");
}

TEST_F(LinesWindowsTest, KeysMoveTheCurrentLineAndItsTranslationWithoutOpeningTheViewer)
{
    ConcordanceLinesWindow* w = openLines("casa");
    QTableView* t = table(w, "lignes")->table();
    QTest::keyClick(t, Qt::Key_Down);
    EXPECT_EQ(table(w, "lignes")->currentRow(), 0u);
    QTest::keyClick(t, Qt::Key_End);
    EXPECT_EQ(table(w, "lignes")->currentRow(), 3u);
    EXPECT_EQ(pane(w, "traduction"), "[3] Une maison\nsur deux lignes.");
    QTest::keyClick(t, Qt::Key_Up);
    EXPECT_EQ(pane(w, "traduction"), "[2] Une autre maison, dit-il.");
    EXPECT_FALSE(forms.isLoaded(names::frmaff_contexte));
}

TEST_F(LinesWindowsTest, TheWindowsFollowANewSearchButNotASortOfTheGrid)
{
    ConcordanceLinesWindow* w = openLines("casa");
    menu(search, "frequences");
    auto* f = static_cast<FrequencyWindow*>(forms.find(names::frmfrequences));
    ASSERT_NE(f, nullptr);
    w->findChild<QPushButton*>("trier_droite1")->click();
    const std::vector<std::string> sorted = shown(table(w, "lignes"));
    search->findChild<QPushButton*>("Command2")->click(); // "Formas"
    EXPECT_EQ(shown(table(w, "lignes")), sorted);

    WindowTest::search(search, "la");
    EXPECT_EQ(w->findChild<QLabel*>("label4")->text(), "la = 2");
    EXPECT_EQ(shown(table(w, "lignes")).front(), "|La|casa blanca y la casa roja.|[1]");
    EXPECT_EQ(shown(table(f, "formes")), (std::vector<std::string>{"la|2"}));
    EXPECT_EQ(f->findChild<QLabel*>("label4")->text(), "la = 1 forma(s), 2 ocurrencia(s)");
}

TEST_F(LinesWindowsTest, FrequenciesByCountOrAlphabetically)
{
    WindowTest::search(search, "*");
    menu(search, "frequences");
    Form* f = forms.find(names::frmfrequences);
    const auto top = [&] {
        const auto rows = shown(table(f, "formes"));
        return std::vector<std::string>(rows.begin(), rows.begin() + 4);
    };
    EXPECT_EQ(top(), (std::vector<std::string>{"casa|4", "la|2", "blanca|1", "dijo|1"}));
    f->findChild<QPushButton*>("trier_alpha")->click();
    EXPECT_EQ(top(), (std::vector<std::string>{"blanca|1", "casa|4", "dijo|1", "dos|1"}));
    // "Alfabético" as a dictionary has it: "él" with the e, "líneas" with the l.
    std::string forms;
    for (const std::string& row : shown(table(f, "formes"))) forms += row.substr(0, row.find('|')) + " ";
    EXPECT_EQ(forms, "blanca casa dijo dos él en la líneas nada otra roja sin una y ");
    f->findChild<QPushButton*>("trier_nombre")->click();
    EXPECT_EQ(top().front(), "casa|4");
}

TEST_F(LinesWindowsTest, ClosingTheSearchWindowClosesTheWindowsThatReadIt)
{
    openLines("casa");
    for (const char* action : {"frequences", "candidats"}) menu(search, action);
    for (const char* name : {names::frmlignes, names::frmfrequences, names::frmcandidats})
        EXPECT_TRUE(forms.isLoaded(name)) << name;
    search->quitter_Click();
    for (const char* name : {names::frmlignes, names::frmfrequences, names::frmcandidats})
        EXPECT_FALSE(forms.isLoaded(name)) << name;
}

TEST_F(LinesWindowsTest, TheFreshRoadHasWindowsOfItsOwn)
{
    search->quitter_Click();
    SearchWindow* fresh = openFresh(dir.write("obra.txt", cp1252("Una casa. Otra casa.")),
                                    dir.write("oeuvre.txt", "Une maison. Une autre maison."));
    ASSERT_NE(fresh, nullptr);
    WindowTest::search(fresh, "casa");
    menu(fresh, "kwic");
    Form* w = forms.find(names::frmlignes02);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(forms.isLoaded(names::frmlignes));
    clickRow(table(w, "lignes"), 1);
    EXPECT_EQ(pane(w, "traduction"), "[2] Une autre maison.");
    ASSERT_TRUE(forms.isLoaded(names::frmaff_contexte02));
    EXPECT_EQ(pane(forms.find(names::frmaff_contexte02), "label3"), "[2] Otra casa.\n");
}

TEST_F(LinesWindowsTest, MillionsOfLinesShowOnlyWhatFits)
{
    std::string text;
    for (int s = 1; s <= 20000; ++s) text += "[" + std::to_string(s) + "] uno dos.\r\n";
    search->quitter_Click();
    search = openPrepared(dir.write("largo.txt", text), targetPath);
    ConcordanceLinesWindow* w = openLines("*");
    WindowedTable* view = table(w, "lignes");
    const int fit = view->visibleRows();
    ASSERT_GT(fit, 3);
    EXPECT_EQ(view->table()->model()->rowCount(), fit);
    QScrollBar* bar = view->findChild<QScrollBar*>("scrollBar");
    EXPECT_EQ(bar->maximum(), 40000 - fit);
    bar->setValue(bar->maximum());
    EXPECT_EQ(shown(view).back(), "uno|dos|.|[20000]");
}

// The window's lines against the character-by-character reading, on random
// texts, before and after a sort.
TEST_F(LinesWindowsTest, LinesAgreeWithTheReadingOnRandomTexts)
{
    std::mt19937 random(29);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const std::vector<std::string> words = {"casa", "Casa", "cosa", "él", "a", "œuvre", ", ", " ", "\r\n", "\t", "-"};
    for (int round = 0; round < 12; ++round) {
        std::string text;
        for (int s = 1; s <= 1 + int(pick(12)); ++s) {
            text += "[" + std::to_string(s) + "] ";
            for (size_t w = pick(14); w > 0; --w) text += cp1252(words[pick(words.size())].c_str()) + " ";
            text += ".\r\n";
        }
        search->quitter_Click();
        search = openPrepared(dir.write("azar" + QString::number(round) + ".txt", text), targetPath);
        ConcordanceLinesWindow* w = openLines("c*");
        auto expected = reference::concordanceLines(text, "c*", Encoding::Windows1252, ConcordanceLines::kContext);
        for (int pass = 0; pass < 2; ++pass) {
            const ConcordanceLines& lines = w->lines();
            ASSERT_EQ(lines.size(), expected.size()) << text;
            for (size_t k = 0; k < lines.size(); ++k) {
                const ConcordanceLine l = lines.line(k);
                ASSERT_EQ(lines.hit(k), expected[k].word) << text;
                ASSERT_EQ(l.left, expected[k].left) << text;
                ASSERT_EQ(l.right, expected[k].right) << text;
            }
            w->findChild<QPushButton*>("trier_gauche1")->click();
            std::stable_sort(expected.begin(), expected.end(), [](const auto& x, const auto& y) {
                return reference::decode(x.keys[reference::kLeft1], Encoding::Utf8) <
                       reference::decode(y.keys[reference::kLeft1], Encoding::Utf8);
            });
        }
    }
}

} // namespace
} // namespace solandre
