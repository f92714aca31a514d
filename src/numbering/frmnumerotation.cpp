#include "numbering/frmnumerotation.h"

#include "app/forms/form_names.h"
#include "app/forms/wait_cursor.h"
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
struct frmnumerotation::Side {
    QString filter;
    QLineEdit* box;
    QLineEdit* otherBox;
    QString replaceQuestion;
};

frmnumerotation::frmnumerotation(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT"))
{
    setClientSize(8790, 3855);
    titleBanner(120, 120, 8535, 615);

    Text_source_bis_ = pathFrame(
        QStringLiteral("Frame1"), QStringLiteral("Guardar el texto de origen numerado como ... :"),
        188, 960, 855, QStringLiteral("Text_source_bis"), QStringLiteral("Ouvrir_source"),
        QStringLiteral("Buscar ..."), [this] { Ouvrir_source_Click(); });
    Text_cible_bis_ = pathFrame(
        QStringLiteral("Frame2"), QStringLiteral("Guardar el texto meta numerado como ... :"), 188,
        2040, 855, QStringLiteral("Text_cible_bis"), QStringLiteral("ouvrir_cible"),
        QStringLiteral("Buscar ..."), [this] { ouvrir_cible_Click(); });
    Frame2_ = Text_cible_bis_->parentWidget();

    Frame3_ = frame(client(), QStringLiteral("Frame3"), QString(), 2108, 2880, 4575, 855);
    Command2_ = button(client(), QStringLiteral("Command2"), QStringLiteral("Numeración de frases"),
                       2228, 3090, 4335, 495, [this] { Command2_Click(); });

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("enregistrer_source"),
         QStringLiteral("&Guardar el texto de origen numerado como ..."),
         [this] { Ouvrir_source_Click(); });
    enregistrer_cible_ = item(fichier, QStringLiteral("enregistrer_cible"),
                              QStringLiteral("&Guardar el texto meta numerado como ..."),
                              [this] { ouvrir_cible_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Cerrar"), [this] { quitter_Click(); });
    QMenu* edition = menu(QStringLiteral("edition"), QStringLiteral("&Edición"));
    item(edition, QStringLiteral("reset"), QStringLiteral("&Reiniciar"), [this] { reset_Click(); });
    QMenu* application = menu(QStringLiteral("application"), QStringLiteral("&Aplicación"));
    numerotation_ = item(application, QStringLiteral("numerotation"),
                         QStringLiteral("&Numeración de frases"), [this] { Command2_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."),
         [this] { about_Click(); });
}

bool frmnumerotation::proposeName(QLineEdit* box, const QString& input, const QString& suffix)
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

void frmnumerotation::Form_Load()
{
    const QString source = forms().text(names::frmtexte, QStringLiteral("Text_latin"));
    const QString target = forms().text(names::frmtexte, QStringLiteral("Text_francais"));
    proposeName(Text_source_bis_, source, QStringLiteral("_source_ref"));
    if (!target.isEmpty()) {
        proposeName(Text_cible_bis_, target, QStringLiteral("_cible_ref"));
        return;
    }
    // Source-only layout; the window keeps its size.
    Frame2_->hide();
    Command2_->move(Command2_->x(), twips(2160));
    Frame3_->move(Frame3_->x(), twips(1950));
    enregistrer_cible_->setEnabled(false);
}

void frmnumerotation::chooseOutput(const Side& side)
{
    const QString chosen = desktop().dialogs.saveFileName(this, side.filter);
    if (chosen.isEmpty()) return;

    const QString inUse[] = {side.otherBox->text(),
                             forms().text(names::frmtexte, QStringLiteral("Text_francais")),
                             forms().text(names::frmtexte, QStringLiteral("Text_latin"))};
    for (const QString& path : inUse) {
        if (isSameFile(chosen, path)) {
            desktop().dialogs.message(
                this, {chosen + QStringLiteral("\r\n no está disponible actualmente\r\n"
                                               "Este fichero está siendo utilizado.\r\n\r\n"
                                               "Porfavor, elija otro nombre para el fichero."),
                       QStringLiteral("Fichier no está disponible")});
            return;
        }
    }
    // On Yes the old file stays until the numbering replaces it whole.
    if (QFileInfo::exists(chosen) &&
        desktop().dialogs.message(this, {chosen + QStringLiteral("  ya existe.\r\n") +
                                             side.replaceQuestion,
                                         QStringLiteral("Fichier existente"), Buttons::YesNo}) ==
            Answer::No)
        return;

    WaitCursor wait;
    side.box->setText(chosen);
    numerotation_->setEnabled(true);
}

void frmnumerotation::Ouvrir_source_Click()
{
    chooseOutput({QStringLiteral("Fichero texto (*.TXT)|*.TXT"), Text_source_bis_, Text_cible_bis_,
                  QStringLiteral("¿Desea reemplazarlo?")});
}

void frmnumerotation::ouvrir_cible_Click()
{
    chooseOutput({QStringLiteral("Ficheros texto (*.TXT)|*.TXT"), Text_cible_bis_,
                  Text_source_bis_, QStringLiteral(" ¿Desea reemplazarlo?")});
}

void frmnumerotation::Command2_Click()
{
    if (Text_source_bis_->text().isEmpty()) {
        desktop().dialogs.message(
            this, {QStringLiteral("Indique el nombre del texto de origen numerado con "
                                  "\"Buscar ...\" antes de la numeración.")});
        return;
    }
    // A completion window still loaded from an earlier run is only brought forward.
    forms().show(names::Frmreference);
}

void frmnumerotation::reset_Click()
{
    Text_source_bis_->clear();
    Text_cible_bis_->clear();
}

void frmnumerotation::quitter_Click() { forms().unload(names::frmnumerotation); }
void frmnumerotation::about_Click() { forms().show(names::frmAbout); }

} // namespace solandre
