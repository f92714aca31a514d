#pragma once
// The search window, in its two roads: Frmcontexte for prepared texts and
// Frmcontexte02 for freshly numbered ones. Typing a form and searching fills
// the result grid; "Formas" sorts it, "Referencias" searches again.

#include "app/forms/form.h"
#include "app/forms/text_pair.h"
#include "search/result_grid.h"
#include "search/results_file.h"
#include "search/word_index.h"

class QDateTimeEdit;

namespace solandre {

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
};

extern const SearchRoad kPreparedTextsSearch; // Frmcontexte
extern const SearchRoad kFreshTextsSearch;    // Frmcontexte02

class SearchWindow : public Form {
    Q_OBJECT
public:
    SearchWindow(FormRegistry& forms, const SearchRoad& road);
    ~SearchWindow() override;

    void Form_Load() override;
    void Form_Unload() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void grille01_Click();
    void enregistrer_Click();
    void imprimer_Click();
    void quitter_Click();
    void about_Click();

    const ResultGrid& grid() const { return grid_; }

private:
    void preparer_grille();

    const SearchRoad& road_;
    WordIndex index_; // built at load, never changed afterwards
    ResultGrid grid_{index_};
    QLineEdit* Text1_;
    QLabel* label3_;
    QLabel* label4_;
    ResultGridView* grille01_;
    QDateTimeEdit* DTPicker1_;
};

} // namespace solandre
