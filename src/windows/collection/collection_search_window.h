// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search of a whole collection (frmcollection_recherche): a query over
// every pair, each hit listed with its text before its marker, "Formas"
// across texts, the hits per text, the hit's sentence and the translated
// sentence of its own pair under the list.

#include "collection/collection_concordance.h"
#include "forms/form.h"
#include "study/sentence_table.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QBoxLayout;
class QLabel;
class QTextEdit;

namespace solandre {

class AdvancedSearch;
class CollectionHitGrid;
class ResultGridControl;
class WindowedTable;

class CollectionSearchWindow : public Form {
    Q_OBJECT
public:
    explicit CollectionSearchWindow(FormRegistry& forms);
    ~CollectionSearchWindow() override;

    // Indexes every pair of the listing, as long work; false when cancelled
    // or a text could not be read (said).
    bool openCollection(const CollectionListing& listing);
    const CollectionConcordance& concordance() const { return concordance_; }

    void Command1_Click(); // "Buscar"
    void formes_Click();   // "Formas"
    void comptes_Click();  // "Por texto"
    void fermer_Click();

    // What is written and shown from the hits (collection_search_output.cpp).
    void enregistrer_Click(); // "Guardar"
    void imprimer_Click();    // "Imprimir"
    void exporter_Click();    // "Exportar..."
    void contexte_Click();    // "Ver el contexto": the viewer on the current hit's own pair
    // The grid of the pair of the hit last shown in the viewer, as the viewer
    // reaches it; null before any.
    ResultGridControl* hitGrid();

    // The views of the search over all its hits (collection_search_views.cpp).
    void lignes_Click();     // "Líneas de concordancia"
    void frequences_Click(); // "Frecuencias"
    void candidats_Click();  // "Candidatos de traducción"
    // The query of the last search, as typed.
    const QString& searched() const { return searched_; }
    // Makes hit k the current row, its sentences shown under the list.
    void showHitAt(size_t k);

signals:
    // After each search: the views read the hits again.
    void hitsChanged();
    // After "Formas": the same hits, in another order.
    void hitsSorted();

private:
    void addOutputCommands(QBoxLayout* layout);
    // The list follows the viewer's steps through a pair's hits.
    void followViewer(size_t member, size_t row);
    std::unique_ptr<CollectionHitGrid> hitGrid_;
    QBoxLayout* viewButtons();
    void closeViews();

    class Rows;
    struct PairTexts {
        TextFile target;
        SentenceTable source, translated;
    };

    void showHit(size_t k);
    const PairTexts* textsOf(size_t member);

    std::unique_ptr<CollectionStore> store_;
    CollectionConcordance concordance_;
    QString searched_;
    std::map<size_t, PairTexts> texts_; // of the pairs whose hits were shown
    std::unique_ptr<Rows> rows_;
    QLineEdit* query_;
    AdvancedSearch* advanced_ = nullptr;
    QLabel* total_;
    WindowedTable* list_;
    QTextEdit* source_;
    QTextEdit* target_;
};

// The collection's search window, when it is loaded.
CollectionSearchWindow* collectionSearch(FormRegistry& forms);

// The views of the search: what they read of its hits.
enum class HitsRead {
    AsFound, // the hits themselves: "Formas" changes nothing
    InOrder, // the hits in the list's order
};

// Keeps `view` on the search's hits: `follow` now and after each search, and
// after "Formas" too when it reads them in order. The view goes with the
// search window, `release` first letting go of what reads its indexes.
void followCollectionSearch(FormRegistry& forms, QWidget* view, HitsRead read, const std::function<void()>& follow,
                            const std::function<void()>& release = {});

// The query of the search made, before any search none.
std::optional<QString> collectionQuery(const CollectionSearchWindow& search);

} // namespace solandre
