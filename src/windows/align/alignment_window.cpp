// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/align/alignment_window.h"

#include "windows/align/alignment_model.h"
#include "align/alignment_notes.h"
#include "windows/widgets/windowed_table.h"
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
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT")), road_(road),
      model_(std::make_unique<AlignmentModel>(pair_, beads_))
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

    // Only the rows on screen are made, and only they reach a screen reader.
    table_ = new WindowedTable(*model_, client());
    table_->setObjectName(QStringLiteral("perles"));
    table_->setFont(timesFont(9.75));
    table_->setColumnShares({6, 47, 47});
    table_->table()->setAccessibleName(QStringLiteral("Pares de frases"));
    layout->addWidget(table_, 3);
    connect(table_, &WindowedTable::currentRowChanged, this, [this] { showCurrent(); });

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
        // The two rows of boundary buttons read alike: a screen reader says
        // which text each moves.
        if (column < 3)
            b->setAccessibleName((row == 0 ? QStringLiteral("Origen: ") : QStringLiteral("Meta: ")) + b->text());
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
                [&](const Progress& progress) { aligned = pairForReview(source, target, progress); });
    if (!aligned) {
        if (!aligned.error().cancelled)
            desktop().dialogs.message(this, {aligned.error().message, QStringLiteral("Solandre"),
                                             Buttons::Ok, Icon::Information});
        forms().unload(objectName()); // nothing to review
        return;
    }
    pair_ = std::move(aligned.value());
    beads_ = pair_.beads;
    table_->refresh();
    updateSummary();
    if (!beads_.empty()) selectBead(0);
}

size_t AlignmentWindow::currentBead() const
{
    const size_t current = table_->currentRow();
    return current == WindowedTable::kNone ? 0 : current;
}

void AlignmentWindow::selectBead(size_t bead)
{
    if (beads_.empty()) return;
    table_->setCurrentRow(std::min(bead, beads_.size() - 1));
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
    // "1 no es", "2 no son": the verb and the noun agree with the count.
    auto count = [](size_t n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
    };
    summary_->setText(QStringLiteral("%1, %2: %3, %4 de una frase a una, %5")
                          .arg(count(pair_.source.sentences.size(), "frase de origen", "frases de origen"),
                               count(pair_.target.sentences.size(), "frase meta", "frases meta"),
                               count(beads_.size(), "par", "pares"), count(notOneToOne, "no es", "no son"),
                               count(doubtful, "dudoso", "dudosos")));
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
    unsaved_ = true;
    // Only the rows on screen are made again.
    table_->rowsEdited();
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

void AlignmentWindow::ecrire_Click() { writeCopies(); }

bool AlignmentWindow::writeCopies()
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
        if (sourceOut.isEmpty()) return false;
        targetOut = desktop().dialogs.saveFileName(this, filter);
        if (targetOut.isEmpty()) return false;
    }
    Status written = success();
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Escribiendo las copias alineadas"), Cancel::Allowed,
                    [&](const Progress& progress) {
                        written = writeAlignedCopies(pair_, beads_, sourceOut, targetOut,
                                                     road_.freshlyNumbered, progress);
                    });
    }
    if (!written) {
        if (!written.error().cancelled)
            desktop().dialogs.message(this, {written.error().message, QStringLiteral("Solandre"),
                                             Buttons::Ok, Icon::Information});
        return false;
    }
    unsaved_ = false;
    // A memory of the aligned copies takes the languages of this pair.
    if (const auto chosen = languages())
        AlignmentNotes::forUser().keepMemoryLanguages(sourceOut, targetOut, {chosen->source, chosen->target});
    QString done = QStringLiteral("Copias alineadas escritas: %1 pares de frases en\r\n%2\r\n%3")
                       .arg(beads_.size())
                       .arg(QDir::toNativeSeparators(sourceOut), QDir::toNativeSeparators(targetOut));
    if (!road_.freshlyNumbered) {
        // The search of texts already numbered now takes the aligned copies.
        forms().control<QLineEdit>(names::frmtexte, QStringLiteral("Text_latin"))->setText(sourceOut);
        forms().control<QLineEdit>(names::frmtexte, QStringLiteral("Text_francais"))->setText(targetOut);
        done += QStringLiteral("\r\n\r\n\"Concordancias\" buscará en ellas.");
    }
    emit alignedCopiesWritten(sourceOut, targetOut, beads_.size());
    desktop().dialogs.message(this, {done});
    return true;
}

void AlignmentWindow::exporter_Click()
{
    QString out = desktop().dialogs.saveFileName(
        this, QStringLiteral("Memorias de traducción (*.TMX)|*.TMX"));
    if (out.isEmpty()) return;
    // A memory is known by its ending, to a collection and to the dialog that opens one.
    if (QFileInfo(out).suffix().isEmpty()) out += QStringLiteral(".tmx");
    if (QFileInfo::exists(out) &&
        desktop().dialogs.message(this, {out + QStringLiteral("  ya existe.\r\n¿Desea reemplazarlo?"),
                                         QStringLiteral("Fichier existente"), Buttons::YesNo}) == Answer::No)
        return;
    // Numbered texts do not say their language: the user does, once per pair.
    const MemoryLanguages offered = languages().value_or(MemoryLanguages{QStringLiteral("es"), QStringLiteral("fr")});
    const auto chosen = desktop().dialogs.chooseLanguages(
        this, {QStringLiteral("es"), QStringLiteral("fr"), QStringLiteral("en"), QStringLiteral("de"),
               QStringLiteral("it"), QStringLiteral("pt"), QStringLiteral("ca")},
        offered.source, offered.target);
    if (!chosen) return;
    languages_ = MemoryLanguages{chosen->first, chosen->second};
    AlignmentNotes::forUser().keepMemoryLanguages(pair_.source.text.name(), pair_.target.text.name(), *chosen);

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
                            out, *languages_, {pair_.source.text.file(), pair_.target.text.file()}, progress);
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

std::optional<MemoryLanguages> AlignmentWindow::languages() const
{
    if (languages_) return languages_;
    const auto kept = AlignmentNotes::forUser().memoryLanguages(pair_.source.text.name(), pair_.target.text.name());
    if (!kept) return std::nullopt;
    return MemoryLanguages{kept->first, kept->second};
}

bool AlignmentWindow::Form_QueryUnload()
{
    if (!unsaved_) return true;
    switch (desktop().dialogs.message(this, {QStringLiteral("¿Guardar las correcciones?"),
                                             QStringLiteral("Quillarne - Concordancias VXT"),
                                             Buttons::YesNoCancel})) {
    case Answer::Yes: return writeCopies();
    case Answer::No: return true;
    default: return false;
    }
}

void AlignmentWindow::quitter_Click()
{
    if (Form_QueryUnload()) forms().unload(objectName());
}
void AlignmentWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
