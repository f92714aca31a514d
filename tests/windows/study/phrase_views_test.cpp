// SPDX-License-Identifier: GPL-3.0-or-later
// Every view of a search opened on the hits of a phrase: the viewer, the
// concordance lines, the frequencies, the candidates, the saving, the
// printing and the export.
#include "forms/form.h"
#include "forms/form_names.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/search_window.h"
#include "windows/study/concordance_lines_window.h"
#include "windows/viewer/context_viewer.h"
#include "windows/widgets/windowed_table.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;
using testing::readBytes;

// "casa del río" in 2, 4 and 6, once across a line break; "maison" in the
// translations of 2 and 4 only.
std::pair<std::string, std::string> texts()
{
    std::string source, target;
    for (int n = 1; n <= 6; ++n) {
        const bool phrase = n % 2 == 0;
        source += "[" + std::to_string(n) + "] Dijo" +
                  (phrase ? (n == 4 ? " la casa\r\ndel r\xEDo" : " la casa, del r\xEDo") : " nada") + " hoy.\r\n";
        target += "[" + std::to_string(n) + "] Il dit" + (n == 2 || n == 4 ? " maison" : " autre chose") + ".\r\n";
    }
    return {source, target};
}

class PhraseViewsTest : public testing::WindowTest {
protected:
    QString sourcePath = dir.write("obra_source_ref.txt", texts().first);
    QString targetPath = dir.write("obra_cible_ref.txt", texts().second);
    SearchWindow* search = nullptr;

    void SetUp() override
    {
        WindowTest::SetUp();
        search = openPrepared(sourcePath, targetPath, "Obra");
        ASSERT_NE(search, nullptr);
        QLineEdit* box = search->findChild<QLineEdit*>("Text1");
        typeText(box, QString::fromUtf8("casa del río"));
        typeText(search->findChild<QLineEdit*>("Text2"), "maison");
        QTest::keyClick(box, Qt::Key_Return);
    }
    static void menu(Form* window, const char* action) { window->findChild<QAction*>(action)->trigger(); }
    ContextViewer* clickRow(size_t row)
    {
        QTableView* table = search->findChild<ResultGridView*>("grille01")->table();
        const QModelIndex cell = table->model()->index(int(row - 1), 0);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
        return static_cast<ContextViewer*>(forms.find(names::frmaff_contexte));
    }
    // The text of a pane's characters marked in blue and bold, "|" between runs.
    static std::string marked(ContextViewer* v, const char* pane)
    {
        QTextEdit* edit = v->findChild<QTextEdit*>(pane);
        const QString text = edit->toPlainText();
        QTextCursor cursor(edit->document());
        std::string out;
        bool in = false;
        for (int p = 0; p < text.size(); ++p) {
            cursor.setPosition(p + 1);
            const QTextCharFormat f = cursor.charFormat();
            // At a line's start the cursor gives the format of the character after it.
            const bool mark = text[p] != QLatin1Char('\n') && f.fontWeight() == QFont::Bold &&
                              f.foreground().color() == QColor(0, 0, 255);
            if (mark && !in && !out.empty()) out += "|";
            if (mark) out += QString(text[p]).toStdString();
            in = mark;
        }
        return out;
    }
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
};

TEST_F(PhraseViewsTest, TheGridListsEachPhraseAsWrittenWithTheConditionKept)
{
    EXPECT_EQ(rows(search), cp1252("casa, del río[2] casa del río[4]"));
    EXPECT_EQ(total(search), QString::fromUtf8("casa del río = 2"));
}

TEST_F(PhraseViewsTest, TheViewerMarksEveryWordOfThePhraseAndTheTranslationsMatch)
{
    ContextViewer* v = clickRow(2);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->findChild<QLabel*>("Label6")->text(), QString::fromUtf8("casa del río"));
    EXPECT_EQ(v->findChild<QTextEdit*>("label3")->toPlainText(), QString::fromUtf8("[4] Dijo la casa\ndel río hoy.\n"));
    EXPECT_EQ(marked(v, "label3"), "casa|del|río");
    EXPECT_EQ(marked(v, "label4"), "maison");
    v->Command2_Click(); // "Contexto precedente"
    EXPECT_EQ(marked(v, "label3"), "casa|del|río");
    EXPECT_EQ(marked(v, "label4"), "maison");
}

TEST_F(PhraseViewsTest, TheLinesTakeThePhraseAsTheirKey)
{
    menu(search, "kwic");
    auto* lines = static_cast<ConcordanceLinesWindow*>(forms.find(names::frmlignes));
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(shown(lines->findChild<WindowedTable*>("lignes")),
              (std::vector<std::string>{"Dijo la|casa, del río|hoy.|[2]", "Dijo la|casa del río|hoy.|[4]"}));
}

TEST_F(PhraseViewsTest, TheFrequenciesCountEachTextFound)
{
    menu(search, "frequences");
    Form* frequencies = forms.find(names::frmfrequences);
    ASSERT_NE(frequencies, nullptr);
    EXPECT_EQ(shown(frequencies->findChild<WindowedTable*>("formes")),
              (std::vector<std::string>{"casa del río|1", "casa, del río|1"}));
}

TEST_F(PhraseViewsTest, TheCandidatesReadTheTranslationsOfTheHits)
{
    menu(search, "candidats");
    Form* candidates = forms.find(names::frmcandidats);
    ASSERT_NE(candidates, nullptr);
    EXPECT_EQ(candidates->findChild<QLineEdit*>("Text1")->text(), QString::fromUtf8("casa del río"));
    auto* list = candidates->findChild<QTableWidget*>("liste");
    ASSERT_GT(list->rowCount(), 0);
    EXPECT_EQ(list->item(0, 0)->text(), "maison");
    EXPECT_TRUE(candidates->findChild<QLabel*>("label3")->text().contains(QString::fromUtf8("con la forma : 2")));
}

TEST_F(PhraseViewsTest, SavingPrintingAndExportWriteThePhraseAsTheGridShowsIt)
{
    const QString saved = dir.path("resultados.txt");
    fake.dialogs.fileNames.push_back(saved);
    menu(search, "enregistrer");
    const std::string file = readBytes(saved);
    EXPECT_NE(file.find(cp1252("casa, del río") + std::string(36 - 13, ' ') + "[2]\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find(cp1252("[4] Dijo la casa\r\ndel río hoy.\r\n\r\n[4] Il dit maison.")), std::string::npos) << file;

    fake.printer.log.clear();
    search->imprimer_Click();
    EXPECT_NE(std::find(fake.printer.log.begin(), fake.printer.log.end(), QString::fromUtf8("print 'casa del río' stay")),
              fake.printer.log.end());

    const QString exported = dir.path("lineas.tsv");
    fake.dialogs.fileNames.push_back(exported);
    menu(search, "exporter");
    EXPECT_NE(readBytes(exported).find("casa del río\t[4]\tDijo la\thoy.\t\"Dijo la casa\r\ndel río hoy.\"\tIl dit maison."),
              std::string::npos)
        << readBytes(exported);
}

} // namespace
} // namespace solandre
