// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_desktop.h"

#include "platform/qt_printer.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <algorithm>

namespace solandre {
namespace {

// A dialog raised during a long handler shows the normal pointer while it waits
// for the user; the hourglass comes back when it closes.
class NormalPointer {
public:
    NormalPointer() : active_(QGuiApplication::overrideCursor() != nullptr)
    {
        if (active_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalPointer()
    {
        if (active_) QGuiApplication::restoreOverrideCursor();
    }

private:
    bool active_;
};

// "Ficheros texto (*.TXT)|*.TXT" -> "Ficheros texto (*.TXT)": Qt takes the
// patterns from the parentheses, and its own dialog matches them regardless
// of case, so *.TXT also shows obra.txt. Qt separates patterns there by
// blanks: a ";" written between them would make one pattern matching nothing.
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0) description.replace(open, description.size() - open,
                                           description.mid(open).replace(QLatin1Char(';'), QLatin1Char(' ')));
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

SaveChoice runFileDialog(QWidget* parent, const QString& filter, QFileDialog::AcceptMode mode)
{
    NormalPointer pointer;
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(qtFilter(filter));
    // The name is taken as chosen; the caller asks before replacing a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const int type = int(qtFilter(filter).split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter()));
    return {dialog.selectedFiles().constFirst(), std::max(type, 0)};
}

} // namespace

QString QtDialogs::openFileName(QWidget* parent, const QString& filter)
{
    return runFileDialog(parent, filter, QFileDialog::AcceptOpen).name;
}

QString QtDialogs::folderName(QWidget* parent)
{
    NormalPointer pointer;
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter)
{
    return runFileDialog(parent, filter, QFileDialog::AcceptSave).name;
}

SaveChoice QtDialogs::saveFileOfType(QWidget* parent, const QString& filter)
{
    return runFileDialog(parent, filter, QFileDialog::AcceptSave);
}

Answer QtDialogs::message(QWidget* parent, const Message& message)
{
    NormalPointer pointer;
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(message.icon == Icon::Information ? QMessageBox::Information
                                                      : QMessageBox::NoIcon,
                    message.title, text, QMessageBox::NoButton, parent);
    if (message.buttons == Buttons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        const int chosen = box.exec();
        return chosen == QMessageBox::Yes ? Answer::Yes : chosen == QMessageBox::No ? Answer::No : Answer::Cancel;
    }
    if (message.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

bool QtDialogs::printerSetup(QWidget* parent, Printer& printer)
{
    auto* qtPrinter = dynamic_cast<QtPrinter*>(&printer);
    if (!qtPrinter) return false;
    NormalPointer pointer;
    QPrintDialog dialog(&qtPrinter->device(), parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::pair<QString, QString>> QtDialogs::chooseLanguages(QWidget* parent,
                                                                       const QStringList& offered,
                                                                       const QString& source,
                                                                       const QString& target)
{
    NormalPointer pointer;
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Idiomas de la memoria de traducción"));
    auto* form = new QFormLayout(&dialog);
    auto combo = [&](const QString& name, const QString& value) {
        auto* box = new QComboBox(&dialog);
        box->setObjectName(name);
        box->setEditable(true);
        box->addItems(offered);
        box->setCurrentText(value);
        return box;
    };
    QComboBox* sourceBox = combo(QStringLiteral("source"), source);
    QComboBox* targetBox = combo(QStringLiteral("cible"), target);
    form->addRow(QStringLiteral("Lengua de origen:"), sourceBox);
    form->addRow(QStringLiteral("Lengua meta:"), targetBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::pair{sourceBox->currentText().trimmed(), targetBox->currentText().trimmed()};
}

void QtClipboard::setMimeData(QMimeData* data) { QGuiApplication::clipboard()->setMimeData(data); }

const QMimeData* QtClipboard::mimeData() const { return QGuiApplication::clipboard()->mimeData(); }

bool QtLauncher::start(const QString& program) { return QProcess::startDetached(program, {}); }

bool QtLauncher::fileExists(const QString& path) { return QFileInfo(path).isFile(); }

QtDesktop::QtDesktop()
    : printer_(std::make_unique<QtPrinter>()), registry_(makeSystemRegistry()),
      desktop_{dialogs_, *printer_, clipboard_, *registry_, launcher_, clock_}
{
}

QtDesktop::~QtDesktop() = default;

} // namespace solandre
