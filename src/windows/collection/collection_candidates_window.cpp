// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/collection/collection_candidates_window.h"

#include "collection/collection_candidates.h"
#include "windows/collection/collection_search_window.h"

#include <QLineEdit>

namespace solandre {

CollectionCandidatesWindow::CollectionCandidatesWindow(FormRegistry& forms) : StudyWindow(forms)
{
    shown_ = layOutCandidates([this] { Command1_Click(); }, [this] { fermer_Click(); });

    growWithWindow(this, client(), 8400, 6120);
    closeOnEscape(this, [this] { fermer_Click(); });
}

void CollectionCandidatesWindow::Form_Load()
{
    followCollectionSearch(forms(), this, HitsRead::AsFound, [this] { followSearch(); });
}

void CollectionCandidatesWindow::followSearch()
{
    CollectionSearchWindow* s = collectionSearch(forms());
    if (!s || s->searched().isEmpty()) return;
    shown_.form->setText(s->searched());
    // The search's own hits, whatever its query.
    list(s->searched(), [s](const Progress& progress) { return collectionCandidates(s->concordance(), kListed, progress); });
}

void CollectionCandidatesWindow::Command1_Click()
{
    CollectionSearchWindow* s = collectionSearch(forms());
    const QString typed = shown_.form->text();
    if (!s || typed.trimmed().isEmpty()) return;
    list(typed, [s, typed](const Progress& progress) {
        return collectionCandidates(s->concordance(), typed, kListed, progress);
    });
}

void CollectionCandidatesWindow::list(const QString& form,
                                      const std::function<Result<CandidateList>(const Progress&)>& find)
{
    std::optional<CandidateList> found =
        findCandidates(QStringLiteral("Buscando traducciones de %1 en la colección").arg(form), find);
    if (!found) return;
    list_ = std::move(*found);
    showCandidates(
        shown_, list_,
        QStringLiteral("«%1» no está en ninguna frase de la colección: no hay nada que comparar.").arg(form),
        QStringLiteral("Ninguna palabra de las traducciones va con «%1» más a menudo que por azar.").arg(form));
}

void CollectionCandidatesWindow::fermer_Click() { forms().unload(objectName()); }

} // namespace solandre
