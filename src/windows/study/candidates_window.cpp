// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/candidates_window.h"

#include "common/encoding.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "study/list_export.h"
#include "windows/search/export_dialog.h"
#include "windows/search/hit_display.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/searched_query.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <algorithm>

namespace solandre {

CandidatesWindow::CandidatesWindow(FormRegistry& forms, const StudyRoad& road) : StudyWindow(forms), road_(road)
{
    shown_ = layOutCandidates([this] { Command1_Click(); }, {});
    // Rows and headings as the lists of the search have them.
    QTableWidget* table = shown_.table;
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(table->font()).height() + 6);
    table->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #FFFF80; "
                                                            "color: #0000A0; border: 1px solid #A0A0A0; }"));
    addMenus([this] { exporter_Click(); }, [this] { fermer_Click(); }, [this] { about_Click(); });

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
    shown_.form->setText(*query);
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
    shown_.form->setText(shown);
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
    const QString typed = shown_.form->text();
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
    std::optional<CandidateList> found = findCandidates(
        QStringLiteral("Buscando traducciones de %1 en %2").arg(form, QFileInfo(target).fileName()), find);
    if (!found) return;
    list_ = std::move(*found);
    showCandidates(
        shown_, list_, QStringLiteral("«%1» no está en ninguna frase del texto: no hay nada que comparar.").arg(form),
        QStringLiteral("Ninguna palabra de la traducción va con «%1» más a menudo que por azar.").arg(form));
    if (auto* viewer = dynamic_cast<HitDisplay*>(forms().find(road_.viewer))) viewer->markCandidates();
}

void CandidatesWindow::showCandidatesOf(const QString& form)
{
    forms().show(objectName());
    shown_.form->setText(form);
    // Before any search there is nothing to ask for.
    if (!form.isEmpty()) Command1_Click();
}

QStringList CandidatesWindow::bestWords(int count) const
{
    QStringList words;
    // What the table shows: nothing once it was emptied.
    const size_t listed = size_t(shown_.table->rowCount());
    for (size_t k = 0; k < std::min({listed, list_.best.size(), size_t(std::max(count, 0))}); ++k)
        words << decodeText(list_.best[k].word, Encoding::Utf8);
    return words;
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
    shown_.table->setRowCount(0);
    if (auto* viewer = dynamic_cast<HitDisplay*>(forms().find(road_.viewer))) viewer->markCandidates();
}

void CandidatesWindow::fermer_Click() { forms().unload(objectName()); }
void CandidatesWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
