// SPDX-License-Identifier: GPL-3.0-or-later
// What the collection's search window writes and shows from its hits: the
// results file, the printed list, the export, and the viewer on a hit's own
// pair. The writing is the collection's core; the dialogs are those of a
// single pair's window.

#include "collection/collection_output.h"
#include "forms/form_names.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/collection/collection_printout.h"
#include "windows/collection/collection_search_window.h"
#include "windows/collection/collection_viewer.h"
#include "windows/search/export_dialog.h"
#include "windows/search/results_dialog.h"
#include "windows/widgets/windowed_table.h"

#include <QBoxLayout>
#include <QPushButton>

namespace solandre {
namespace {

ResultGridControl* collectionHitGrid(FormRegistry& forms, const char* searchWindow)
{
    auto* window = dynamic_cast<CollectionSearchWindow*>(forms.find(searchWindow));
    return window ? window->hitGrid() : nullptr;
}

QStringList filesOf(const CollectionConcordance& concordance)
{
    QStringList texts;
    for (const QString& text : collectionTexts(concordance)) texts << text;
    return texts;
}

} // namespace

const ViewerRoad kCollectionViewer{{names::frmcollection_recherche, "", ""},
                                   names::frmcollection_recherche,
                                   "&Edición",
                                   "Texto en lengua de origen :",
                                   9795,
                                   6780,
                                   nullptr,
                                   collectionHitGrid};

void CollectionSearchWindow::addOutputCommands(QBoxLayout* layout)
{
    hitGrid_ = std::make_unique<CollectionHitGrid>(concordance_,
                                                   [this](size_t member, size_t row) { followViewer(member, row); });
    auto* row = new QHBoxLayout;
    const struct {
        const char* name;
        const char* caption;
        void (CollectionSearchWindow::*handler)();
    } commands[] = {
        {"contexte", "&Ver el contexto", &CollectionSearchWindow::contexte_Click},
        {"enregistrer", "&Guardar", &CollectionSearchWindow::enregistrer_Click},
        {"imprimer", "&Imprimir", &CollectionSearchWindow::imprimer_Click},
        {"exporter", "&Exportar...", &CollectionSearchWindow::exporter_Click},
    };
    for (const auto& command : commands) {
        auto* button = new QPushButton(QString::fromUtf8(command.caption), client());
        button->setObjectName(QString::fromLatin1(command.name));
        connect(button, &QPushButton::clicked, this, [this, handler = command.handler] { (this->*handler)(); });
        row->addWidget(button);
    }
    row->addStretch();
    layout->addLayout(row);
    // Enter on a hit opens it in the viewer, as a click does in a single pair's list.
    connect(list_, &WindowedTable::rowActivated, this, [this] { contexte_Click(); });
}

ResultGridControl* CollectionSearchWindow::hitGrid()
{
    return hitGrid_ && hitGrid_->valid() ? hitGrid_.get() : nullptr;
}

void CollectionSearchWindow::followViewer(size_t member, size_t row)
{
    for (size_t k = 0; k < concordance_.hitCount(); ++k)
        if (concordance_.hit(k).member == member && concordance_.hit(k).row == row) {
            list_->setCurrentRow(k);
            return;
        }
}

void CollectionSearchWindow::contexte_Click()
{
    const size_t k = list_->currentRow();
    if (k >= concordance_.hitCount()) return;
    const CollectionConcordance::Hit hit = concordance_.hit(k);
    hitGrid_->select(hit.member);
    ResultGrid& grid = concordance_.concordance(hit.member).grid();
    grid.setRow(hit.row);
    grid.setCol(1);
    // Loading opens the pair's texts and shows the row; a viewer already
    // open is asked to show it, and reads another pair's texts first.
    const bool open = forms().isLoaded(names::frmaff_collection);
    Form* viewer = forms().show(names::frmaff_collection);
    if (open)
        if (auto* display = dynamic_cast<HitDisplay*>(viewer)) display->showCurrentHit();
}

void CollectionSearchWindow::enregistrer_Click()
{
    const ResultsHeading heading = makeHeading(kCollectionPrefixes, concordance_.folder(),
                                               formatSearchDate(desktop().clock.now()));
    saveResultsWithDialogs(this, desktop(), filesOf(concordance_),
                           {" ya existe.", "¿Desea reemplazarlo?", "Fichero existente", "la grabación ha finalizado."},
                           [&](const QString& file, const Progress& progress) {
                               return saveCollectionResults(file, concordance_, heading, progress);
                           });
}

void CollectionSearchWindow::imprimer_Click()
{
    Printer& printer = desktop().printer;
    if (!desktop().dialogs.printerSetup(this, printer)) return; // "Cancelar" prints nothing
    bool printed = false;
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Imprimiendo las ocurrencias"), Cancel::NotAllowed,
                    [&](const Progress& progress) { printed = printCollectionList(printer, concordance_, progress); });
    }
    if (!printed)
        desktop().dialogs.message(this, {printer.lastError(), QStringLiteral("Solandre"), Buttons::Ok,
                                         Icon::Information});
}

void CollectionSearchWindow::exporter_Click()
{
    exportWithDialogs(this, desktop(), filesOf(concordance_),
                      [&](const QString& file, ExportFormat format, const Progress& progress) {
                          return exportCollection(file, concordance_, format, progress);
                      });
}

} // namespace solandre
