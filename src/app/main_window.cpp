// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"
#include "common/system_reason.h"

#include "forms/form_names.h"
#include "forms/long_work.h"
#include "forms/wait_cursor.h"
#include "numbering/output_names.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "tmx/memory_import.h"
#include "windows/collection/collection_window.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
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
    item(application, QStringLiteral("memoire"), QStringLiteral("Abrir una &memoria de traducción..."),
         [this] { memoire_Click(); });
    item(application, QStringLiteral("collection"), QStringLiteral("Abrir una c&olección..."),
         [this] { collection_Click(); });
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
                       .arg(chosen, systemReasonInSpanish(file.errorString())),
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

bool MainWindow::mayReplace(const QString& path)
{
    return !QFileInfo::exists(path) ||
           desktop().dialogs.message(this, {path + QStringLiteral("  ya existe.\r\n¿Desea reemplazarlo?"),
                                            QStringLiteral("Fichier existente"), Buttons::YesNo}) == Answer::Yes;
}

void MainWindow::collection_Click()
{
    // A folder of pairs and memories, searched as one; nothing is written in it.
    const QString folder = desktop().dialogs.folderName(this);
    if (folder.isEmpty()) return;
    auto* window = dynamic_cast<CollectionWindow*>(forms().load(names::frmcollection));
    if (window && window->openFolder(folder)) forms().show(names::frmcollection);
}

void MainWindow::memoire_Click()
{
    const QString input = desktop().dialogs.openFileName(
        this, QStringLiteral("Memorias de traducción (*.TMX *.TSV *.TXT)|*.TMX;*.TSV;*.TXT|"
                             "Memorias TMX (*.TMX)|*.TMX|Tablas bilingües (*.TSV *.TXT)|*.TSV;*.TXT|"
                             "Todos los ficheros (*)|*"));
    if (input.isEmpty()) return;
    const QString sourceOut = textNameBeside(input, QStringLiteral("_source_ref"));
    const QString targetOut = textNameBeside(input, QStringLiteral("_cible_ref"));
    const auto fail = [this](const Error& error) {
        if (!error.cancelled)
            desktop().dialogs.message(this, {error.message, QStringLiteral("Solandre"), Buttons::Ok, Icon::Information});
    };

    // A memory of more than two languages: which two to take.
    TmxLanguageChoice languages;
    const Result<MemoryFormat> format = [&] {
        WaitCursor wait;
        return memoryFormatOf(input);
    }();
    if (!format) return fail(format.error());
    if (format.value() == MemoryFormat::Tmx) {
        Result<TmxLanguages> found = TmxLanguages{};
        runLongWork(this, QStringLiteral("Leyendo las lenguas de la memoria"), Cancel::Allowed,
                    [&](const Progress&) { found = memoryLanguages(input); });
        if (!found) return fail(found.error());
        if (found.value().languages.size() > 2) {
            QStringList offered;
            for (const TmxLanguageUse& use : found.value().languages) offered << use.language;
            const QString header = found.value().headerSourceLanguage;
            const QString source = header.isEmpty() || header == u"*all*" ? offered.front() : header;
            QString target;
            for (const QString& language : offered)
                if (target.isEmpty() && !languageMatches(source, language)) target = language;
            const auto chosen = desktop().dialogs.chooseLanguages(this, offered, source, target);
            if (!chosen) return;
            languages = {chosen->first, chosen->second};
        }
    }

    if (!mayReplace(sourceOut) || !mayReplace(targetOut)) return;
    Result<MemoryImport> imported = MemoryImport{};
    {
        WaitCursor wait;
        runLongWork(this, QStringLiteral("Numerando la memoria de traducción"), Cancel::Allowed,
                    [&](const Progress& progress) {
                        imported = importMemory(input, sourceOut, targetOut, languages, progress);
                    });
    }
    if (!imported) return fail(imported.error());
    sourcePath_->setText(sourceOut);
    targetPath_->setText(targetOut);
    // A search window still open on another pair would go on searching it.
    forms().unload(names::Frmcontexte);
    forms().show(names::Frmcontexte);
}

void MainWindow::reset_Click()
{
    title_->clear();
    sourcePath_->clear();
    targetPath_->clear();
}

void MainWindow::about_Click() { forms().show(names::frmAbout); }
void MainWindow::quitter_Click()
{
    if (Form_QueryUnload()) forms().endProgram();
}
bool MainWindow::Form_QueryUnload() { return forms().othersMayUnload(this); }
void MainWindow::Form_Unload() { forms().endProgram(); }

} // namespace solandre
