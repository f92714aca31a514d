// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the study windows share, those of one pair and those of a collection:
// each kind (concordance lines, frequencies, translation candidates) laid
// out alike, growing with its window (layouts, a minimum size in place of a
// fixed one), Escape closing it as its "Cerrar" does, and its list named by
// the search it reads.

#include "common/encoding.h"
#include "forms/form.h"
#include "search/concordance_lines.h"
#include "study/candidates.h"

#include <QBoxLayout>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

class QGroupBox;
class QMainWindow;
class QTableWidget;
class QTextEdit;
class QVBoxLayout;
class QWidget;

namespace solandre {

class TableRows;
class WindowedTable;

// Each kind of view laid out by one builder, for the window of a pair and
// that of a collection alike, the handlers given by the window: a pair's
// window closes from its menus, a collection's from a "Cerrar" of its own.
class StudyWindow : public Form {
    Q_OBJECT
protected:
    explicit StudyWindow(FormRegistry& forms);

    // The concordance lines: "label4" naming the search over "lignes", the
    // sort buttons beside it, the translated sentence under it.
    struct LinesControls {
        QLabel* total;
        WindowedTable* view;
        QTextEdit* translation;
    };
    struct LinesLayout {
        std::vector<int> columnShares;
        int leftContext; // the column elided on its left, against the form
        int widthTwips;  // the table's least
    };
    struct LinesHandlers {
        std::function<void(LineKey)> sort;
        std::function<void(size_t)> open;    // a click or Enter on a line
        std::function<void(size_t)> current; // the current line changed
        std::function<void()> close = {};    // a "Cerrar" under the sorts; none when empty
    };
    LinesControls layOutLines(const TableRows& rows, const LinesLayout& layout, const LinesHandlers& on);
    // Sorts the lines by `key` as long work, `view` frozen meanwhile.
    void sortLines(WindowedTable* view, LineKey key, const std::function<void(const Progress&)>& sort);

    // The frequencies: "label4" naming the search over "formes", its two
    // sort buttons beside it.
    struct FrequencyControls {
        QLabel* total;
        WindowedTable* view;
    };
    struct FrequencyHandlers {
        std::function<void()> byCount;
        std::function<void()> alphabetical;
        std::function<void(size_t)> open = {}; // Enter on a form; none when empty
        std::function<void()> close = {};      // a "Cerrar" under the sorts; none when empty
    };
    FrequencyControls layOutFrequencies(const TableRows& rows, const FrequencyHandlers& on);

    // The translation candidates: the form's box and "Calcular", the counts,
    // why nothing is listed, the list.
    struct CandidatesControls {
        QLineEdit* form;
        QLabel* counts;
        QLabel* nothing;
        QTableWidget* table;
    };
    // `close`: a "Cerrar" under the list; none when empty.
    CandidatesControls layOutCandidates(const std::function<void()>& calculate, const std::function<void()>& close);
    // Runs `find` as long work called `work`; nothing when it was cancelled
    // or failed (said).
    std::optional<CandidateList> findCandidates(const QString& work,
                                                const std::function<Result<CandidateList>(const Progress&)>& find);
    // Lists `list`; when it holds no word, says why: `absent` when no
    // sentence has the form, `unmatched` when no word goes with it.
    static void showCandidates(const CandidatesControls& shown, const CandidateList& list, const QString& absent,
                               const QString& unmatched);

    // The menus of a pair's window: "Fichero" with "Exportar..." and
    // "Cerrar", "Ayuda" with "A propósito de ...".
    void addMenus(const std::function<void()>& exportList, const std::function<void()>& close,
                  const std::function<void()>& about);

private:
    // The caption row, "label3" then "label4", over "Frame1": a table and,
    // beside it, "Frame3" for its sort buttons.
    struct ListFrame {
        QVBoxLayout* layout;
        QLabel* total;
        WindowedTable* view;
        QGroupBox* sorts;
        QBoxLayout* buttons;
    };
    ListFrame layOutListFrame(const TableRows& rows, const QString& caption, const QString& listCaption,
                              int stretch, const QString& tableName, int widthTwips);
};

// The client of `window` at least this size (in twips), and the window
// opening at it.
void growWithWindow(QMainWindow* window, QWidget* client, int widthTwips, int heightTwips);

// Escape anywhere in the window runs `close`.
void closeOnEscape(QWidget* window, std::function<void()> close);

// A layout filling `frame`, below its caption.
QBoxLayout* frameLayout(QGroupBox* frame, QBoxLayout::Direction direction);

// Names a list by the search made, "query = counts", whatever the box holds
// since; its empty list says nothing was found in `where`. Both are empty
// before any search.
void nameBySearch(QLabel* total, WindowedTable* view, const std::optional<QString>& query, const QString& counts,
                  const QString& where);

// A cell of a concordance line's columns, left context, form, right context
// and marker: the contexts against the form, which stands apart as the
// viewer marks it.
QVariant lineCell(const ConcordanceLine& line, int column, int role, Encoding encoding);

} // namespace solandre
