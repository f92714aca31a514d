// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The review of an alignment ("Alineación"), in its two roads: beside the
// search of texts already numbered (frmalignement, from the main window) and
// beside the numbering (frmalignement02, from the numbering-done window).
// The beads side by side, the doubtful ones coloured; corrections move a
// boundary by one sentence, merge or split beads; then the aligned copies
// are written. Aligned copies reviewed again show the pairing they hold,
// each record's sentences apart, as their notes keep them.

#include "align/bead_edits.h"
#include "align/numbered_pair.h"
#include "tmx/memory_export.h"
#include "forms/form.h"
#include "forms/text_pair.h"

#include <memory>
#include <optional>

class QTextEdit;

namespace solandre {

class AlignmentModel;
class WindowedTable;

struct AlignmentRoad {
    TextPair texts;
    // Numbered copies of our own, rewritten in place; otherwise the user
    // names the aligned copies, which the main window then searches.
    bool freshlyNumbered;
};

extern const AlignmentRoad kPreparedTextsAlignment; // frmalignement
extern const AlignmentRoad kFreshTextsAlignment;    // frmalignement02

class AlignmentWindow : public Form {
    Q_OBJECT
public:
    AlignmentWindow(FormRegistry& forms, const AlignmentRoad& road);
    ~AlignmentWindow() override;

    void Form_Load() override;
    void suivant_Click();       // "Siguiente dudoso"
    void origine_avant_Click(); // the bead's first source sentence to the bead before
    void origine_apres_Click(); // its last source sentence to the bead after
    void cible_avant_Click();
    void cible_apres_Click();
    void unir_Click();          // "Unir con el siguiente"
    void separer_Click();       // "Separar"
    void ecrire_Click();        // "Escribir las copias alineadas"
    void exporter_Click();      // "Exportar como memoria de traducción..."
    void quitter_Click();
    void about_Click();
    // Corrections not yet written: "¿Guardar las correcciones?".
    bool Form_QueryUnload() override;

    const std::vector<Bead>& beads() const { return beads_; }
    size_t currentBead() const;
    void selectBead(size_t bead);
    bool unsavedCorrections() const { return unsaved_; }

signals:
    // The aligned copies were written, record k of each holding pair k.
    void alignedCopiesWritten(const QString& source, const QString& target, qulonglong pairs);

private:
    void edit(const std::function<bool(std::vector<Bead>&, size_t)>& correction);
    // False when nothing was written (cancelled, refused, failed).
    bool writeCopies();
    void showCurrent();
    void updateSummary();
    // The languages of a memory of this pair: chosen here, or last time.
    std::optional<MemoryLanguages> languages() const;

    const AlignmentRoad& road_;
    PairAlignment pair_;
    std::vector<Bead> beads_;
    bool unsaved_ = false;
    std::optional<MemoryLanguages> languages_; // chosen in this window
    std::unique_ptr<AlignmentModel> model_;
    WindowedTable* table_;
    QLabel* summary_;
    QTextEdit* sourcePane_;
    QTextEdit* targetPane_;
};

} // namespace solandre
