// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "forms/form_names.h"
#include "forms/form_registry.h"

#include <QDir>
#include <QLineEdit>

namespace solandre {

CommandLine parseCommandLine(const QStringList& args)
{
    CommandLine line;
    QStringList files;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == u"--help" || arg == u"-h")) {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (!optionsEnded && arg == u"--version") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (!optionsEnded && arg.size() > 1 && arg.startsWith(u'-')) {
            line.action = CommandLine::Action::UsageError;
            line.problem = QStringLiteral("opción desconocida \"%1\"").arg(arg);
            return line;
        } else {
            files << arg;
        }
    }
    if (files.size() > 2) {
        line.action = CommandLine::Action::UsageError;
        line.problem = QStringLiteral("sobra el argumento \"%1\"").arg(files[2]);
        return line;
    }
    // The boxes hold paths that stay valid whatever the working folder.
    if (files.size() > 0) line.source = QDir::cleanPath(QDir::current().absoluteFilePath(files[0]));
    if (files.size() > 1) line.target = QDir::cleanPath(QDir::current().absoluteFilePath(files[1]));
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Uso: solandre [ORIGEN [META]]\n"
        "     solandre --help | --version\n"
        "\n"
        "Solandre numera las frases de un texto y de su traducción, busca en el texto\n"
        "numerado una forma o varias palabras seguidas (sin distinguir mayúsculas),\n"
        "lista sus ocurrencias y muestra cada una en su contexto al lado de la frase\n"
        "traducida del mismo número.\n"
        "\n"
        "Búsquedas, en la ventana de búsqueda:\n"
        "  casa             la forma casa\n"
        "  cant*  *mente    un \"*\": las formas que empiezan o acaban así\n"
        "  *ción*  ca?a     varios \"*\": cualquier serie de letras; \"?\": una letra\n"
        "  casa|hogar       una forma u otra\n"
        "  llevar a cabo    palabras seguidas en una misma frase\n"
        "  llevar * cabo    \"*\" solo: una palabra cualquiera\n"
        "Con \"Expresión regular\", cada palabra es una expresión regular que abarca\n"
        "la palabra entera (ca(s|n)a). \"Búsqueda avanzada\" pide además que la frase\n"
        "traducida contenga, o no, otra búsqueda. solandre-cli search --help lo\n"
        "detalla.\n"
        "\n"
        "ORIGEN y META llenan las casillas \"Abrir un texto en lengua de origen\" y\n"
        "\"Abrir un texto en lengua meta\" de la ventana principal, como si se hubieran\n"
        "elegido con \"Buscar...\". Los textos se numeran con \"Referenciación y\n"
        "concordancias\"; los ya numerados se buscan con \"Concordancias\".\n"
        "\n"
        "Opciones:\n"
        "  --help     muestra esta ayuda\n"
        "  --version  muestra la versión\n"
        "\n"
        "Las opciones de Qt (por ejemplo -platform) se aceptan también.\n");
}

void fillTextBoxes(FormRegistry& forms, const CommandLine& line)
{
    if (line.source.isEmpty()) return;
    forms.control<QLineEdit>(names::frmtexte, QStringLiteral("Text_latin"))->setText(line.source);
    forms.control<QLineEdit>(names::frmtexte, QStringLiteral("Text_francais"))->setText(line.target);
}

} // namespace solandre
