// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_window.h"

#include "forms/form_names.h"
#include "forms/long_work.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/collection/collection_search_window.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace solandre {
namespace {

QTableWidget* list(QWidget* parent, const QString& name, const QStringList& headers)
{
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

// By the files' names, or as a memory names them.
QString languagesOf(const CollectionPair& p)
{
    if (!p.member.sourceLanguage.isEmpty())
        return p.member.sourceLanguage + QStringLiteral(" → ") + p.member.targetLanguage;
    if (!p.pair.sourceLanguage.isEmpty()) return p.pair.sourceLanguage + QStringLiteral(" → ") + p.pair.targetLanguage;
    return QString();
}

} // namespace

CollectionWindow::CollectionWindow(FormRegistry& forms) : Form(forms, QStringLiteral("Quillarne - Concordancias VXT"))
{
    resize(twips(9600), twips(7200)); // laid out: the lists grow with the window
    auto* layout = new QVBoxLayout(client());
    folder_ = new QLabel(client());
    folder_->setObjectName(QStringLiteral("dossier"));
    folder_->setFont(timesFont(12, true, true));
    setTextColour(folder_, colours::kDarkBlue);
    summary_ = new QLabel(client());
    summary_->setObjectName(QStringLiteral("resume"));
    pairs_ = list(client(), QStringLiteral("paires"),
                  {QStringLiteral("Par"), QStringLiteral("Lenguas"), QStringLiteral("Frases (origen)"),
                   QStringLiteral("Frases (meta)"), QStringLiteral("Uno a uno")});
    setAside_ = list(client(), QStringLiteral("apartes"), {QStringLiteral("Fichero apartado"), QStringLiteral("Motivo")});
    auto* buttons = new QHBoxLayout;
    align_ = new QPushButton(QStringLiteral("&Alinear todos"), client());
    align_->setObjectName(QStringLiteral("aligner_tous"));
    auto* search = new QPushButton(QStringLiteral("&Buscar en la colección"), client());
    search->setObjectName(QStringLiteral("chercher"));
    search->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("&Cerrar"), client());
    close->setObjectName(QStringLiteral("fermer"));
    connect(align_, &QPushButton::clicked, this, [this] { aligner_tous_Click(); });
    connect(search, &QPushButton::clicked, this, [this] { chercher_Click(); });
    connect(close, &QPushButton::clicked, this, [this] { fermer_Click(); });
    buttons->addWidget(align_);
    buttons->addStretch();
    buttons->addWidget(search);
    buttons->addWidget(close);
    layout->addWidget(folder_);
    layout->addWidget(summary_);
    layout->addWidget(pairs_, 3);
    layout->addWidget(setAside_, 1);
    layout->addLayout(buttons);
}

CollectionWindow::~CollectionWindow() = default;

bool CollectionWindow::openFolder(const QString& folder)
{
    store_ = std::make_unique<CollectionStore>(folder);
    Result<CollectionListing> opened = Error::cancelledByUser();
    runLongWork(this, QStringLiteral("Abriendo la colección %1").arg(folder), Cancel::Allowed,
                [&](const Progress& progress) { opened = listCollection(folder, *store_, progress); });
    if (!opened) {
        if (!opened.error().cancelled) desktop().dialogs.message(this, {opened.error().message});
        return false;
    }
    listing_ = std::move(opened.value());
    fillLists();
    return true;
}

void CollectionWindow::fillLists()
{
    folder_->setText(QStringLiteral("Colección : %1").arg(listing_.folder));
    const size_t pairs = listing_.pairs.size(), uneven = listing_.notOneToOne(), aside = listing_.setAside.size();
    summary_->setText((pairs == 1 ? QStringLiteral("1 par") : QStringLiteral("%1 pares").arg(pairs)) +
                      (uneven == 1 ? QStringLiteral(", 1 no se corresponde frase a frase; ")
                                   : QStringLiteral(", %1 no se corresponden frase a frase; ").arg(uneven)) +
                      (aside == 1 ? QStringLiteral("1 fichero apartado")
                                  : QStringLiteral("%1 ficheros apartados").arg(aside)));
    pairs_->setRowCount(int(listing_.pairs.size()));
    for (int row = 0; row < int(listing_.pairs.size()); ++row) {
        const CollectionPair& p = listing_.pairs[size_t(row)];
        const QString oneToOne = p.pair.aligned     ? QStringLiteral("alineado")
                                 : p.pair.oneToOne() ? QStringLiteral("sí")
                                                     : QStringLiteral("no");
        const QString cells[] = {p.member.name, languagesOf(p), QString::number(p.pair.sourceRecords),
                                 QString::number(p.pair.targetRecords), oneToOne};
        for (int column = 0; column < 5; ++column) {
            auto* cell = new QTableWidgetItem(cells[column]);
            if (column >= 2) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            cell->setToolTip(column == 0 ? QDir::toNativeSeparators(p.pair.source) : cells[column]);
            pairs_->setItem(row, column, cell);
        }
    }
    pairs_->resizeColumnsToContents();
    setAside_->setRowCount(int(listing_.setAside.size()));
    for (int row = 0; row < int(listing_.setAside.size()); ++row) {
        const SetAside& s = listing_.setAside[size_t(row)];
        setAside_->setItem(row, 0, new QTableWidgetItem(s.path));
        auto* reason = new QTableWidgetItem(s.reason);
        reason->setToolTip(s.reason);
        setAside_->setItem(row, 1, reason);
    }
    setAside_->resizeColumnToContents(0);
    align_->setEnabled(listing_.notOneToOne() > 0);
}

void CollectionWindow::aligner_tous_Click()
{
    if (!store_) return;
    Status aligned = success();
    runLongWork(this, QStringLiteral("Alineando los pares de la colección"), Cancel::Allowed,
                [&](const Progress& progress) { aligned = alignAll(listing_, *store_, progress); });
    fillLists();
    if (!aligned && !aligned.error().cancelled) desktop().dialogs.message(this, {aligned.error().message});
}

void CollectionWindow::chercher_Click()
{
    if (!store_) return;
    if (listing_.pairs.empty()) {
        desktop().dialogs.message(this, {QStringLiteral("La colección no tiene ningún par que buscar.")});
        return;
    }
    if (auto* search = dynamic_cast<CollectionSearchWindow*>(forms().show(names::frmcollection_recherche)))
        search->openCollection(listing_);
}

void CollectionWindow::fermer_Click() { forms().unload(objectName()); }

} // namespace solandre
