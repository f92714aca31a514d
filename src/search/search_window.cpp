#include "search/search_window.h"

#include "app/forms/wait_cursor.h"
#include "common/cp1252.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "search/result_grid_view.h"
#include "search/search_picture.h"

#include <QDateTimeEdit>
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
    .existsTitle = "fichero existente", .prefixes = &kPreparedTextsPrefixes, .saved = "la grabación ha finalizado."};
const SearchRoad kFreshTextsSearch{
    .texts = kFreshTexts, .viewer = names::frmaff_contexte02, .freshlyNumbered = true,
    .clientWidth = 9945, .clientHeight = 6960, .resultWidth = 9780, .resultHeight = 4935,
    .gridWidth = 6375, .gridHeight = 4095,
    .exists = "  ya existe.", .replace = "¿Desea reemplazarlo? ",
    .existsTitle = "Fichero existente", .prefixes = &kFreshTextsPrefixes, .saved = "la grabación ha finalizado"};

SearchWindow::SearchWindow(FormRegistry& forms, const SearchRoad& road)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), road_(road)
{
    setClientSize(road.clientWidth, road.clientHeight);
    titleBanner(720, 120, 8535, 615);

    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"),
                              QStringLiteral("Búsqueda de una forma :"), 240, 840, 6015, 975);
    Text1_ = textBox(frame2, QStringLiteral("Text1"), 120, 360, 3615, 315);
    Text1_->setFont(timesFont(9.75));
    QPushButton* command1 = button(frame2, QStringLiteral("Command1"), QString(), 3960, 240, 1815,
                                   615, [this] { Command1_Click(); });
    command1->setIcon(QIcon(pictures::searchButton()));
    command1->setIconSize(QSize(125, 47));
    // Enter in the box searches, as the button next to it would.
    connect(Text1_, &QLineEdit::returnPressed, this, [this] { Command1_Click(); });

    DTPicker1_ = new QDateTimeEdit(client());
    DTPicker1_->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1_->setCalendarPopup(true);
    DTPicker1_->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    DTPicker1_->setToolTip(QStringLiteral("Fecha de la búsqueda"));
    place(DTPicker1_, 6480, 1200, 3360, 375);

    QGroupBox* frame1 = frame(client(), QStringLiteral("Frame1"),
                              QStringLiteral("Resultado de la búsqueda : "), 120, 1920,
                              road.resultWidth, road.resultHeight);
    frame1->setFont(timesFont(12, true, true));
    label3_ = label(frame1, QStringLiteral("label3"), QStringLiteral("Total de ocurrencia(s) para : "),
                    360, 360, 3135, 255);
    label4_ = label(frame1, QStringLiteral("label4"), QString(), 3480, 360, 3135, 255);
    for (QLabel* l : {label3_, label4_}) l->setFont(timesFont(12, true, true));
    setTextColour(label3_, colours::kDarkBlue);
    setTextColour(label4_, colours::kDarkRed);
    label3_->hide();

    grille01_ = new ResultGridView(grid_, frame1);
    grille01_->setObjectName(QStringLiteral("grille01"));
    grille01_->setFont(timesFont(9.75));
    place(grille01_, 360, 720, road.gridWidth, road.gridHeight);
    connect(grille01_, &ResultGridView::cellClicked, this, [this] { grille01_Click(); });

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

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("enregistrer"), QStringLiteral("&Guardar"),
         [this] { enregistrer_Click(); });
    item(fichier, QStringLiteral("imprimer"), QStringLiteral("&Imprimir las ocurrencias"),
         [this] { imprimer_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Cerrar"), [this] { quitter_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."),
         [this] { about_Click(); });
}

SearchWindow::~SearchWindow() = default;

void SearchWindow::Form_Load()
{
    DTPicker1_->setDateTime(desktop().clock.now());

    const QString source = forms().text(road_.texts.form, road_.texts.source);
    Result<WordIndex> read = readWordIndex(source);
    if (read) {
        index_ = std::move(read.value());
    } else {
        // The window still opens; with an empty index every search finds nothing.
        desktop().dialogs.message(this, {read.error().message, QStringLiteral("Solandre"),
                                         Buttons::Ok, Icon::Information});
    }
    preparer_grille();

    if (road_.freshlyNumbered) forms().hide(names::Frmreference);
}

void SearchWindow::Form_Unload()
{
    // Its viewer reads this window's grid: it goes with it.
    forms().unload(road_.viewer);
    if (road_.freshlyNumbered) forms().unload(names::Frmreference);
}

void SearchWindow::preparer_grille()
{
    grid_.prepare();
    grille01_->refresh();
}

void SearchWindow::Command1_Click()
{
    WaitCursor wait;
    label4_->hide();
    WordList hits = grid_.takeRows();
    preparer_grille();
    grid_.setRow(0);
    grid_.setCol(0);
    const QString typed = Text1_->text();
    index_.search(parsePattern(toCp1252(typed)), hits);
    const size_t count = hits.size();
    grid_.showHits(std::move(hits));
    grille01_->refresh();

    label4_->show();
    label3_->show();
    label4_->setText(typed + QStringLiteral(" = ") + QString::number(count));
}

void SearchWindow::Command2_Click()
{
    WaitCursor wait;
    grid_.setColSel(0);
    grid_.sort();
    grille01_->refresh();
}

void SearchWindow::Command3_Click() { Command1_Click(); }

void SearchWindow::grille01_Click()
{
    // The header row, or a grid without hits, has no context to show.
    if (!grid_.isHit(grid_.rowSel())) return;
    forms().show(road_.viewer);
}

void SearchWindow::quitter_Click()
{
    if (road_.freshlyNumbered) forms().unload(names::Frmreference);
    forms().unload(objectName());
}

void SearchWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
