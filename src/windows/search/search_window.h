// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search window, in its two roads: Frmcontexte for prepared texts and
// Frmcontexte02 for freshly numbered ones. Typing a form (or any query) and
// searching fills the result grid; "Formas" sorts it, "Referencias" searches
// again; the list is saved with both sentences of each hit, or printed. The
// row below, "Búsqueda avanzada", reads the query as regular expressions,
// sets a condition on the translation, or searches the translation.

#include "forms/form.h"
#include "forms/text_pair.h"
#include "search/concordance.h"
#include "search/results_file.h"
#include "windows/search/result_grid_control.h"
#include "windows/search/searched_query.h"

class QDateTimeEdit;

namespace solandre {

class AdvancedSearch;
class ResultGridView;

// What differs between the two search windows.
struct SearchRoad {
    TextPair texts;
    const char* viewer;
    bool freshlyNumbered; // keeps Frmreference hidden while open, unloads it on close
    int clientWidth, clientHeight;
    int resultWidth, resultHeight; // Frame1
    int gridWidth, gridHeight;
    // The saving's texts (UTF-8 here).
    const char* exists;        // after the file's name
    const char* replace;       // the question's second line
    const char* existsTitle;
    const ResultsPrefixes* prefixes; // of the file's title and date lines
    const char* saved;         // the closing message
    // The windows that read this window's search: its lines, frequencies
    // and translation candidates.
    const char* lines;
    const char* frequencies;
    const char* candidates;
};

extern const SearchRoad kPreparedTextsSearch; // Frmcontexte
extern const SearchRoad kFreshTextsSearch;    // Frmcontexte02

class SearchWindow : public Form, public SearchedQuery {
    Q_OBJECT
public:
    SearchWindow(FormRegistry& forms, const SearchRoad& road);
    ~SearchWindow() override;

    void Form_Load() override;
    void Form_Unload() override;
    void Command1_Click(); // the search button
    void Command2_Click(); // "Formas"
    void Command3_Click(); // "Referencias"
    void grille01_Click();
    void enregistrer_Click();
    void imprimer_Click();
    void exporter_Click();
    void kwic_Click();
    void frequences_Click();
    void candidats_Click();
    void traduction_Click(); // "Buscar en la traducción"
    void quitter_Click();
    void about_Click();

    const ResultGrid& grid() const { return concordance_.grid(); }
    // The text searched and its counterpart, as the boxes name them now.
    SearchedTexts texts();
    std::optional<QString> searchedQuery() const override { return searched_; }
    bool searching() const override { return searching_; }

private:
    void preparer_grille();
    // Leaves the grid's current cell on the last row's marker, as saving and
    // printing do, and shows it.
    void moveToLastMarker();
    // Runs a change of the grid's rows as long work, the grid on screen frozen.
    void whileGridChanges(const QString& what, const std::function<void(const Progress&)>& change,
                          bool cancellable = false);
    // The counterpart text indexed for a condition on it; false, the user
    // told why, when it cannot be.
    bool openCounterpart();
    // What the status says after a search.
    QString reading(const SearchRequest& request) const;

    const SearchRoad& road_;
    Concordance concordance_; // indexed at load; again when the texts change places
    Concordance counterpart_; // indexed when a condition first needs it
    QString counterpartPath_;
    bool translationSearched_ = false;
    bool openingCancelled_ = false;
    QLineEdit* searchBox_;
    QLabel* totalCaption_;
    QLabel* total_;
    ResultGridView* gridView_;
    QDateTimeEdit* searchDate_;
    AdvancedSearch* advanced_;
    std::optional<QString> searched_;
    bool searching_ = false;
};

} // namespace solandre
