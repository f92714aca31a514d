// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_candidates_window.h"

#include "collection/collection_candidates.h"
#include "forms/long_work.h"
#include "forms/form_names.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/collection/collection_search_window.h"
#include "windows/study/study_window.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace solandre {

CollectionCandidatesWindow::CollectionCandidatesWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT"))
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
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setMinimumHeight(twips(2400));
    layout->addWidget(table_, 1);
    QPushButton* close = button(client(), QStringLiteral("fermer"), QStringLiteral("C&errar"), 0, 0, 0, 0,
                                [this] { fermer_Click(); });
    layout->addWidget(close, 0, Qt::AlignRight);

    growWithWindow(this, client(), 8400, 6120);
    closeOnEscape(this, [this] { fermer_Click(); });
}

CollectionSearchWindow* CollectionCandidatesWindow::search()
{
    return dynamic_cast<CollectionSearchWindow*>(forms().find(names::frmcollection_recherche));
}

void CollectionCandidatesWindow::Form_Load()
{
    if (CollectionSearchWindow* s = search()) {
        connect(s, &CollectionSearchWindow::hitsChanged, this, [this] { followSearch(); });
        connect(s, &QObject::destroyed, this, [this] {
            hide();
            deleteLater();
        });
    }
    followSearch();
}

void CollectionCandidatesWindow::followSearch()
{
    CollectionSearchWindow* s = search();
    if (!s || s->searched().isEmpty()) return;
    form_->setText(s->searched());
    // The search's own hits, whatever its query.
    list(s->searched(), [s](const Progress& progress) { return collectionCandidates(s->concordance(), kListed, progress); });
}

void CollectionCandidatesWindow::Command1_Click()
{
    CollectionSearchWindow* s = search();
    const QString typed = form_->text();
    if (!s || typed.trimmed().isEmpty()) return;
    list(typed, [s, typed](const Progress& progress) {
        return collectionCandidates(s->concordance(), typed, kListed, progress);
    });
}

void CollectionCandidatesWindow::list(const QString& form,
                                      const std::function<Result<CandidateList>(const Progress&)>& find)
{
    Result<CandidateList> found = CandidateList();
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Buscando traducciones de %1 en la colección").arg(form), Cancel::Allowed,
                    [&](const Progress& progress) { found = find(progress); });
    }
    if (!found) {
        if (!found.error().cancelled) desktop().dialogs.message(this, {found.error().message});
        return;
    }
    list_ = std::move(found.value());
    fillList();
    if (list_.withForm == 0)
        nothing_->setText(QStringLiteral("«%1» no está en ninguna frase de la colección: no hay nada que comparar.")
                              .arg(form));
    else if (list_.best.empty())
        nothing_->setText(QStringLiteral("Ninguna palabra de las traducciones va con «%1» más a menudo que por azar.")
                              .arg(form));
    nothing_->setVisible(list_.best.empty());
}

void CollectionCandidatesWindow::fillList()
{
    counts_->setText(QStringLiteral("Pares de frases : %1    con la forma : %2").arg(list_.pairs).arg(list_.withForm));
    table_->setRowCount(int(list_.best.size()));
    for (int row = 0; row < int(list_.best.size()); ++row) {
        const std::vector<std::string> cells = candidateCells(list_.best[size_t(row)]);
        for (int column = 0; column < kCandidateColumns; ++column) {
            const QString text = QString::fromStdString(cells[size_t(column)]);
            auto* cell = new QTableWidgetItem(text);
            cell->setToolTip(text);
            cell->setTextAlignment((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (column == 0) {
                cell->setForeground(QColor(0, 128, 0));
                cell->setFont(timesFont(9.75, true));
            }
            table_->setItem(row, column, cell);
        }
    }
}

void CollectionCandidatesWindow::fermer_Click() { forms().unload(objectName()); }

} // namespace solandre
