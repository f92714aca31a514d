// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/numbering/numbering_done_window.h"

#include "forms/form_names.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "align/alignment_notes.h"
#include "align/numbered_pair.h"
#include "windows/align/alignment_window.h"
#include "numbering/number_files.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace solandre {

NumberingDoneWindow::NumberingDoneWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT"))
{
    setClientSize(8790, 4200);
    titleBanner(120, 120, 8535, 615);

    QGroupBox* frame1 = frame(client(), QStringLiteral("Frame1"), QString(), 188, 840, 8415, 1335);
    QLabel* label3 = label(frame1, QStringLiteral("label3"),
                           QStringLiteral("La numeración se ha completado, clicar en "
                                          "\"Concordancias\" para crear la concordancia de frases."),
                           240, 240, 7935, 975);
    label3->setFont(QFont(QStringLiteral("Verdana"), 11));
    label3->setWordWrap(true);
    label3->setAlignment(Qt::AlignCenter);
    setTextColour(label3, colours::kDarkBlue);

    // What was written, so that a press that only brings an earlier window
    // forward is not taken for a numbering of other names.
    written_ = label(client(), QStringLiteral("label4"), QString(), 188, 2280, 8415, 735);
    written_->setFont(QFont(QStringLiteral("Verdana"), 9));
    written_->setWordWrap(true);
    setTextColour(written_, colours::kDarkBlue);

    frame2_ = frame(client(), QStringLiteral("Frame2"), QString(), 2108, 3120, 4575, 855);
    button(frame2_, QStringLiteral("Command2"), QStringLiteral("Concordancias"), 120, 210, 4335, 495,
           [this] { Command2_Click(); });

    // Shown only when the two texts do not pair one to one.
    alignment_ = label(client(), QStringLiteral("label5"), QString(), 188, 3120, 8415, 855);
    alignment_->setFont(QFont(QStringLiteral("Verdana"), 9, QFont::Bold));
    alignment_->setWordWrap(true);
    setTextColour(alignment_, colours::kDarkRed);
    alignButton_ = button(client(), QStringLiteral("aligner"), QStringLiteral("Alinear"), 1200, 4020, 3000,
                          420, [this] { aligner_Click(); });
    reviewButton_ = button(client(), QStringLiteral("revoir"), QStringLiteral("Revisar la alineación..."),
                           4500, 4020, 3000, 420, [this] { revoir_Click(); });
    for (QWidget* w : {static_cast<QWidget*>(alignment_), static_cast<QWidget*>(alignButton_),
                       static_cast<QWidget*>(reviewButton_)})
        w->hide();

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Cerrar"), [this] { quitter_Click(); });
    QMenu* application = menu(QStringLiteral("application"), QStringLiteral("&Aplicación"));
    item(application, QStringLiteral("concordance"), QStringLiteral("&Concordancias"),
         [this] { Command2_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."),
         [this] { about_Click(); });
}

namespace {

QString sentences(size_t count)
{
    return count == 1 ? QStringLiteral("1 frase") : QStringLiteral("%1 frases").arg(count);
}

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

bool NumberingDoneWindow::numberTexts()
{
    WaitCursor wait;
    const QString source = forms().text(names::frmtexte, QStringLiteral("Text_latin"));
    const QString target = forms().text(names::frmtexte, QStringLiteral("Text_francais"));
    const QString sourceOut = forms().text(names::frmnumerotation, QStringLiteral("Text_source_bis"));
    const QString targetOut = forms().text(names::frmnumerotation, QStringLiteral("Text_cible_bis"));

    std::vector<NumberingJob> jobs{{source, sourceOut}};
    if (!target.isEmpty() && !targetOut.isEmpty()) jobs.push_back({target, targetOut});
    // Copies aligned earlier may hold the user's corrections.
    if (jobs.size() == 2 && AlignmentNotes::forUser().known(sourceOut, targetOut) &&
        desktop().dialogs.message(
            this, {QStringLiteral("%1\r\n%2\r\nson copias alineadas. Numerar de nuevo los textos las reemplaza y "
                                  "pierde su alineación, con las correcciones hechas en ella.\r\n"
                                  "¿Desea reemplazarlas?")
                       .arg(native(sourceOut), native(targetOut)),
                   QStringLiteral("Fichier existente"), Buttons::YesNo}) == Answer::No)
        return false;
    Result<std::vector<NumberedCopy>> copies = std::vector<NumberedCopy>();
    runLongWork(this, QStringLiteral("Numerando las frases"), Cancel::Allowed,
                [&](const Progress& progress) { copies = numberFiles(jobs, progress); });
    if (!copies && copies.error().cancelled) return false; // every file as it was
    if (!copies) {
        desktop().dialogs.message(this, {copies.error().message, QStringLiteral("Solandre"),
                                         Buttons::Ok, Icon::Information});
        return false;
    }
    if (jobs.size() == 2) AlignmentNotes::forUser().forget(sourceOut, targetOut);
    sourceOut_ = sourceOut;
    targetOut_ = jobs.size() == 2 ? targetOut : QString();
    const char* sides[] = {"Texto de origen numerado: %1 (%2)", "Texto meta numerado: %1 (%2)"};
    QStringList lines, empty;
    for (size_t k = 0; k < copies.value().size(); ++k) {
        const NumberedCopy& copy = copies.value()[k];
        lines << QString::fromUtf8(sides[k]).arg(native(copy.output), sentences(copy.records));
        // A text with no sentence at all is named, not just counted.
        if (copy.records == 0)
            empty << (k == 0 ? QStringLiteral("El texto de origen %1 está vacío o solo contiene blancos: "
                                              "no hay frases que buscar.")
                             : QStringLiteral("El texto meta %1 está vacío o solo contiene blancos: "
                                              "no hay traducción que mostrar junto a las frases."))
                             .arg(native(jobs[k].input.name()));
    }
    sourceSentences_ = copies.value()[0].records;
    targetSentences_ = jobs.size() == 2 ? copies.value()[1].records : 0;
    written_->setText(lines.join(QLatin1Char('\n')));
    if (!empty.isEmpty()) showNote(empty.join(QLatin1Char('\n')), false);
    else if (jobs.size() == 2) checkPairing(sourceOut, targetOut);
    return true;
}

void NumberingDoneWindow::checkPairing(const QString& sourceOut, const QString& targetOut)
{
    Result<PairAlignment> pair = PairAlignment{};
    runLongWork(this, QStringLiteral("Comprobando que las frases se corresponden"), Cancel::Allowed,
                [&](const Progress& progress) { pair = alignNumberedPair(sourceOut, targetOut, progress); });
    // A cancel, or a failure, leaves the pairing by number as it is.
    if (!pair || pair.value().oneToOne()) return;
    pair_ = std::move(pair.value());
    // Where the pairing by number first goes wrong, by its marker.
    const Bead& first = pair_->beads[*pair_->firstNotOneToOne()];
    const QString where = first.sourceCount
                              ? QString::fromLatin1(pair_->source.markers[first.sourceFirst])
                              : QString::fromLatin1(pair_->target.markers[first.targetFirst]) +
                                    QStringLiteral(" del texto meta");
    // The words agree with the counts: "1 frase", "1 emparejamiento no es".
    const size_t odd = pair_->beadsNotOneToOne();
    const QString oddOnes = odd == 1 ? QStringLiteral("1 emparejamiento no es de una frase a una, en %1").arg(where)
                                     : QStringLiteral("%1 emparejamientos no son de una frase a una, el primero en %2")
                                           .arg(odd)
                                           .arg(where);
    auto sentences = [](size_t n) { return n == 1 ? QStringLiteral("1 frase") : QStringLiteral("%1 frases").arg(n); };
    showNote(QStringLiteral("Las frases no se corresponden una a una: %1 en el texto de origen, %2 en "
                            "el texto meta; %3. \"Alinear\" reescribe las dos copias numeradas emparejadas.")
                 .arg(sentences(pair_->source.sentences.size()), QString::number(pair_->target.sentences.size()),
                      oddOnes),
             true);
}

void NumberingDoneWindow::showNote(const QString& text, bool offerAlignment)
{
    setClientSize(8790, 5400);
    frame2_->move(frame2_->x(), twips(4500));
    alignment_->setText(text);
    alignment_->show();
    alignButton_->setVisible(offerAlignment);
    reviewButton_->setVisible(offerAlignment);
}

void NumberingDoneWindow::aligner_Click()
{
    if (!pair_) return;
    Status written = success();
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Alineando las copias numeradas"), Cancel::Allowed,
                    [&](const Progress& progress) {
                        written = writeAlignedCopies(*pair_, pair_->beads, sourceOut_, targetOut_, true, progress);
                    });
    }
    if (!written) {
        // The old copies stay as they were.
        if (!written.error().cancelled)
            desktop().dialogs.message(this, {written.error().message, QStringLiteral("Solandre"),
                                             Buttons::Ok, Icon::Information});
        return;
    }
    copiesAligned(sourceOut_, targetOut_, pair_->beads.size());
}

void NumberingDoneWindow::copiesAligned(const QString& source, const QString& target, qulonglong pairs)
{
    if (source != sourceOut_ || target != targetOut_) return;
    pair_.reset(); // "Alinear" would undo the pairing the copies now hold
    const QString records = pairs == 1 ? QStringLiteral("1 registro") : QStringLiteral("%1 registros").arg(pairs);
    written_->setText(QStringLiteral("Texto de origen numerado y alineado: %1 (%2, %3)\n"
                                     "Texto meta numerado y alineado: %4 (%2, %5)")
                          .arg(native(source), records, sentences(sourceSentences_), native(target),
                               sentences(targetSentences_)));
    showNote(QStringLiteral("Las copias numeradas están alineadas: %1 pares de frases, el registro n de una con "
                            "el registro n de la otra. \"Concordancias\" muestra cada ocurrencia junto a su "
                            "traducción.")
                 .arg(pairs),
             true);
    alignButton_->hide();
}

void NumberingDoneWindow::revoir_Click()
{
    auto* review = qobject_cast<AlignmentWindow*>(forms().show(names::frmalignement02));
    if (review)
        connect(review, &AlignmentWindow::alignedCopiesWritten, this, &NumberingDoneWindow::copiesAligned,
                Qt::UniqueConnection);
}

void NumberingDoneWindow::Form_Load()
{
    numbered_ = numberTexts();
    if (!numbered_) {
        // Nothing is reported complete: this window goes, the numbering window stays.
        forms().unload(names::Frmreference);
        return;
    }
    forms().hide(names::frmnumerotation);
}

void NumberingDoneWindow::Form_Unload()
{
    if (numbered_) forms().unload(names::frmnumerotation);
}

void NumberingDoneWindow::Command2_Click() { forms().show(names::Frmcontexte02); }

void NumberingDoneWindow::quitter_Click()
{
    if (Form* numbering = forms().find(names::frmnumerotation)) numbering->show();
    forms().unload(names::frmnumerotation);
    forms().unload(names::Frmreference);
}

void NumberingDoneWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
