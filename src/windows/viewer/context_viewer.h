// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The context viewer, in its two roads: frmaff_contexte beside Frmcontexte
// and frmaff_contexte02 beside Frmcontexte02. It shows the record of a hit,
// the hit's form marked, beside the target record of the same number, and
// steps through the hits of its search window's grid and through sentences.

#include "common/text_file.h"
#include "forms/form.h"
#include "forms/text_pair.h"
#include "windows/search/hit_display.h"
#include "windows/search/result_grid_control.h"
#include "viewer/viewed_pair.h"

#include <string>

class QMenu;
class QTextEdit;

namespace solandre {

class FormRegistry;
class HitOrder;
class ResultGridControl;

// What differs between the two viewers.
struct ViewerRoad {
    TextPair texts;
    const char* searchWindow;
    const char* editCaption;
    const char* sourceHeading; // of the printed context
    int clientWidth, clientHeight;
    const char* candidates; // the translation candidates window of its search
    // Where the viewer reaches the grid of `searchWindow`, when not as a
    // search window's grille01: the hits of one pair of a collection. The
    // texts are then the grid's alone, opened again when they change.
    ResultGridControl* (*gridOf)(FormRegistry& forms, const char* searchWindow) = nullptr;
};

extern const ViewerRoad kPreparedTextsViewer; // frmaff_contexte
extern const ViewerRoad kFreshTextsViewer;    // frmaff_contexte02

class ContextViewer : public Form, public HitDisplay {
    Q_OBJECT
public:
    ContextViewer(FormRegistry& forms, const ViewerRoad& road);

    void Form_Load() override;
    void Command1_Click(); // "Contexto siguiente"
    void Command2_Click(); // "Contexto precedente"
    void Command3_Click(); // "Texto precedente"
    void Command4_Click(); // "Texto siguiente"
    void fermer_Click();
    void imprimer_Click();
    void about_Click();

    void MNU_Cut_Click();
    void MNU_Copy_Click();
    void MNU_Insert_Click();
    void MNU_Del_Click();
    void MNU_Mark_Click();
    void MNU_Unmark_Click();
    void label3_MouseDown(Qt::MouseButton button, const QPoint& position);
    void candidats_Click();

    void showCurrentHit(const QString& order = {}) override;
    void markCandidates() override;

    size_t currentRow() const { return currentRow_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False when the user cancelled it.
    bool openTexts();
    ResultGridControl* grid();
    void showRow(size_t row);
    void afficher_contexte(std::string marker);
    void surligner_forme();
    void marquer_traduction();
    void markBestCandidates();
    // The order the steps follow when it is not the grid's and still holds
    // the hit shown where it was; null otherwise (the grid's order then).
    HitOrder* order();
    // A step in that order, or in the grid's without one.
    void step(long long delta);

    const ViewerRoad& road_;
    SearchedTexts opened_; // the paths of the two texts read
    ViewedPair texts_;
    size_t currentRow_ = 0;
    QString order_;         // the window whose order the steps follow; none: the grid's
    size_t orderStep_ = 0;  // where the hit shown stands in it
    std::string rowMarker_;
    std::string previousMarker_;
    std::string nextMarker_;
    QString targetShown_; // the target pane's text before any marking

    QLabel* criterion_;
    QTextEdit* sourcePane_;
    QTextEdit* targetPane_;
    QPushButton* nextHit_;
    QPushButton* previousHit_;
    QMenu* editMenu_;
};

} // namespace solandre
