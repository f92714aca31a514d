// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/search/search_window.h"

#include "common/same_file.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "windows/search/advanced_search.h"
#include "windows/search/candidates_display.h"
#include "windows/search/export_dialog.h"
#include "windows/search/list_printout.h"
#include "windows/search/results_dialog.h"
#include "windows/search/result_grid_view.h"
#include "windows/search/search_picture.h"
#include "windows/widgets/bidi_text.h"

#include <QDateTimeEdit>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace solandre {

const SearchRoad kPreparedTextsSearch{
    .texts = kPreparedTexts, .viewer = names::frmaff_contexte, .freshlyNumbered = false,
    .clientWidth = 10050, .clientHeight = 7080, .resultWidth = 9855, .resultHeight = 5055,
    .gridWidth = 7095, .gridHeight = 4215,
    .exists = " ya existe.", .replace = "ya existe. ¿Desea reemplazarlo? ",
    .existsTitle = "fichero existente", .prefixes = &kPreparedTextsPrefixes, .saved = "la grabación ha finalizado.",
    .lines = names::frmlignes, .frequencies = names::frmfrequences, .candidates = names::frmcandidats};
const SearchRoad kFreshTextsSearch{
    .texts = kFreshTexts, .viewer = names::frmaff_contexte02, .freshlyNumbered = true,
    .clientWidth = 9945, .clientHeight = 6960, .resultWidth = 9780, .resultHeight = 4935,
    .gridWidth = 6375, .gridHeight = 4095,
    .exists = "  ya existe.", .replace = "¿Desea reemplazarlo? ",
    .existsTitle = "Fichero existente", .prefixes = &kFreshTextsPrefixes, .saved = "la grabación ha finalizado",
    .lines = names::frmlignes02, .frequencies = names::frmfrequences02, .candidates = names::frmcandidats02};

namespace {

// The height the row below adds to the window.
constexpr int kAdvancedHeight = 1575;

} // namespace

SearchWindow::SearchWindow(FormRegistry& forms, const SearchRoad& road)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), road_(road)
{
    setClientSize(road.clientWidth, road.clientHeight + kAdvancedHeight);
    titleBanner(720, 120, 8535, 615);

    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"),
                              QStringLiteral("Búsqueda de una forma :"), 240, 840, 6015, 975);
    searchBox_ = textBox(frame2, QStringLiteral("Text1"), 120, 360, 3615, 315);
    searchBox_->setFont(timesFont(9.75));
    QPushButton* command1 = button(frame2, QStringLiteral("Command1"), QString(), 3960, 240, 1815,
                                   615, [this] { Command1_Click(); });
    command1->setIcon(QIcon(pictures::searchButton()));
    command1->setIconSize(QSize(125, 47));
    // Enter in the box searches, as the button next to it would.
    connect(searchBox_, &QLineEdit::returnPressed, this, [this] { Command1_Click(); });

    searchDate_ = new QDateTimeEdit(client());
    searchDate_->setObjectName(QStringLiteral("DTPicker1"));
    searchDate_->setCalendarPopup(true);
    searchDate_->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    searchDate_->setToolTip(QStringLiteral("Fecha de la búsqueda"));
    place(searchDate_, 6480, 1200, 3360, 375);

    QGroupBox* frame1 = frame(client(), QStringLiteral("Frame1"),
                              QStringLiteral("Resultado de la búsqueda : "), 120, 1920,
                              road.resultWidth, road.resultHeight);
    frame1->setFont(timesFont(12, true, true));
    totalCaption_ = label(frame1, QStringLiteral("label3"), QStringLiteral("Total de ocurrencia(s) para : "),
                    360, 360, 3135, 255);
    total_ = label(frame1, QStringLiteral("label4"), QString(), 3480, 360, 3135, 255);
    for (QLabel* l : {totalCaption_, total_}) l->setFont(timesFont(12, true, true));
    setTextColour(totalCaption_, colours::kDarkBlue);
    setTextColour(total_, colours::kDarkRed);
    totalCaption_->hide();

    gridView_ = new ResultGridView(concordance_.grid(), frame1);
    gridView_->setObjectName(QStringLiteral("grille01"));
    gridView_->setFont(timesFont(9.75));
    place(gridView_, 360, 720, road.gridWidth, road.gridHeight);
    connect(gridView_, &ResultGridView::cellClicked, this, [this] { grille01_Click(); });
    gridView_->setTexts([this] { return texts(); });

    QGroupBox* frame3 = frame(frame1, QStringLiteral("Frame3"), QStringLiteral("Clasificación :"),
                              7680, 480, 2055, 1575);
    frame3->setFont(timesFont(12, true, true));
    const QFont sansBold(QStringLiteral("MS Sans Serif"), 12, QFont::Bold);
    button(frame1, QStringLiteral("Command2"), QStringLiteral("Formas"), 7920, 840, 1695, 495,
           [this] { Command2_Click(); })
        ->setFont(sansBold);
    button(frame1, QStringLiteral("Command3"), QStringLiteral("Referencias"), 7905, 1440, 1695,
           495, [this] { Command3_Click(); })
        ->setFont(sansBold);

    advanced_ = new AdvancedSearch(client(), 120, road.clientHeight, road.resultWidth);
    connect(advanced_, &AdvancedSearch::searchAsked, this, [this] { Command1_Click(); });
    connect(advanced_, &AdvancedSearch::translationToggled, this, [this] { traduction_Click(); });

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("enregistrer"), QStringLiteral("&Guardar"),
         [this] { enregistrer_Click(); });
    item(fichier, QStringLiteral("imprimer"), QStringLiteral("&Imprimir las ocurrencias"),
         [this] { imprimer_Click(); });
    item(fichier, QStringLiteral("exporter"), QStringLiteral("&Exportar..."), [this] { exporter_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Cerrar"), [this] { quitter_Click(); });
    QMenu* affichage = menu(QStringLiteral("affichage"), QStringLiteral("&Ver"));
    item(affichage, QStringLiteral("kwic"), QStringLiteral("&Líneas de concordancia"), [this] { kwic_Click(); });
    item(affichage, QStringLiteral("frequences"), QStringLiteral("&Frecuencias"), [this] { frequences_Click(); });
    item(affichage, QStringLiteral("candidats"), QStringLiteral("&Candidatos de traducción"),
         [this] { candidats_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."),
         [this] { about_Click(); });
}

SearchWindow::~SearchWindow()
{
    // The grid on screen reads the concordance's rows until it is gone, and
    // child widgets outlive the members: it goes first.
    delete gridView_;
}

void SearchWindow::Form_Load()
{
    searchDate_->setDateTime(desktop().clock.now());

    const QString source = texts().searched;
    Status loaded = success();
    runLongWork(this, QStringLiteral("Leyendo e indexando %1").arg(QFileInfo(source).fileName()),
                Cancel::Allowed, [&](const Progress& progress) { loaded = concordance_.load(source, progress, &IndexCache::forUser()); });
    if (!loaded && loaded.error().cancelled) {
        // The user changed their mind: the window does not open.
        openingCancelled_ = true;
        forms().unload(objectName());
        return;
    }
    // The window still opens; with an empty index every search finds nothing.
    if (!loaded)
        desktop().dialogs.message(this, {loaded.error().message, QStringLiteral("Solandre"),
                                         Buttons::Ok, Icon::Information});
    else if (!road_.freshlyNumbered && !concordance_.looksNumbered())
        desktop().dialogs.message(this, {notNumberedWarning(concordance_.name()),
                                         QStringLiteral("Solandre"), Buttons::Ok, Icon::Information});
    preparer_grille();

    if (road_.freshlyNumbered) forms().hide(names::Frmreference);
}

void SearchWindow::Form_Unload()
{
    // Its viewer and the study windows read this window's grid: they go with it.
    forms().unload(road_.viewer);
    for (const char* reader : {road_.lines, road_.frequencies, road_.candidates}) forms().unload(reader);
    // A window whose opening was cancelled never took the numbering's place.
    if (road_.freshlyNumbered && !openingCancelled_) forms().unload(names::Frmreference);
}

SearchedTexts SearchWindow::texts()
{
    const QString source = forms().text(road_.texts.form, road_.texts.source);
    const QString target = forms().text(road_.texts.form, road_.texts.target);
    return translationSearched_ ? SearchedTexts{target, source, true} : SearchedTexts{source, target};
}

void SearchWindow::whileGridChanges(const QString& what, const std::function<void(const Progress&)>& change,
                                    bool cancellable)
{
    gridView_->freeze();
    runLongWork(this, what, cancellable ? Cancel::Allowed : Cancel::NotAllowed, change);
    gridView_->thaw();
}

void SearchWindow::preparer_grille()
{
    concordance_.grid().prepare();
    gridView_->refresh();
}

void SearchWindow::Command1_Click()
{
    WaitCursor wait;
    total_->hide();
    searching_ = true; // the windows that follow the search wait for its end
    preparer_grille();
    const QString typed = searchBox_->text();
    SearchRequest request;
    request.typed = typed;
    request.syntax = advanced_->syntax();
    if (const auto test = advanced_->test()) {
        if (!openCounterpart()) {
            searching_ = false;
            return;
        }
        request.condition = TranslationCondition{*test, advanced_->condition(), &counterpart_};
    }
    Result<size_t> found = size_t(0);
    // A single form is a look-up; an expression or a condition may take a
    // while on a big text, and may be stopped.
    const bool lookUp = request.syntax == QuerySyntax::Patterns && !request.condition;
    whileGridChanges(QStringLiteral("Buscando %1").arg(typed),
                     [&](const Progress& progress) { found = concordance_.search(request, progress); }, !lookUp);
    if (found) searched_ = typed;
    searching_ = false;
    gridView_->refresh();

    total_->show();
    totalCaption_->show();
    total_->setText(amidLeftToRight(typed) + QStringLiteral(" = ") + QString::number(found ? found.value() : 0));
    if (!found) {
        advanced_->say(found.error().cancelled ? QStringLiteral("Búsqueda interrumpida.") : found.error().message);
        if (!found.error().cancelled)
            desktop().dialogs.message(this, {found.error().message, QStringLiteral("Solandre"), Buttons::Ok,
                                             Icon::Information});
        return;
    }
    advanced_->say(reading(request));
}

QString SearchWindow::reading(const SearchRequest& request) const
{
    const QString read = AdvancedSearch::reading(concordance_.lastQuery(), request);
    if (!translationSearched_) return read;
    return QStringLiteral("Búsqueda en la traducción.") + (read.isEmpty() ? QString() : QStringLiteral(" ") + read);
}

bool SearchWindow::openCounterpart()
{
    const QString path = texts().counterpart;
    if (path.isEmpty()) {
        const QString which = translationSearched_ ? QStringLiteral("en lengua de origen") : QStringLiteral("en lengua meta");
        desktop().dialogs.message(this, {QStringLiteral("La condición sobre la frase traducida necesita el texto %1: "
                                                        "nómbrelo en la ventana principal.")
                                             .arg(which),
                                         QStringLiteral("Solandre"), Buttons::Ok, Icon::Information});
        return false;
    }
    if (path == counterpartPath_) return true;
    Status loaded = success();
    runLongWork(this, QStringLiteral("Leyendo e indexando %1").arg(QFileInfo(path).fileName()), Cancel::Allowed,
                [&](const Progress& progress) { loaded = counterpart_.load(path, progress, &IndexCache::forUser()); });
    if (!loaded) {
        counterpartPath_.clear();
        if (!loaded.error().cancelled)
            desktop().dialogs.message(this, {loaded.error().message, QStringLiteral("Solandre"), Buttons::Ok,
                                             Icon::Information});
        return false;
    }
    counterpartPath_ = path;
    // Said once, when it is opened: the search still runs, as on any text.
    if (!counterpart_.looksNumbered())
        desktop().dialogs.message(
            this, {QStringLiteral("El fichero \"%1\" no parece un texto numerado: no empieza por \"[1] \". Sus frases "
                                  "no pueden emparejarse por su número con las del texto buscado; para numerarlo, "
                                  "use \"Referenciación y concordancias\" en el menú \"Aplicación\".")
                       .arg(path),
                   QStringLiteral("Solandre"), Buttons::Ok, Icon::Information});
    return true;
}

void SearchWindow::traduction_Click()
{
    // The two texts change places: the windows that read this search go, the
    // other text is indexed, and the next search is made in it.
    forms().unload(road_.viewer);
    for (const char* reader : {road_.lines, road_.frequencies, road_.candidates}) forms().unload(reader);
    const bool wanted = advanced_->searchesTranslation();
    translationSearched_ = wanted;
    const QString path = texts().searched;
    if (path.isEmpty()) {
        translationSearched_ = !wanted;
        advanced_->setSearchesTranslation(!wanted);
        desktop().dialogs.message(this, {QStringLiteral("No hay texto en lengua meta en que buscar: nómbrelo en la "
                                                        "ventana principal."),
                                         QStringLiteral("Solandre"), Buttons::Ok, Icon::Information});
        return;
    }
    WaitCursor wait;
    total_->hide();
    totalCaption_->hide();
    auto index = [&](const QString& file, Cancel cancel) {
        Status loaded = success();
        gridView_->freeze();
        runLongWork(this, QStringLiteral("Leyendo e indexando %1").arg(QFileInfo(file).fileName()), cancel,
                    [&](const Progress& progress) { loaded = concordance_.load(file, progress, &IndexCache::forUser()); });
        gridView_->thaw();
        return loaded;
    };
    Status loaded = index(path, Cancel::Allowed);
    if (!loaded && loaded.error().cancelled) {
        // Back to the text searched before.
        translationSearched_ = !wanted;
        advanced_->setSearchesTranslation(!wanted);
        loaded = index(texts().searched, Cancel::NotAllowed);
    }
    preparer_grille();
    if (!loaded) {
        desktop().dialogs.message(this, {loaded.error().message, QStringLiteral("Solandre"), Buttons::Ok,
                                         Icon::Information});
        return;
    }
    advanced_->say(translationSearched_
                       ? QStringLiteral("Se busca en la traducción, %1; el original queda al lado.")
                             .arg(QFileInfo(texts().searched).fileName())
                       : QStringLiteral("Se busca en el original, %1.").arg(QFileInfo(texts().searched).fileName()));
}

void SearchWindow::Command2_Click()
{
    WaitCursor wait;
    whileGridChanges(QStringLiteral("Ordenando por formas"), [&](const Progress&) { concordance_.sortByForm(); });
    gridView_->refresh();
}

void SearchWindow::Command3_Click() { Command1_Click(); }

void SearchWindow::grille01_Click()
{
    // The header row, or a grid without hits, has no context to show.
    if (!grid().isHit(grid().rowSel())) return;
    forms().show(road_.viewer);
}

void SearchWindow::quitter_Click()
{
    if (road_.freshlyNumbered) forms().unload(names::Frmreference);
    forms().unload(objectName());
}

void SearchWindow::about_Click() { forms().show(names::frmAbout); }

void SearchWindow::moveToLastMarker()
{
    ResultGrid& g = concordance_.grid();
    g.setRow(g.rows() - 1);
    g.setCol(1);
    gridView_->showCurrent();
}

void SearchWindow::enregistrer_Click()
{
    const auto [source, target, swapped] = texts();
    const ResultsHeading heading =
        makeHeading(*road_.prefixes, forms().text(names::frmtexte, QStringLiteral("References")),
                    formatSearchDate(searchDate_->dateTime()));
    saveResultsWithDialogs(
        this, desktop(), {source, target}, {road_.exists, road_.replace, road_.existsTitle, road_.saved},
        [&](const QString& file, const Progress& progress) {
            return saveResultsFile(file, concordance_, target, heading, progress);
        },
        [this] { moveToLastMarker(); });
}

void SearchWindow::imprimer_Click()
{
    Printer& printer = desktop().printer;
    if (!desktop().dialogs.printerSetup(this, printer)) return; // "Cancelar" prints nothing
    bool printed = false;
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Imprimiendo las ocurrencias"), Cancel::NotAllowed,
                    [&](const Progress& progress) { printed = printResultList(printer, grid(), progress); });
        moveToLastMarker();
    }
    if (!printed)
        desktop().dialogs.message(this, {printer.lastError(), QStringLiteral("Solandre"),
                                         Buttons::Ok, Icon::Information});
}

void SearchWindow::exporter_Click()
{
    const auto [searched, counterpart, swapped] = texts();
    exportLinesWithDialogs(this, desktop(), ConcordanceLines::ofGrid(grid()), searched, counterpart);
}

void SearchWindow::kwic_Click() { forms().show(road_.lines); }

void SearchWindow::frequences_Click() { forms().show(road_.frequencies); }

void SearchWindow::candidats_Click()
{
    auto* candidates = dynamic_cast<CandidatesDisplay*>(forms().load(road_.candidates));
    if (!candidates) return;
    // An expression or a condition is this window's alone: the candidates
    // of the hits it found. The form searched, not what the box holds now.
    if (advanced_->syntax() == QuerySyntax::Patterns && !advanced_->test())
        candidates->showCandidatesOf(searched_.value_or(QString()));
    else
        candidates->showCandidatesOfHits(concordance_.lastQuery().typed());
}

} // namespace solandre
