#include "numbering/ui/numbering_done_window.h"

#include "forms/form_names.h"
#include "forms/wait_cursor.h"
#include "numbering/numbering_engine.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace solandre {

NumberingDoneWindow::NumberingDoneWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT"))
{
    setClientSize(8790, 3480);
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

    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"), QString(), 2108, 2400, 4575, 855);
    button(frame2, QStringLiteral("Command2"), QStringLiteral("Concordancias"), 120, 210, 4335, 495,
           [this] { Command2_Click(); });

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Cerrar"), [this] { quitter_Click(); });
    QMenu* application = menu(QStringLiteral("application"), QStringLiteral("&Aplicación"));
    item(application, QStringLiteral("concordance"), QStringLiteral("&Concordancias"),
         [this] { Command2_Click(); });
    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito de ..."),
         [this] { about_Click(); });
}

bool NumberingDoneWindow::numberTexts()
{
    WaitCursor wait;
    const QString source = forms().text(names::frmtexte, QStringLiteral("Text_latin"));
    const QString target = forms().text(names::frmtexte, QStringLiteral("Text_francais"));
    const QString sourceOut = forms().text(names::frmnumerotation, QStringLiteral("Text_source_bis"));
    const QString targetOut = forms().text(names::frmnumerotation, QStringLiteral("Text_cible_bis"));

    Status done = numberFile(source, sourceOut);
    if (done && !target.isEmpty() && !targetOut.isEmpty()) done = numberFile(target, targetOut);
    if (!done) {
        desktop().dialogs.message(this, {done.error().message, QStringLiteral("Solandre"),
                                         Buttons::Ok, Icon::Information});
        return false;
    }
    return true;
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
