#include "app/main_window.h"

#include "forms/form_names.h"
#include "forms/wait_cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <new>

namespace solandre {

MainWindow::MainWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - Concordancias VXT"))
{
    setClientSize(9165, 3690);
    titleBanner(240, 120, 8655, 615);

    QGroupBox* frame3 = frame(client(), QStringLiteral("Frame3"),
                              QStringLiteral("Título - referencia(s) para la búsqueda : "), 360,
                              840, 8415, 735);
    title_ = textBox(frame3, QStringLiteral("References"), 120, 360, 8175, 285);

    sourcePath_ = pathFrame(QStringLiteral("Frame1"),
                            QStringLiteral("Abrir un texto en lengua de origen : "), 360, 1680,
                            855, QStringLiteral("Text_latin"), QStringLiteral("Ouvrir_latin"),
                            QStringLiteral("Buscar..."), [this] { Ouvrir_latin_Click(); });
    targetPath_ = pathFrame(QStringLiteral("Frame2"),
                               QStringLiteral("Abrir un texto en lengua meta : "), 360, 2640, 855,
                               QStringLiteral("Text_francais"), QStringLiteral("Ouvrir_francais"),
                               QStringLiteral("Buscar..."), [this] { Ouvrir_francais_Click(); });

    connect(sourcePath_, &QLineEdit::textChanged, this, [this] { Text_latin_Change(); });
    connect(targetPath_, &QLineEdit::textChanged, this, [this] { Text_francais_Change(); });

    QMenu* fichier = menu(QStringLiteral("fichier"), QStringLiteral("&Fichero"));
    item(fichier, QStringLiteral("open_latin"), QStringLiteral("&Abrir un texto en lengua de origen"),
         [this] { Ouvrir_latin_Click(); });
    item(fichier, QStringLiteral("open_francais"), QStringLiteral("&Abrir un texto en lengua meta"),
         [this] { Ouvrir_francais_Click(); });
    separator(fichier, QStringLiteral("vide"));
    item(fichier, QStringLiteral("quitter"), QStringLiteral("&Salir"), [this] { quitter_Click(); });

    QMenu* edition = menu(QStringLiteral("edition"), QStringLiteral("&Edición"));
    item(edition, QStringLiteral("reset"), QStringLiteral("&Reiniciar"), [this] { reset_Click(); });

    QMenu* application = menu(QStringLiteral("application"), QStringLiteral("&Aplicación"));
    numberingItem_ = item(application, QStringLiteral("numconcordance"),
                           QStringLiteral("&Referenciación y concordancias"),
                           [this] { numconcordance_Click(); });
    searchItem_ = item(application, QStringLiteral("concordance"), QStringLiteral("&Concordancias"),
                        [this] { concordance_Click(); });
    separator(application, QStringLiteral("vide2"));
    alignmentItem_ = item(application, QStringLiteral("alignement"), QStringLiteral("A&lineación"),
                          [this] { alignement_Click(); });
    applyMenuInvariant();

    QMenu* aide = menu(QStringLiteral("aide"), QStringLiteral("&Ayuda"));
    item(aide, QStringLiteral("about"), QStringLiteral("&A propósito"), [this] { about_Click(); });
}

void MainWindow::applyMenuInvariant()
{
    const bool haveSource = !sourcePath_->text().isEmpty();
    numberingItem_->setEnabled(haveSource);
    searchItem_->setEnabled(haveSource);
    // An alignment needs both texts.
    alignmentItem_->setEnabled(haveSource && !targetPath_->text().isEmpty());
}

void MainWindow::chooseText(QLineEdit* box, const QString& filter)
{
    const QString chosen = desktop().dialogs.openFileName(this, filter);
    if (chosen.isEmpty()) return;

    WaitCursor wait;
    QFile file(chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        desktop().dialogs.message(
            this, {QStringLiteral("No se puede abrir el fichero \"%1\": %2")
                       .arg(chosen, file.errorString()),
                   QStringLiteral("Solandre"), Buttons::Ok, Icon::Information});
        return;
    }
    try {
        box->setText(chosen);
        applyMenuInvariant();
    } catch (const std::bad_alloc&) {
        desktop().dialogs.message(
            this, {QStringLiteral("Le fichier est trop volumineux.\r\n"
                                  "Le fichier ne peut dépasser la taille de 60 KO"),
                   QStringLiteral("Fichier trop volumineux"), Buttons::Ok, Icon::Information});
    }
}

void MainWindow::Ouvrir_latin_Click()
{
    chooseText(sourcePath_, QStringLiteral("Ficheros texto (*.TXT)|*.TXT"));
}

void MainWindow::Ouvrir_francais_Click()
{
    chooseText(targetPath_, QStringLiteral("Ficheros texto Texte (*.TXT)|*.TXT"));
}

void MainWindow::Text_latin_Change() { applyMenuInvariant(); }
void MainWindow::Text_francais_Change() { applyMenuInvariant(); }

void MainWindow::numconcordance_Click() { forms().show(names::frmnumerotation); }
void MainWindow::concordance_Click() { forms().show(names::Frmcontexte); }
void MainWindow::alignement_Click() { forms().show(names::frmalignement); }

void MainWindow::reset_Click()
{
    title_->clear();
    sourcePath_->clear();
    targetPath_->clear();
}

void MainWindow::about_Click() { forms().show(names::frmAbout); }
void MainWindow::quitter_Click() { forms().endProgram(); }
void MainWindow::Form_Unload() { forms().endProgram(); }

} // namespace solandre
