// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/numbering/numbering_window.h"

#include "forms/form_names.h"
#include "forms/wait_cursor.h"
#include "common/same_file.h"
#include "numbering/output_names.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace solandre {

// What differs between the two "Buscar ..." buttons.
struct NumberingWindow::Side {
    QString filter;
    QLineEdit* box;
    QLineEdit* otherBox;
    QString replaceQuestion;
};

NumberingWindow::NumberingWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT"))
{
    setClientSize(8790, 3855);
    titleBanner(120, 120, 8535, 615);

    sourceOutput_ = pathFrame(
        QStringLiteral("Frame1"), QStringLiteral("Guardar el texto de origen numerado como ... :"),
        188, 960, 855, QStringLiteral("Text_source_bis"), QStringLiteral("Ouvrir_source"),
        QStringLiteral("Buscar ..."), [this] { Ouvrir_source_Click(); });
    targetOutput_ = pathFrame(
        QStringLiteral("Frame2"), QStringLiteral("Guardar el texto meta numerado como ... :"), 188,
        2040, 855, QStringLiteral("Text_cible_bis"), QStringLiteral("ouvrir_cible"),
        QStringLiteral("Buscar ..."), [this] { ouvrir_cible_Click(); });
    targetFrame_ = targetOutput_->parentWidget();

    buttonFrame_ = frame(client(), QStringLiteral("Frame3"), QString(), 2108, 2880, 4575, 855);
    numberButton_ = button(client(), QStringLiteral("Command2"), QStringLiteral("Numeración de frases"),
                       2228, 3090, 4335, 495, [this] { Command2_Click(); });

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("enregistrer_source"),
         QStringLiteral("&Guardar el texto de origen numerado como ..."),
         [this] { Ouvrir_source_Click(); });
    chooseTargetItem_ = item(fichier, QStringLiteral("enregistrer_cible"),
                              QStringLiteral("&Guardar el texto meta numerado como ..."),
                              [this] { ouvrir_cible_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Cerrar"), [this] { quitter_Click(); });
    QMenu* edition = menu(QStringLiteral("edition"), QStringLiteral("&Edición"));
    item(edition, QStringLiteral("reset"), QStringLiteral("&Reiniciar"), [this] { reset_Click(); });
    QMenu* application = menu(QStringLiteral("application"), QStringLiteral("&Aplicación"));
    numberItem_ = item(application, QStringLiteral("numerotation"),
                         QStringLiteral("&Numeración de frases"), [this] { Command2_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."),
         [this] { about_Click(); });
}

bool NumberingWindow::proposeName(QLineEdit* box, const QString& input, const QString& suffix)
{
    const auto name = defaultOutputName(input, suffix);
    if (!name) {
        desktop().dialogs.message(
            this, {QStringLiteral("La ruta \"%1\" es demasiado corta para proponer un nombre de "
                                  "fichero numerado.\r\nElija el nombre con \"Buscar ...\".")
                       .arg(input)});
        return false;
    }
    box->setText(*name);
    return true;
}

void NumberingWindow::Form_Load()
{
    const QString source = forms().text(names::frmtexte, QStringLiteral("Text_latin"));
    const QString target = forms().text(names::frmtexte, QStringLiteral("Text_francais"));
    proposeName(sourceOutput_, source, QStringLiteral("_source_ref"));
    if (!target.isEmpty()) {
        proposeName(targetOutput_, target, QStringLiteral("_cible_ref"));
        return;
    }
    // Source-only layout; the window keeps its size.
    targetFrame_->hide();
    numberButton_->move(numberButton_->x(), twips(2160));
    buttonFrame_->move(buttonFrame_->x(), twips(1950));
    chooseTargetItem_->setEnabled(false);
}

void NumberingWindow::chooseOutput(const Side& side)
{
    const QString chosen = desktop().dialogs.saveFileName(this, side.filter);
    if (chosen.isEmpty()) return;

    if (refusedAsInUse(chosen, side.otherBox->text())) return;
    // On Yes the old file stays until the numbering replaces it whole.
    if (QFileInfo::exists(chosen) &&
        desktop().dialogs.message(this, {chosen + QStringLiteral("  ya existe.\r\n") +
                                             side.replaceQuestion,
                                         QStringLiteral("Fichier existente"), Buttons::YesNo}) ==
            Answer::No)
        return;

    WaitCursor wait;
    side.box->setText(chosen);
    numberItem_->setEnabled(true);
}

void NumberingWindow::Ouvrir_source_Click()
{
    chooseOutput({QStringLiteral("Fichero texto (*.TXT)|*.TXT"), sourceOutput_, targetOutput_,
                  QStringLiteral("¿Desea reemplazarlo?")});
}

void NumberingWindow::ouvrir_cible_Click()
{
    chooseOutput({QStringLiteral("Ficheros texto (*.TXT)|*.TXT"), targetOutput_,
                  sourceOutput_, QStringLiteral(" ¿Desea reemplazarlo?")});
}

bool NumberingWindow::refusedAsInUse(const QString& output, const QString& otherOutput)
{
    if (refuseInputAsOutput(output, {otherOutput,
                                     forms().text(names::frmtexte, QStringLiteral("Text_francais")),
                                     forms().text(names::frmtexte, QStringLiteral("Text_latin"))}))
        return false;
    desktop().dialogs.message(
        this, {output + QStringLiteral("\r\n no está disponible actualmente\r\n"
                                       "Este fichero está siendo utilizado.\r\n\r\n"
                                       "Porfavor, elija otro nombre para el fichero."),
               QStringLiteral("Fichier no está disponible")});
    return true;
}

void NumberingWindow::Command2_Click()
{
    // A completion window still loaded from an earlier run is only brought forward.
    if (forms().isLoaded(names::Frmreference)) {
        forms().show(names::Frmreference);
        return;
    }
    if (forms().text(names::frmtexte, QStringLiteral("Text_latin")).isEmpty()) {
        desktop().dialogs.message(
            this, {QStringLiteral("Numeración imposible: no se ha elegido el texto de origen. "
                                  "Elíjalo en la ventana principal con \"Buscar...\".")});
        return;
    }
    const QString sourceOut = sourceOutput_->text();
    const QString targetOut = targetOutput_->text();
    if (sourceOut.isEmpty()) {
        desktop().dialogs.message(
            this, {QStringLiteral("Indique el nombre del texto de origen numerado con "
                                  "\"Buscar ...\" antes de la numeración.")});
        return;
    }
    // Names typed into the boxes skipped the check of "Buscar ...": it runs
    // again here, before anything is written.
    if (refusedAsInUse(sourceOut, targetOut)) return;
    if (!targetOut.isEmpty() && refusedAsInUse(targetOut, sourceOut)) return;
    forms().show(names::Frmreference);
}

void NumberingWindow::reset_Click()
{
    sourceOutput_->clear();
    targetOutput_->clear();
}

void NumberingWindow::quitter_Click() { forms().unload(names::frmnumerotation); }
void NumberingWindow::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
