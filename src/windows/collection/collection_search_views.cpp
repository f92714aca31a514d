// SPDX-License-Identifier: GPL-3.0-or-later
// The collection search window's views: its concordance lines, its
// frequencies and its translation candidates, each over every hit and
// following its searches.

#include "forms/form_names.h"
#include "windows/collection/collection_search_window.h"
#include "windows/widgets/windowed_table.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace solandre {

namespace {

const char* const kViews[] = {names::frmcollection_lignes, names::frmcollection_frequences,
                              names::frmcollection_candidats};

} // namespace

QBoxLayout* CollectionSearchWindow::viewButtons()
{
    auto* row = new QHBoxLayout;
    struct View {
        const char* name;
        const char* caption;
        void (CollectionSearchWindow::*click)();
    };
    const View views[] = {{"lignes", "&Líneas de concordancia", &CollectionSearchWindow::lignes_Click},
                          {"frequences", "Frec&uencias", &CollectionSearchWindow::frequences_Click},
                          {"candidats", "Ca&ndidatos de traducción", &CollectionSearchWindow::candidats_Click}};
    for (const View& v : views) {
        auto* b = new QPushButton(QString::fromUtf8(v.caption), client());
        b->setObjectName(QString::fromLatin1(v.name));
        connect(b, &QPushButton::clicked, this, [this, click = v.click] { (this->*click)(); });
        row->addWidget(b);
    }
    row->addStretch(1);
    return row;
}

void CollectionSearchWindow::lignes_Click() { forms().show(names::frmcollection_lignes); }
void CollectionSearchWindow::frequences_Click() { forms().show(names::frmcollection_frequences); }
void CollectionSearchWindow::candidats_Click() { forms().show(names::frmcollection_candidats); }

void CollectionSearchWindow::closeViews()
{
    for (const char* view : kViews) forms().unload(QString::fromLatin1(view));
}

CollectionSearchWindow* collectionSearch(FormRegistry& forms)
{
    return dynamic_cast<CollectionSearchWindow*>(forms.find(names::frmcollection_recherche));
}

void followCollectionSearch(FormRegistry& forms, QWidget* view, HitsRead read, const std::function<void()>& follow,
                            const std::function<void()>& release)
{
    if (CollectionSearchWindow* search = collectionSearch(forms)) {
        QObject::connect(search, &CollectionSearchWindow::hitsChanged, view, follow);
        if (read == HitsRead::InOrder) QObject::connect(search, &CollectionSearchWindow::hitsSorted, view, follow);
        QObject::connect(search, &QObject::destroyed, view, [view, release] {
            if (release) release();
            view->hide();
            view->deleteLater();
        });
    }
    follow();
}

std::optional<QString> collectionQuery(const CollectionSearchWindow& search)
{
    if (search.searched().isEmpty()) return std::nullopt;
    return search.searched();
}

void CollectionSearchWindow::showHitAt(size_t k)
{
    if (k >= concordance_.hitCount()) return;
    list_->setCurrentRow(k);
    forms().show(objectName());
}

} // namespace solandre
