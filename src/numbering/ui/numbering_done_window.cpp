#include "numbering/ui/numbering_done_window.h"

#include "forms/form_names.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "numbering/number_files.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

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

    QGroupBox* frame2 = frame(client(), QStringLiteral("Frame2"), QString(), 2108, 3120, 4575, 855);
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

namespace {

QString sentences(SentenceNumber count)
{
    return count == 1 ? QStringLiteral("1 frase") : QStringLiteral("%1 frases").arg(count);
}

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
    Result<std::vector<NumberedCopy>> copies = std::vector<NumberedCopy>();
    runLongWork(this, QStringLiteral("Numerando las frases"), Cancel::Allowed,
                [&](const Progress& progress) { copies = numberFiles(jobs, progress); });
    if (!copies && copies.error().cancelled) return false; // every file as it was
    if (!copies) {
        desktop().dialogs.message(this, {copies.error().message, QStringLiteral("Solandre"),
                                         Buttons::Ok, Icon::Information});
        return false;
    }
    const char* sides[] = {"Texto de origen numerado: %1 (%2)", "Texto meta numerado: %1 (%2)"};
    QStringList lines;
    for (size_t k = 0; k < copies.value().size(); ++k)
        lines << QString::fromUtf8(sides[k]).arg(QDir::toNativeSeparators(copies.value()[k].output),
                                                 sentences(copies.value()[k].records));
    written_->setText(lines.join(QLatin1Char('\n')));
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
