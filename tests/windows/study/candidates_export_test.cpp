// SPDX-License-Identifier: GPL-3.0-or-later
#include "forms/form_names.h"
#include "windows/study/candidates_window.h"
#include "windows/study/concordance_lines_window.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/search_window.h"
#include "support/window_fixture.h"
#include "support/xlsx_reader.h"
#include "windows/viewer/context_viewer.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::cp1252;
using testing::readBytes;

// "casa" in sentences 3, 6, 9 and 12, "maison" in their translations.
std::pair<std::string, std::string> pair()
{
    std::string source, target;
    for (int n = 1; n <= 12; ++n) {
        const bool form = n % 3 == 0;
        source += "[" + std::to_string(n) + "] uno" + (form ? " casa" : "") + ".\r\n";
        target += "[" + std::to_string(n) + "] un" + (form ? " maison" : "") + (n == 3 ? " vieille" : "") + ".\r\n";
    }
    return {source, target};
}

class StudyWindowsTest : public testing::WindowTest {
protected:
    QString sourcePath = dir.write("obra_source_ref.txt", pair().first);
    QString targetPath = dir.write("obra_cible_ref.txt", pair().second);
    SearchWindow* search = nullptr;

    void open(const QString& target)
    {
        search = openPrepared(sourcePath, target);
        WindowTest::search(search, "casa");
    }
    static void menu(Form* window, const char* action) { window->findChild<QAction*>(action)->trigger(); }
    // "word score joint inTarget" per row.
    static std::vector<std::string> listed(Form* w)
    {
        auto* list = w->findChild<QTableWidget*>("liste");
        std::vector<std::string> rows;
        for (int r = 0; r < list->rowCount(); ++r) {
            std::string row;
            for (int c = 0; c < list->columnCount(); ++c) row += (c ? " " : "") + list->item(r, c)->text().toStdString();
            rows.push_back(row);
        }
        return rows;
    }
    ContextViewer* clickGrid(size_t row)
    {
        QTableView* table = search->findChild<ResultGridView*>("grille01")->table();
        const QModelIndex cell = table->model()->index(int(row - 1), 0);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
        return static_cast<ContextViewer*>(forms.find(names::frmaff_contexte));
    }
    // The words of a pane in the colour given, bold.
    static QStringList marked(ContextViewer* v, const char* pane, QColor colour)
    {
        QTextEdit* edit = v->findChild<QTextEdit*>(pane);
        const QString text = edit->toPlainText();
        QStringList words;
        QString word;
        QTextCursor cursor(edit->document());
        for (int p = 0; p <= text.size(); ++p) {
            bool in = false;
            if (p < text.size()) {
                cursor.setPosition(p + 1);
                const QTextCharFormat f = cursor.charFormat();
                in = f.fontWeight() == QFont::Bold && f.foreground().color() == colour;
            }
            if (in) {
                word += text[p];
            } else if (!word.isEmpty()) {
                words << word;
                word.clear();
            }
        }
        return words;
    }
    static const inline QColor kGreen{0, 128, 0};
    static const inline QColor kBlue{0, 0, 255};
};

TEST_F(StudyWindowsTest, TheSearchWindowAsksForTheCandidatesOfTheSearchedForm)
{
    open(targetPath);
    menu(search, "candidats");
    Form* w = forms.find(names::frmcandidats);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->findChild<QLineEdit*>("Text1")->text(), "casa");
    EXPECT_EQ(w->findChild<QLabel*>("label3")->text(), "Pares de frases : 12    con la forma : 4");
    EXPECT_EQ(listed(w), (std::vector<std::string>{"maison 16.78 15.28 4 4", "vieille 5.93 2.39 1 1"}));
    const auto* list = w->findChild<QTableWidget*>("liste");
    EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QString::fromUtf8("Puntuación"));
    EXPECT_EQ(list->horizontalHeaderItem(2)->text(), QString::fromUtf8("G²"));

    // Another form typed in the window's own box.
    w->findChild<QLineEdit*>("Text1")->setText("uno");
    w->findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(listed(w), std::vector<std::string>{}) << "every pair has \"uno\": nothing stands out";
}

TEST_F(StudyWindowsTest, TheViewerAsksForTheFormShownAndMarksTheBestInGreen)
{
    open(targetPath);
    ContextViewer* v = clickGrid(1);
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(marked(v, "label4", kGreen).isEmpty()) << "no marks before any candidates";
    menu(v, "candidats");
    Form* w = forms.find(names::frmcandidats);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QLineEdit*>("Text1")->text(), "casa");
    EXPECT_EQ(marked(v, "label4", kGreen), (QStringList{"maison", "vieille"}));
    EXPECT_EQ(marked(v, "label3", kBlue), QStringList{"casa"}) << "the form keeps its own colour";

    v->Command1_Click(); // the next hit: its translation marked as well
    EXPECT_EQ(v->findChild<QTextEdit*>("label4")->toPlainText(), "[6] un maison.\n");
    EXPECT_EQ(marked(v, "label4", kGreen), QStringList{"maison"});

    w->findChild<QAction*>("fermer")->trigger();
    EXPECT_TRUE(marked(v, "label4", kGreen).isEmpty()) << "the marks go with the window";
    EXPECT_EQ(v->findChild<QTextEdit*>("label4")->toPlainText(), "[6] un maison.\n");
}

TEST_F(StudyWindowsTest, WithoutATargetTheCandidatesWindowSaysWhatIsMissing)
{
    struct Case { const char* name; QString target; QString said; };
    const Case cases[] = {
        {"none named", QString(), QString::fromUtf8("hace falta el texto en lengua meta")},
        {"one that is not there", dir.path("perdido.txt"), dir.path("perdido.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open(c.target);
        fake.dialogs.shown.clear();
        menu(search, "candidats");
        ASSERT_EQ(fake.dialogs.shown.size(), 1u);
        EXPECT_TRUE(fake.dialogs.shown[0].text.contains(c.said)) << fake.dialogs.shown[0].text.toStdString();
        EXPECT_TRUE(listed(forms.find(names::frmcandidats)).empty());
        search->quitter_Click();
    }
}

TEST_F(StudyWindowsTest, TheSearchWindowExportsItsListAndSaysSo)
{
    open(targetPath);
    const QString file = dir.path("lineas.csv");
    fake.dialogs.fileNames.push_back(file);
    menu(search, "exporter");
    EXPECT_EQ(fake.dialogs.filters.back(),
              QString::fromUtf8("Libro de hoja de cálculo (*.xlsx)|*.xlsx|Valores separados por comas (*.csv)|*.csv|"
                                "Texto separado por tabuladores (*.tsv)|*.tsv"));
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, QString::fromUtf8("la exportación ha finalizado."));
    const std::string written = readBytes(file);
    EXPECT_TRUE(written.starts_with("\xEF\xBB\xBF" "Forma,Referencia,")) << written;
    EXPECT_NE(written.find("\r\ncasa,[3],uno,.,uno casa.,un maison vieille.\r\n"), std::string::npos) << written;
    EXPECT_TRUE(written.ends_with("\r\ncasa,[12],uno,.,uno casa.,un maison.\r\n")) << written;
}

TEST_F(StudyWindowsTest, ExportRefusesATextAndAsksBeforeReplacingAFile)
{
    open(targetPath);
    const std::string source = readBytes(sourcePath);
    for (const QString& text : {sourcePath, targetPath}) {
        fake.dialogs.shown.clear();
        fake.dialogs.fileNames.push_back(text);
        search->exporter_Click();
        ASSERT_EQ(fake.dialogs.shown.size(), 1u);
        EXPECT_TRUE(fake.dialogs.shown[0].text.contains("\"" + text + "\": es uno de los textos"))
            << fake.dialogs.shown[0].text.toStdString();
        EXPECT_EQ(fake.dialogs.shown[0].buttons, Buttons::Ok) << "refused before any question";
    }
    EXPECT_EQ(readBytes(sourcePath), source);

    const QString old = dir.write("lineas.tsv", "antes");
    fake.dialogs.shown.clear();
    fake.dialogs.fileNames.push_back(old);
    fake.dialogs.answers.push_back(Answer::No);
    search->exporter_Click();
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, old + QString::fromUtf8(" ya existe.\r\n¿Desea reemplazarlo?"));
    EXPECT_EQ(readBytes(old), "antes");
}

TEST_F(StudyWindowsTest, TheLinesWindowExportsItsLinesInItsOrder)
{
    open(targetPath);
    WindowTest::search(search, "*");
    menu(search, "kwic");
    auto* w = static_cast<ConcordanceLinesWindow*>(forms.find(names::frmlignes));
    w->findChild<QPushButton*>("trier_forme")->click(); // casa before uno
    const QString file = dir.path("lineas.tsv");
    fake.dialogs.fileNames.push_back(file);
    menu(w, "exporter");
    const std::string written = readBytes(file);
    const size_t header = written.find("\r\n") + 2;
    EXPECT_TRUE(written.substr(header).starts_with("casa\t[3]\tuno\t.\tuno casa.\tun maison vieille.\r\n")) << written;
    EXPECT_TRUE(written.ends_with("uno\t[12]\t\tcasa.\tuno casa.\tun maison.\r\n")) << written;
}

// Each window that lists what a search found exports it, in the type chosen
// in the dialog; a bare name gets the type's ending.
TEST_F(StudyWindowsTest, EachListExportsInTheTypeChosen)
{
    open(targetPath);
    struct Window { const char* name; const char* action; const char* header; };
    const Window windows[] = {
        {names::Frmcontexte, nullptr, "Forma|Referencia|Contexto izquierdo|Contexto derecho|Frase|Traducción"},
        {names::frmlignes, "kwic", "Forma|Referencia|Contexto izquierdo|Contexto derecho|Frase|Traducción"},
        {names::frmfrequences, "frequences", "Forma|Ocurrencias"},
        {names::frmcandidats, "candidats", "Candidato|Puntuación|G²|Con la forma|En la traducción"},
    };
    struct Type { int chosen; const char* ending; };
    const Type types[] = {{0, ".xlsx"}, {1, ".csv"}, {2, ".tsv"}};
    for (const Window& w : windows) {
        if (w.action) menu(search, w.action);
        Form* window = forms.find(w.name);
        ASSERT_NE(window, nullptr) << w.name;
        for (const Type& t : types) {
            SCOPED_TRACE(std::string(w.name) + t.ending);
            const QString bare = dir.path(QStringLiteral("%1_%2").arg(w.name).arg(t.chosen));
            fake.dialogs.fileNames.push_back(bare);
            fake.dialogs.fileTypes.push_back(t.chosen);
            fake.dialogs.shown.clear();
            menu(window, "exporter");
            ASSERT_EQ(fake.dialogs.shown.size(), 1u);
            EXPECT_EQ(fake.dialogs.shown[0].text, QString::fromUtf8("la exportación ha finalizado."));
            EXPECT_FALSE(QFile::exists(bare)) << "no file under the bare name";
            const QString file = bare + t.ending;
            std::vector<std::string> rows;
            if (t.chosen == 0) {
                std::string why;
                const auto book = testing::readXlsx(file, &why);
                ASSERT_TRUE(book) << why;
                rows = testing::rowTexts(book->sheets.at(0));
                EXPECT_TRUE(book->sheets[0].headerFrozen);
            } else {
                std::string written = readBytes(file);
                ASSERT_TRUE(written.starts_with("\xEF\xBB\xBF")) << written;
                std::replace(written.begin(), written.end(), t.chosen == 1 ? ',' : '\t', '|');
                for (size_t end; (end = written.find("\r\n")) != std::string::npos; written.erase(0, end + 2))
                    rows.push_back(written.substr(0, end));
                rows.front().erase(0, 3);
            }
            ASSERT_GT(rows.size(), 1u);
            EXPECT_EQ(rows[0], w.header);
        }
    }
    // A name that ends as a format does is that format, whatever the type chosen.
    fake.dialogs.fileNames.push_back(dir.path("lineas.tsv"));
    fake.dialogs.fileTypes.push_back(1);
    menu(search, "exporter");
    EXPECT_TRUE(readBytes(dir.path("lineas.tsv")).starts_with("\xEF\xBB\xBF" "Forma\tReferencia\t"));
}

} // namespace
} // namespace solandre
