// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/study/candidates_window.h"

#include "common/encoding.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/search/hit_display.h"
#include "windows/search/result_grid_view.h"

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
    setClientSize(8400, 6120);
    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"), QStringLiteral("Candidatos de traducción de :"),
                              240, 120, 7920, 975);
    form_ = textBox(frame2, QStringLiteral("Text1"), 120, 420, 4920, 315);
    form_->setFont(timesFont(9.75));
    button(frame2, QStringLiteral("Command1"), QStringLiteral("Calcular"), 5280, 330, 2400, 495,
           [this] { Command1_Click(); })
        ->setFont(QFont(QStringLiteral("MS Sans Serif"), 10, QFont::Bold));
    connect(form_, &QLineEdit::returnPressed, this, [this] { Command1_Click(); });
    connect(form_, &QLineEdit::textEdited, this, [this] { ofHits_ = false; });

    counts_ = label(client(), QStringLiteral("label3"), QString(), 240, 1200, 7920, 315);
    counts_->setFont(timesFont(10, true, true));
    setTextColour(counts_, colours::kDarkBlue);

    table_ = new QTableWidget(0, 4, client());
    table_->setObjectName(QStringLiteral("liste"));
    table_->setFont(timesFont(9.75));
    table_->setHorizontalHeaderLabels({QStringLiteral("Candidato"), QStringLiteral("Puntuación (G²)"),
                                       QStringLiteral("Con la forma"), QStringLiteral("En la traducción")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(table_->font()).height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: #FFFF80; "
                                                             "color: #0000A0; border: 1px solid #A0A0A0; }"));
    place(table_, 240, 1560, 7920, 4320);

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), [this] { fermer_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."), [this] { about_Click(); });
}

void CandidatesWindow::Command1_Click()
{
    ResultGridView* grid = searchGrid(forms(), road_.searchWindow);
    if (!grid) return;
    // The counterpart of the text searched: the translation, or the
    // original when the translation is searched.
    const QString target = grid->texts().counterpart;
    if (target.isEmpty()) {
        desktop().dialogs.message(this, {QStringLiteral("Para proponer traducciones hace falta el texto en "
                                                        "lengua meta.")});
        return;
    }
    const QString typed = form_->text();
    WordList hits;
    if (ofHits_) {
        const ResultGrid& rows = grid->grid();
        for (size_t row = 1; row < rows.rows(); ++row)
            if (rows.isHit(row)) hits.push_back(rows.hit(row));
    }
    Result<CandidateList> found = CandidateList();
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Buscando traducciones de %1 en %2").arg(typed, QFileInfo(target).fileName()),
                    Cancel::Allowed, [&](const Progress& progress) {
                        const WordIndex& index = grid->grid().index();
                        found = ofHits_ ? candidatesOf(index, hits, target, kListed, progress)
                                        : candidatesOf(index, typed, target, kListed, progress);
                    });
    }
    if (!found) {
        if (!found.error().cancelled) desktop().dialogs.message(this, {found.error().message});
        return;
    }
    list_ = std::move(found.value());
    fillList();
    if (auto* viewer = dynamic_cast<HitDisplay*>(forms().find(road_.viewer))) viewer->markCandidates();
}

void CandidatesWindow::showCandidatesOf(const QString& form)
{
    forms().show(objectName());
    form_->setText(form);
    ofHits_ = false;
    Command1_Click();
}

void CandidatesWindow::showCandidatesOfHits(const QString& shown)
{
    forms().show(objectName());
    form_->setText(shown);
    ofHits_ = true;
    Command1_Click();
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
        const Candidate& c = list_.best[size_t(row)];
        const QString cells[] = {decodeText(c.word, Encoding::Utf8), QString::number(c.score, 'f', 2),
                                 QString::number(c.joint), QString::number(c.inTarget)};
        for (int column = 0; column < 4; ++column) {
            auto* cell = new QTableWidgetItem(cells[column]);
            cell->setTextAlignment((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (column == 0) {
                cell->setForeground(QColor(0, 128, 0)); // as the viewer marks them
                cell->setFont(timesFont(9.75, true));
            }
            table_->setItem(row, column, cell);
        }
    }
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
