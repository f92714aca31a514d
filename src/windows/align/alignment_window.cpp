// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/align/alignment_window.h"

#include "windows/align/alignment_model.h"
#include "common/encoding.h"
#include "forms/form_names.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "tmx/memory_export.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace solandre {

const AlignmentRoad kPreparedTextsAlignment{kPreparedTexts, false};
const AlignmentRoad kFreshTextsAlignment{kFreshTexts, true};

AlignmentWindow::AlignmentWindow(FormRegistry& forms, const AlignmentRoad& road)
    : Form(forms, QStringLiteral("Alineación")), road_(road)
{
    setClientSize(12000, 8400);
    auto* layout = new QVBoxLayout(client());
    auto* title = new QLabel(QStringLiteral("Alineación"), client());
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(timesFont(18, true));
    setTextColour(title, colours::kDarkBlue);
    layout->addWidget(title);
    summary_ = new QLabel(client());
    summary_->setObjectName(QStringLiteral("resume"));
    summary_->setFont(timesFont(11, true, true));
    setTextColour(summary_, colours::kDarkRed);
    layout->addWidget(summary_);

    model_ = new AlignmentModel(pair_, beads_, this);
    table_ = new QTableView(client());
    table_->setObjectName(QStringLiteral("perles"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setFont(timesFont(9.75));
    // Rows of one height: no row is measured, however many there are.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(table_->font()).height() + 6);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(table_, 3);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showCurrent(); });

    auto pane = [&](const QString& name) {
        auto* edit = new QTextEdit(client());
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setFont(timesFont(9.75));
        return edit;
    };
    auto* panes = new QHBoxLayout;
    sourcePane_ = pane(QStringLiteral("origine"));
    targetPane_ = pane(QStringLiteral("cible"));
    panes->addWidget(sourcePane_);
    panes->addWidget(targetPane_);
    layout->addLayout(panes, 1);

    // Two rows, one per text, so that every caption is read whole.
    auto* buttons = new QGridLayout;
    auto add = [&](const char* name, const char* caption, void (AlignmentWindow::*handler)(), int row, int column,
                   int rows = 1) {
        auto* b = new QPushButton(QString::fromUtf8(caption), client());
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        buttons->addWidget(b, row, column, rows, 1);
        return b;
    };
    buttons->addWidget(new QLabel(QStringLiteral("Origen:"), client()), 0, 0);
    buttons->addWidget(new QLabel(QStringLiteral("Meta:"), client()), 1, 0);
    add("origine_avant", "1.ª frase al par anterior", &AlignmentWindow::origine_avant_Click, 0, 1);
    add("origine_apres", "Última frase al siguiente", &AlignmentWindow::origine_apres_Click, 0, 2);
    add("cible_avant", "1.ª frase al par anterior", &AlignmentWindow::cible_avant_Click, 1, 1);
    add("cible_apres", "Última frase al siguiente", &AlignmentWindow::cible_apres_Click, 1, 2);
    add("unir", "Unir con el siguiente", &AlignmentWindow::unir_Click, 0, 3);
    add("separer", "Separar", &AlignmentWindow::separer_Click, 1, 3);
    add("suivant", "Siguiente dudoso (F3)", &AlignmentWindow::suivant_Click, 0, 4, 2)
        ->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    layout->addLayout(buttons);

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("ecrire"), QStringLiteral("&Escribir las copias alineadas"),
         [this] { ecrire_Click(); });
    item(fichier, QStringLiteral("exporter"), QStringLiteral("Exportar como &memoria de traducción..."),
         [this] { exporter_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Cerrar"), [this] { quitter_Click(); });
    QMenu* edition = menu(QStringLiteral("edition"), QStringLiteral("&Edición"));
    item(edition, QStringLiteral("suivant_douteux"), QStringLiteral("&Siguiente par dudoso"),
         [this] { suivant_Click(); })
        ->setShortcut(QKeySequence(Qt::Key_F3));
    item(edition, QStringLiteral("unir_menu"), QStringLiteral("&Unir con el siguiente"), [this] { unir_Click(); });
    item(edition, QStringLiteral("separer_menu"), QStringLiteral("Se&parar"), [this] { separer_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."), [this] { about_Click(); });
}

AlignmentWindow::~AlignmentWindow()
{
    delete table_; // it reads the model, which reads the beads
}

void AlignmentWindow::Form_Load()
{
    const QString source = forms().text(road_.texts.form, road_.texts.source);
    const QString target = forms().text(road_.texts.form, road_.texts.target);
    Result<PairAlignment> aligned = PairAlignment{};
    runLongWork(this, QStringLiteral("Alineando las frases"), Cancel::Allowed,
                [&](const Progress& progress) { aligned = alignNumberedPair(source, target, progress); });
    if (!aligned) {
        if (!aligned.error().cancelled)
            desktop().dialogs.message(this, {aligned.error().message, QStringLiteral("Solandre"),
                                             Buttons::Ok, Icon::Information});
        forms().unload(objectName()); // nothing to review
        return;
    }
    pair_ = std::move(aligned.value());
    beads_ = pair_.beads;
    model_->reload();
    updateSummary();
    if (!beads_.empty()) selectBead(0);
}

size_t AlignmentWindow::currentBead() const
{
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? size_t(current.row()) : 0;
}

void AlignmentWindow::selectBead(size_t bead)
{
    if (beads_.empty()) return;
    bead = std::min(bead, beads_.size() - 1);
    const QModelIndex index = model_->index(int(bead), 0);
    table_->setCurrentIndex(index);
    table_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    showCurrent();
}

void AlignmentWindow::showCurrent()
{
    if (beads_.empty()) return;
    const Bead& bead = beads_[currentBead()];
    sourcePane_->setPlainText(model_->sideText(bead, Side::Source));
    targetPane_->setPlainText(model_->sideText(bead, Side::Target));
}

void AlignmentWindow::updateSummary()
{
    size_t notOneToOne = 0, doubtful = 0;
    for (const Bead& bead : beads_) {
        notOneToOne += !(bead.sourceCount == 1 && bead.targetCount == 1);
        doubtful += isDoubtful(bead);
    }
    summary_->setText(QStringLiteral("%1 frases de origen, %2 frases meta: %3 pares, %4 no son de una frase "
                                     "a una, %5 dudosos")
                          .arg(pair_.source.sentences.size())
                          .arg(pair_.target.sentences.size())
                          .arg(beads_.size())
                          .arg(notOneToOne)
                          .arg(doubtful));
}

void AlignmentWindow::suivant_Click()
{
    if (beads_.empty()) return;
    // From the bead after the current one, round to the start.
    for (size_t step = 1; step <= beads_.size(); ++step) {
        const size_t k = (currentBead() + step) % beads_.size();
        if (isDoubtful(beads_[k])) {
            selectBead(k);
            return;
        }
    }
}

void AlignmentWindow::edit(const std::function<bool(std::vector<Bead>&, size_t)>& correction)
{
    if (beads_.empty()) return;
    const size_t k = currentBead();
    if (!correction(beads_, k)) return;
    model_->reload();
    updateSummary();
    selectBead(k);
}

void AlignmentWindow::origine_avant_Click()
{
    edit([](auto& b, size_t k) { return giveFirstToPrevious(b, k, Side::Source); });
}
void AlignmentWindow::origine_apres_Click()
{
    edit([](auto& b, size_t k) { return giveLastToNext(b, k, Side::Source); });
}
void AlignmentWindow::cible_avant_Click()
{
    edit([](auto& b, size_t k) { return giveFirstToPrevious(b, k, Side::Target); });
}
void AlignmentWindow::cible_apres_Click()
{
    edit([](auto& b, size_t k) { return giveLastToNext(b, k, Side::Target); });
}
void AlignmentWindow::unir_Click() { edit(mergeWithNext); }
void AlignmentWindow::separer_Click() { edit(split); }

void AlignmentWindow::ecrire_Click()
{
    QString sourceOut, targetOut;
    if (road_.freshlyNumbered) {
        sourceOut = forms().text(road_.texts.form, road_.texts.source);
        targetOut = forms().text(road_.texts.form, road_.texts.target);
    } else {
        const QString filter = QStringLiteral("Ficheros texto (*.TXT)|*.TXT");
        desktop().dialogs.message(this, {QStringLiteral("Elija el nombre de la copia alineada del texto de "
                                                        "origen y después el de la del texto meta.")});
        sourceOut = desktop().dialogs.saveFileName(this, filter);
        if (sourceOut.isEmpty()) return;
        targetOut = desktop().dialogs.saveFileName(this, filter);
        if (targetOut.isEmpty()) return;
    }
    Status written = success();
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Escribiendo las copias alineadas"), Cancel::Allowed,
                    [&](const Progress& progress) {
                        written = writeAlignedPair(pair_, beads_, sourceOut, targetOut,
                                                   road_.freshlyNumbered, progress);
                    });
    }
    if (!written) {
        if (!written.error().cancelled)
            desktop().dialogs.message(this, {written.error().message, QStringLiteral("Solandre"),
                                             Buttons::Ok, Icon::Information});
        return;
    }
    QString done = QStringLiteral("Copias alineadas escritas: %1 pares de frases en\r\n%2\r\n%3")
                       .arg(beads_.size())
                       .arg(QDir::toNativeSeparators(sourceOut), QDir::toNativeSeparators(targetOut));
    if (!road_.freshlyNumbered) {
        // The search of texts already numbered now takes the aligned copies.
        forms().control<QLineEdit>(names::frmtexte, QStringLiteral("Text_latin"))->setText(sourceOut);
        forms().control<QLineEdit>(names::frmtexte, QStringLiteral("Text_francais"))->setText(targetOut);
        done += QStringLiteral("\r\n\r\n\"Concordancias\" buscará en ellas.");
    }
    desktop().dialogs.message(this, {done});
}

void AlignmentWindow::exporter_Click()
{
    const QString out = desktop().dialogs.saveFileName(
        this, QStringLiteral("Memorias de traducción (*.TMX)|*.TMX"));
    if (out.isEmpty()) return;
    if (QFileInfo::exists(out) &&
        desktop().dialogs.message(this, {out + QStringLiteral("  ya existe.\r\n¿Desea reemplazarlo?"),
                                         QStringLiteral("Fichier existente"), Buttons::YesNo}) == Answer::No)
        return;
    // Numbered texts do not say their language: the user does, once per session.
    const auto chosen = desktop().dialogs.chooseLanguages(
        this, {QStringLiteral("es"), QStringLiteral("fr"), QStringLiteral("en"), QStringLiteral("de"),
               QStringLiteral("it"), QStringLiteral("pt"), QStringLiteral("ca")},
        languages_.source, languages_.target);
    if (!chosen) return;
    languages_ = {chosen->first, chosen->second};

    const auto side = [](std::string& to, std::string& scratch, const NumberedRecords& records,
                         std::uint32_t first, std::uint32_t count) {
        scratch.clear();
        appendBeadSentences(scratch, records, first, count);
        appendAsUtf8(to, scratch, records.text.encoding());
    };
    std::string scratch;
    Result<MemoryExport> written = MemoryExport{};
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Escribiendo la memoria de traducción"), Cancel::Allowed,
                    [&](const Progress& progress) {
                        written = exportMemory(
                            beads_.size(),
                            [&](size_t k, std::string& source, std::string& target) {
                                const Bead& bead = beads_[k];
                                side(source, scratch, pair_.source, bead.sourceFirst, bead.sourceCount);
                                side(target, scratch, pair_.target, bead.targetFirst, bead.targetCount);
                            },
                            out, languages_, {pair_.source.text.file(), pair_.target.text.file()}, progress);
                    });
    }
    if (!written) {
        if (!written.error().cancelled)
            desktop().dialogs.message(this, {written.error().message, QStringLiteral("Solandre"),
                                             Buttons::Ok, Icon::Information});
        return;
    }
    desktop().dialogs.message(this, {QStringLiteral("Memoria de traducción escrita: %1 unidades en\r\n%2")
                                         .arg(written.value().units)
                                         .arg(QDir::toNativeSeparators(out))});
}

void AlignmentWindow::quitter_Click() { forms().unload(objectName()); }
void AlignmentWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
