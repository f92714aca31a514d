// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/candidates_window.h"

#include "common/encoding.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "study/list_export.h"
#include "windows/search/export_dialog.h"
#include "windows/search/hit_display.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/searched_query.h"
#include "windows/study/study_window.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

namespace solandre {

CandidatesWindow::CandidatesWindow(FormRegistry& forms, const StudyRoad& road)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), road_(road)
{
    auto* layout = new QVBoxLayout(client());
    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"), QStringLiteral("Candidatos de traducción de :"),
                              0, 0, 0, 0);
    layout->addWidget(frame2);
    QBoxLayout* line = frameLayout(frame2, QBoxLayout::LeftToRight);
    form_ = textBox(frame2, QStringLiteral("Text1"), 0, 0, 0, 0);
    form_->setFont(timesFont(9.75));
    form_->setMinimumWidth(twips(2400));
    line->addWidget(form_, 1);
    QPushButton* calculate = button(frame2, QStringLiteral("Command1"), QStringLiteral("&Calcular"), 0, 0, 0, 0,
                                    [this] { Command1_Click(); });
    calculate->setFont(QFont(QStringLiteral("MS Sans Serif"), 10, QFont::Bold));
    calculate->setMinimumSize(twips(2400), twips(495));
    line->addWidget(calculate);
    connect(form_, &QLineEdit::returnPressed, this, [this] { Command1_Click(); });

    counts_ = label(client(), QStringLiteral("label3"), QString(), 0, 0, 0, 0);
    counts_->setFont(timesFont(10, true, true));
    setTextColour(counts_, colours::kDarkBlue);
    layout->addWidget(counts_);
    nothing_ = label(client(), QStringLiteral("label5"), QString(), 0, 0, 0, 0);
    nothing_->setFont(timesFont(10, false, true));
    nothing_->setWordWrap(true);
    nothing_->hide();
    layout->addWidget(nothing_);

    table_ = new QTableWidget(0, kCandidateColumns, client());
    table_->setObjectName(QStringLiteral("liste"));
    table_->setFont(timesFont(9.75));
    QStringList header;
    for (const char* title : kCandidateHeader) header << QString::fromUtf8(title);
    table_->setHorizontalHeaderLabels(header);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setTabKeyNavigation(false); // Tab goes on to the next control
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(table_->font()).height() + 6);
    // Each column as wide as its content; the last takes what is left.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #FFFF80; "
                                                             "color: #0000A0; border: 1px solid #A0A0A0; }"));
    table_->setMinimumHeight(twips(2400));
    layout->addWidget(table_, 1);

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("exporter"), QStringLiteral("&Exportar..."), [this] { exporter_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), [this] { fermer_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."), [this] { about_Click(); });

    growWithWindow(this, client(), 8400, 6120);
    closeOnEscape(this, [this] { fermer_Click(); });
}

void CandidatesWindow::Form_Load()
{
    if (ResultGridView* view = searchGrid(forms(), road_.searchWindow)) {
        // The search shown now is the one the window was opened for.
        hitsVersion_ = view->grid().hitsVersion();
        connect(view, &ResultGridView::rowsChanged, this, [this] { followSearch(); });
    }
}

void CandidatesWindow::followSearch()
{
    ResultGridView* view = searchGrid(forms(), road_.searchWindow);
    const SearchedQuery* search = searchedQuery(forms(), road_.searchWindow);
    if (!view || !search || search->searching() || view->grid().hitsVersion() == hitsVersion_) return;
    hitsVersion_ = view->grid().hitsVersion();
    const std::optional<QString> query = search->searchedQuery();
    if (!query) return;
    form_->setText(*query);
    // The search's own hits: whatever the query's form, they are what it found.
    const ResultGrid& grid = view->grid();
    WordList hits;
    for (size_t row = 1; row < grid.rows(); ++row)
        if (grid.isHit(row)) hits.push_back(grid.hit(row));
    const QString target = counterpart();
    if (target.isEmpty()) return; // said when the window opened
    list(*query, [&](const Progress& progress) { return candidatesOf(grid.index(), hits, target, kListed, progress); });
}

QString CandidatesWindow::counterpart()
{
    // The translation, or the original when the translation is searched.
    ResultGridView* view = searchGrid(forms(), road_.searchWindow);
    return view ? view->texts().counterpart : forms().text(road_.texts.form, road_.texts.target);
}

void CandidatesWindow::showCandidatesOfHits(const QString& shown)
{
    forms().show(objectName());
    form_->setText(shown);
    ResultGridView* view = searchGrid(forms(), road_.searchWindow);
    if (!view) return;
    const ResultGrid& grid = view->grid();
    WordList hits;
    for (size_t row = 1; row < grid.rows(); ++row)
        if (grid.isHit(row)) hits.push_back(grid.hit(row));
    const QString target = counterpart();
    list(shown, [&](const Progress& progress) { return candidatesOf(grid.index(), hits, target, kListed, progress); });
}

void CandidatesWindow::Command1_Click()
{
    ResultGridView* grid = searchGrid(forms(), road_.searchWindow);
    if (!grid) return;
    const QString typed = form_->text();
    const QString target = counterpart();
    list(typed, [&](const Progress& progress) {
        return candidatesOf(grid->grid().index(), typed, target, kListed, progress);
    });
}

void CandidatesWindow::list(const QString& form, const std::function<Result<CandidateList>(const Progress&)>& find)
{
    const QString target = counterpart();
    if (target.isEmpty()) {
        desktop().dialogs.message(this, {QStringLiteral("Para proponer traducciones hace falta el texto en "
                                                        "lengua meta.")});
        return;
    }
    Result<CandidateList> found = CandidateList();
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Buscando traducciones de %1 en %2").arg(form, QFileInfo(target).fileName()),
                    Cancel::Allowed, [&](const Progress& progress) { found = find(progress); });
    }
    if (!found) {
        if (!found.error().cancelled) desktop().dialogs.message(this, {found.error().message});
        return;
    }
    list_ = std::move(found.value());
    fillList();
    if (list_.withForm == 0)
        nothing_->setText(QStringLiteral("«%1» no está en ninguna frase del texto: no hay nada que comparar.").arg(form));
    else if (list_.best.empty())
        nothing_->setText(QStringLiteral("Ninguna palabra de la traducción va con «%1» más a menudo que por azar.")
                              .arg(form));
    nothing_->setVisible(list_.best.empty());
    if (auto* viewer = dynamic_cast<HitDisplay*>(forms().find(road_.viewer))) viewer->markCandidates();
}

void CandidatesWindow::showCandidatesOf(const QString& form)
{
    forms().show(objectName());
    form_->setText(form);
    // Before any search there is nothing to ask for.
    if (!form.isEmpty()) Command1_Click();
}

QStringList CandidatesWindow::bestWords(int count) const
{
    QStringList words;
    // What the table shows: nothing once it was emptied.
    const size_t listed = size_t(table_->rowCount());
    for (size_t k = 0; k < std::min({listed, list_.best.size(), size_t(std::max(count, 0))}); ++k)
        words << decodeText(list_.best[k].word, Encoding::Utf8);
    return words;
}

void CandidatesWindow::fillList()
{
    counts_->setText(QStringLiteral("Pares de frases : %1    con la forma : %2")
                         .arg(list_.pairs)
                         .arg(list_.withForm));
    table_->setRowCount(int(list_.best.size()));
    for (int row = 0; row < int(list_.best.size()); ++row) {
        const std::vector<std::string> cells = candidateCells(list_.best[size_t(row)]);
        for (int column = 0; column < kCandidateColumns; ++column) {
            const QString text = QString::fromStdString(cells[size_t(column)]);
            auto* cell = new QTableWidgetItem(text);
            cell->setToolTip(text); // whole, should the column be narrower than it
            cell->setTextAlignment((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (column == 0) {
                cell->setForeground(QColor(0, 128, 0)); // as the viewer marks them
                cell->setFont(timesFont(9.75, true));
            }
            table_->setItem(row, column, cell);
        }
    }
}

void CandidatesWindow::exporter_Click()
{
    exportWithDialogs(this, desktop(),
                      {forms().text(road_.texts.form, road_.texts.source), counterpart()},
                      [this](const QString& file, ExportFormat format, const Progress&) {
                          return exportCandidates(file, list_, format);
                      });
}

void CandidatesWindow::Form_Unload()
{
    // The viewer marks what this window lists: nothing, once it is gone.
    table_->setRowCount(0);
    if (auto* viewer = dynamic_cast<HitDisplay*>(forms().find(road_.viewer))) viewer->markCandidates();
}

void CandidatesWindow::fermer_Click() { forms().unload(objectName()); }
void CandidatesWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
