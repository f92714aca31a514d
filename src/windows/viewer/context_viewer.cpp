// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/viewer/context_viewer.h"

#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/printer.h"
#include "common/encoding.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/search/candidates_display.h"
#include "windows/search/hit_order.h"
#include "windows/search/result_grid_view.h"
#include "search/query_text.h"
#include "viewer/context_scan.h"
#include "windows/viewer/context_printout.h"
#include "windows/viewer/viewer_pictures.h"

#include <QGroupBox>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace solandre {

const ViewerRoad kPreparedTextsViewer{kPreparedTexts, names::Frmcontexte, "&Edición",
                                      "Texto en lengua de origen:", 9795, 6780, names::frmcandidats};
const ViewerRoad kFreshTextsViewer{kFreshTexts, names::Frmcontexte02, "Edición",
                                   "Texto en lengua de origen :", 9735, 6795, names::frmcandidats02};

namespace {

constexpr unsigned kMarkingBlue = 0x0000FF;
constexpr unsigned kCandidateGreen = 0x008000;
// Of the candidates listed, the best few are marked: further down the list
// come the words that merely go along, and marks on them hide the answer.
constexpr int kMarkedCandidates = 3;

QString paneText(std::string_view record, Encoding encoding)
{
    // The pane keeps one line break per line, as the file's CR LF shows it.
    return decodeText(record, encoding).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string trimRight(std::string_view text)
{
    const size_t end = text.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

} // namespace

ContextViewer::ContextViewer(FormRegistry& forms, const ViewerRoad& road)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), road_(road)
{
    setClientSize(road.clientWidth, road.clientHeight);
    titleBanner(240, 120, 9255, 615);
    setTextColour(findChild<QLabel*>(QStringLiteral("Label1")), 0xFFFFFF);

    QLabel* label5 = label(client(), QStringLiteral("Label5"), QStringLiteral("Criterio de búsqueda :"),
                           240, 840, 2295, 375);
    criterion_ = label(client(), QStringLiteral("Label6"), QString(), 2520, 840, 2295, 375);
    for (QLabel* l : {label5, criterion_}) l->setFont(timesFont(12, true));
    setTextColour(criterion_, colours::kDarkRed);

    auto pane = [&](const QString& frameName, const QString& caption, int top, int height,
                    const QString& name, int paneHeight) {
        QGroupBox* box = frame(client(), frameName, caption, 240, top, 9255, height);
        box->setFont(timesFont(9.75, true, true));
        setCaptionColour(box, colours::kDarkBlue);
        auto* edit = new QTextEdit(box);
        edit->setObjectName(name);
        edit->setFont(timesFont(9.75));
        edit->setAcceptRichText(true);
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        place(edit, 120, 240, 9015, paneHeight);
        return edit;
    };
    sourcePane_ = pane(QStringLiteral("Frame1"), QStringLiteral("Texto en lengua de origen :"), 1200,
                   2295, QStringLiteral("label3"), 1935);
    targetPane_ = pane(QStringLiteral("Frame2"), QStringLiteral("Texto en lengua meta :"), 3600, 2175,
                   QStringLiteral("label4"), 1815);
    sourcePane_->viewport()->installEventFilter(this);

    for (auto [name, caption, left] : {std::tuple{"Frame4", "Texto :", 240},
                                       std::tuple{"Frame3", "Contexto :", 5280}}) {
        QGroupBox* box = frame(client(), QString::fromLatin1(name), QString::fromUtf8(caption),
                               left, 5880, 4215, 855);
        box->setFont(timesFont(9.75, true, true));
        setCaptionColour(box, colours::kDarkRed);
    }
    QPushButton* command3 = button(client(), QStringLiteral("Command3"), QStringLiteral("Texto precedente"),
                                   360, 6120, 1935, 495, [this] { Command3_Click(); });
    QPushButton* command4 = button(client(), QStringLiteral("Command4"), QStringLiteral("Texto siguiente"),
                                   2400, 6120, 1935, 495, [this] { Command4_Click(); });
    previousHit_ = button(client(), QStringLiteral("Command2"), QStringLiteral("Contexto precedente"),
                       5400, 6120, 1935, 495, [this] { Command2_Click(); });
    nextHit_ = button(client(), QStringLiteral("Command1"), QStringLiteral("Contexto siguiente"),
                       7440, 6120, 1935, 495, [this] { Command1_Click(); });
    command3->setIcon(pictures::textStep(false));
    command4->setIcon(pictures::textStep(true));
    previousHit_->setIcon(pictures::contextStep(false));
    nextHit_->setIcon(pictures::contextStep(true));
    for (QPushButton* b : {command3, command4, previousHit_, nextHit_}) {
        b->setIconSize(QSize(12, 12));
        b->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
        b->raise();
    }

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("imprimer"), QStringLiteral("&Imprimir el contexto"),
         [this] { imprimer_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("fermer"), QStringLiteral("&Cerrar"), [this] { fermer_Click(); });

    editMenu_ = menu(QStringLiteral("MNU_Edit"), QString::fromUtf8(road.editCaption));
    item(editMenu_, QStringLiteral("MNU_Cut"), QStringLiteral("&Cortar"), [this] { MNU_Cut_Click(); });
    item(editMenu_, QStringLiteral("MNU_Copy"), QStringLiteral("Co&piar"), [this] { MNU_Copy_Click(); });
    item(editMenu_, QStringLiteral("MNU_Insert"), QStringLiteral("&Pegar"),
         [this] { MNU_Insert_Click(); });
    item(editMenu_, QStringLiteral("MNU_Del"), QStringLiteral("&Borrar"), [this] { MNU_Del_Click(); });
    separator(editMenu_, QStringLiteral("MNU_Sep"));
    item(editMenu_, QStringLiteral("MNU_Mark"), QStringLiteral("Se&leccionar todo"),
         [this] { MNU_Mark_Click(); });
    item(editMenu_, QStringLiteral("MNU_Unmark"), QStringLiteral("&Anular la selección"),
         [this] { MNU_Unmark_Click(); });

    QMenu* affichage = menu(QStringLiteral("affichage"), QStringLiteral("&Ver"));
    item(affichage, QStringLiteral("candidats"), QStringLiteral("&Candidatos de traducción"),
         [this] { candidats_Click(); })
        ->setEnabled(road.candidates != nullptr);

    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."),
         [this] { about_Click(); });
}

ResultGridControl* ContextViewer::grid()
{
    if (road_.gridOf) return road_.gridOf(forms(), road_.searchWindow);
    return searchGrid(forms(), road_.searchWindow);
}

void ContextViewer::Form_Load()
{
    if (!openTexts()) {
        forms().unload(objectName()); // the user cancelled the opening
        return;
    }
    ResultGridControl* view = grid();
    if (!view) return;
    currentRow_ = view->grid().rowSel();
    showRow(currentRow_);
}

bool ContextViewer::openTexts()
{
    // The texts of the search: swapped when it searches the translation.
    ResultGridControl* view = grid();
    const SearchedTexts texts = view            ? view->texts()
                                : road_.gridOf ? SearchedTexts()
                                               : SearchedTexts{forms().text(road_.texts.form, road_.texts.source),
                                                               forms().text(road_.texts.form, road_.texts.target)};
    const QString& sourcePath = texts.searched;
    const QString& targetPath = texts.counterpart;
    bool cancelled = false;
    // Both texts read once, for the life of the window, and the places of
    // their records found once; each step then reads only what it shows.
    runLongWork(this, QStringLiteral("Abriendo los textos"), Cancel::Allowed, [&](const Progress& progress) {
        cancelled = !openViewedPair(sourcePath, targetPath, texts_, progress);
    });
    opened_ = cancelled ? SearchedTexts() : texts; // cancelled: read again at the next hit
    if (cancelled) return false;
    // Each pane names the text it shows, the translation above when it is searched.
    const QString original = QStringLiteral("Texto en lengua de origen :");
    const QString translation = QStringLiteral("Texto en lengua meta :");
    findChild<QGroupBox*>(QStringLiteral("Frame1"))->setTitle(texts.translationSearched ? translation : original);
    findChild<QGroupBox*>(QStringLiteral("Frame2"))->setTitle(texts.translationSearched ? original : translation);
    if (!texts_.failures.isEmpty())
        desktop().dialogs.message(this, {texts_.failures.join(QStringLiteral("\r\n")),
                                         QStringLiteral("Solandre"), Buttons::Ok, Icon::Information});
    return true;
}

void ContextViewer::showRow(size_t row)
{
    ResultGridControl* view = grid();
    if (!view) return;
    ResultGrid& g = view->grid();
    // A list shortened by a new search: stay on its last row.
    if (g.rows() < 2) return;
    row = std::min(row, g.rows() - 1);
    currentRow_ = row;
    g.setRow(row);
    g.setCol(1);
    rowMarker_ = trimRight(g.text(g.row(), 1));
    g.setCol(0);
    criterion_->setText(decodeText(g.text(g.row(), 0), g.encoding()));
    view->showCurrent(); // the search window's grid follows the viewer
    afficher_contexte(rowMarker_);
}

void ContextViewer::afficher_contexte(std::string marker)
{
    // The marker is in the source's encoding; the target may be in another.
    auto show = [&](const ViewedText& side, QTextEdit* pane, std::string_view wanted) {
        if (!side.readable) {
            pane->clear();
            return ContextScan();
        }
        const ContextScan scan = side.records.find(wanted);
        // A file without this record shows nothing rather than another sentence.
        pane->setPlainText(scan.found ? paneText(scan.record, side.text.encoding()) : QString());
        return scan;
    };
    const ContextScan scan = show(texts_.source, sourcePane_, marker);
    if (scan.previous) previousMarker_ = *scan.previous;
    if (scan.next) nextMarker_ = *scan.next;
    if (texts_.target.named) {
        const bool sameEncoding = texts_.target.text.encoding() == texts_.source.text.encoding();
        const std::string wanted =
            sameEncoding ? marker
                         : encodeText(decodeText(marker, texts_.source.text.encoding()), texts_.target.text.encoding())
                               .value_or(std::string());
        show(texts_.target, targetPane_, wanted);
    }
    targetShown_ = targetPane_->toPlainText();

    if (HitOrder* steps = order()) {
        nextHit_->setEnabled(orderStep_ + 1 < steps->hitCount());
        previousHit_->setEnabled(orderStep_ > 0);
    } else {
        const size_t rows = grid() ? grid()->grid().rows() : 1;
        nextHit_->setEnabled(currentRow_ + 1 != rows);
        previousHit_->setEnabled(currentRow_ != 1);
    }

    surligner_forme();
    marquer_traduction();
    markBestCandidates();
}

namespace {

void markWords(QTextEdit* pane, const std::vector<std::pair<qsizetype, qsizetype>>& marks, unsigned rgb)
{
    QTextCharFormat marking;
    marking.setFontWeight(QFont::Bold);
    marking.setForeground(QColor::fromRgb(rgb));
    QTextCursor cursor(pane->document());
    for (const auto& [start, length] : marks) {
        cursor.setPosition(int(start));
        cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(marking);
    }
}

} // namespace

void ContextViewer::surligner_forme()
{
    // A phrase has every word of it marked, wherever the sentence holds it.
    ResultGridControl* view = grid();
    const bool phrase = view && view->grid().hitWords() > 1;
    const QString text = sourcePane_->toPlainText();
    const auto marks = phrase ? matchedWords(text, Query::exactWords(criterion_->text()))
                              : wordsToMark(text, criterion_->text());
    if (marks.empty()) return;
    markWords(sourcePane_, marks, kMarkingBlue);
    // No selection left; the insertion point at the last marked word.
    QTextCursor cursor(sourcePane_->document());
    cursor.setPosition(int(marks.back().first));
    sourcePane_->setTextCursor(cursor);
}

void ContextViewer::marquer_traduction()
{
    // What the search asked the translated sentence to contain, as the form is marked.
    ResultGridControl* view = grid();
    if (!view || !view->grid().translationMatch()) return;
    markWords(targetPane_, matchedWords(targetPane_->toPlainText(), *view->grid().translationMatch()), kMarkingBlue);
}

void ContextViewer::markBestCandidates()
{
    // The best words the candidates window lists, when it is open, in a
    // colour of their own beside the blue of the form.
    if (!forms().isLoaded(road_.candidates)) return;
    auto* candidates = dynamic_cast<CandidatesDisplay*>(forms().find(road_.candidates));
    if (!candidates) return;
    QTextCharFormat marking;
    marking.setFontWeight(QFont::Bold);
    marking.setForeground(QColor::fromRgb(kCandidateGreen));
    QTextCursor cursor(targetPane_->document());
    const QString text = targetPane_->toPlainText();
    for (const QString& word : candidates->bestWords(kMarkedCandidates)) {
        for (const auto& [start, length] : wordsToMark(text, word)) {
            cursor.setPosition(int(start));
            cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(marking);
        }
    }
}

void ContextViewer::markCandidates()
{
    // Marks as they stand now: those of an earlier list go first.
    targetPane_->setPlainText(targetShown_);
    marquer_traduction();
    markBestCandidates();
}

void ContextViewer::showCurrentHit(const QString& orderWindow)
{
    ResultGridControl* view = grid();
    if (!view) return;
    // A hit of another pair: its texts are read first.
    const SearchedTexts texts = view->texts();
    if (texts.searched != opened_.searched || texts.counterpart != opened_.counterpart) {
        if (!openTexts()) return;
        view = grid();
        if (!view) return;
    }
    order_ = orderWindow;
    auto* steps = order_.isEmpty() ? nullptr : dynamic_cast<HitOrder*>(forms().find(order_));
    orderStep_ = steps ? steps->currentStep() : 0;
    showRow(view->grid().rowSel());
}

HitOrder* ContextViewer::order()
{
    if (order_.isEmpty()) return nullptr;
    auto* steps = dynamic_cast<HitOrder*>(forms().find(order_));
    ResultGridControl* view = grid();
    // Gone, or sorted again or following a new search since: the grid's order.
    if (!steps || !view || orderStep_ >= steps->hitCount() || !view->grid().isHit(currentRow_) ||
        steps->hitAt(orderStep_) != view->grid().hit(currentRow_)) {
        order_.clear();
        return nullptr;
    }
    return steps;
}

void ContextViewer::step(long long delta)
{
    WaitCursor wait;
    ResultGridControl* view = grid();
    if (!view) return;
    HitOrder* steps = order();
    if (!steps) {
        // Back from past the end of a list a new search shortened: its last row.
        const long long row = (long long)currentRow_ + delta;
        if (delta > 0 ? row < (long long)view->grid().rows() : row >= 1) showRow(size_t(row));
        return;
    }
    const long long next = (long long)orderStep_ + delta;
    if (next < 0 || next >= (long long)steps->hitCount()) return;
    const WordId hit = steps->hitAt(size_t(next));
    const ResultGrid& g = view->grid();
    for (size_t row = 1; row < g.rows(); ++row) {
        if (!g.isHit(row) || g.hit(row) != hit) continue;
        orderStep_ = size_t(next);
        steps->setCurrentStep(orderStep_); // the list's current line follows
        showRow(row);
        return;
    }
}

void ContextViewer::candidats_Click()
{
    if (auto* candidates = dynamic_cast<CandidatesDisplay*>(forms().load(road_.candidates)))
        candidates->showCandidatesOf(criterion_->text());
}

void ContextViewer::Command1_Click() { step(1); }

void ContextViewer::Command2_Click() { step(-1); }

void ContextViewer::Command3_Click()
{
    WaitCursor wait;
    afficher_contexte(previousMarker_); // a copy: the scan rewrites the markers
}

void ContextViewer::Command4_Click()
{
    WaitCursor wait;
    afficher_contexte(nextMarker_);
}

void ContextViewer::imprimer_Click()
{
    Printer& printer = desktop().printer;
    if (!desktop().dialogs.printerSetup(this, printer)) return; // "Cancelar" prints nothing
    bool printed = false;
    {
        WaitCursor wait;
        PrintedContext context{QString::fromUtf8(road_.sourceHeading), sourcePane_->toPlainText(),
                               targetPane_->toPlainText()};
        // The translation searched is printed first, under its own heading.
        if (opened_.translationSearched) std::swap(context.sourceHeading, context.targetHeading);
        printed = printContext(printer, context);
    }
    if (!printed)
        desktop().dialogs.message(this, {printer.lastError(), QStringLiteral("Solandre"),
                                         Buttons::Ok, Icon::Information});
}

void ContextViewer::fermer_Click() { forms().unload(objectName()); }
void ContextViewer::about_Click() { forms().show(names::frmAbout); }

void ContextViewer::MNU_Cut_Click()
{
    QTextCursor cursor = sourcePane_->textCursor();
    if (!cursor.hasSelection()) return;
    MNU_Copy_Click();
    cursor.removeSelectedText();
    sourcePane_->setTextCursor(cursor);
}

void ContextViewer::MNU_Copy_Click()
{
    const QTextCursor cursor = sourcePane_->textCursor();
    if (!cursor.hasSelection()) return;
    // Both forms, as text widgets put them: other programs take the words,
    // a paste here takes the marking too.
    const QTextDocumentFragment selection = cursor.selection();
    auto* data = new QMimeData;
    data->setText(selection.toPlainText());
    data->setHtml(selection.toHtml());
    desktop().clipboard.setMimeData(data);
}

void ContextViewer::MNU_Insert_Click()
{
    const QMimeData* data = desktop().clipboard.mimeData();
    if (!data) return;
    QTextCursor cursor = sourcePane_->textCursor();
    if (data->hasHtml())
        cursor.insertFragment(QTextDocumentFragment::fromHtml(data->html()));
    else if (data->hasText())
        cursor.insertText(data->text());
    sourcePane_->setTextCursor(cursor);
}

void ContextViewer::MNU_Del_Click()
{
    QTextCursor cursor = sourcePane_->textCursor();
    cursor.removeSelectedText();
    sourcePane_->setTextCursor(cursor);
}

void ContextViewer::MNU_Mark_Click() { sourcePane_->selectAll(); }

void ContextViewer::MNU_Unmark_Click()
{
    QTextCursor cursor = sourcePane_->textCursor();
    cursor.setPosition(cursor.selectionStart());
    sourcePane_->setTextCursor(cursor);
}

void ContextViewer::label3_MouseDown(Qt::MouseButton button, const QPoint& position)
{
    if (button == Qt::RightButton) editMenu_->popup(sourcePane_->viewport()->mapToGlobal(position));
}

bool ContextViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == sourcePane_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        label3_MouseDown(press->button(), press->position().toPoint());
        // The right button keeps the selection for the menu's commands.
        return press->button() == Qt::RightButton;
    }
    return Form::eventFilter(watched, event);
}

} // namespace solandre
