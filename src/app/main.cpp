// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "app/command_line.h"
#include "forms/form_names.h"
#include "forms/form_registry.h"
#include "platform/qt_desktop.h"

#include <QApplication>
#include <csignal>
#include <cstdio>

namespace {

// --help and --version answer before any window system is needed.
bool asksForText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h" || arg == "--version") return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    using solandre::CommandLine;
    if (asksForText(argc, argv)) {
        QStringList args;
        for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
        const CommandLine line = solandre::parseCommandLine(args);
        if (line.action == CommandLine::Action::Help) std::fputs(qPrintable(solandre::commandLineHelp()), stdout);
        else std::printf("solandre %s\n", SOLANDRE_VERSION);
        return 0;
    }

#ifdef SIGXFSZ
    // A file size limit makes a write fail with a message naming the file,
    // rather than kill the program with every window open.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName(QStringLiteral("Solandre"));
    QApplication::setDesktopFileName(QStringLiteral("org.solandre.Solandre"));
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = solandre::parseCommandLine(args);
    if (line.action == CommandLine::Action::UsageError) {
        std::fprintf(stderr, "solandre: %s; véase \"solandre --help\"\n", qPrintable(line.problem));
        return 2;
    }
    solandre::loadSpanishTranslations(app);

    solandre::QtDesktop desktop;
    solandre::FormRegistry forms(desktop.desktop());
    solandre::defineWindows(forms);
    solandre::fillTextBoxes(forms, line);
    forms.show(solandre::names::frmSplash);
    return app.exec();
}
