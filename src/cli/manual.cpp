// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/manual.h"

#include <sstream>

namespace solandre::cli {
namespace {

// Text for roff: a backslash and a hyphen escaped, and a line that starts
// with a control character kept as text.
std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Help text as roff: blank lines part paragraphs; indented lines are kept
// as written, the rest filled.
std::string body(const std::string& text)
{
    std::string out;
    bool preformatted = false;
    for (const std::string& line : lines(text)) {
        if (line.empty()) {
            if (preformatted) out += ".fi\n.RE\n";
            preformatted = false;
            out += ".PP\n";
            continue;
        }
        const bool indented = line[0] == ' ';
        if (indented && !preformatted) out += ".RS 2\n.nf\n";
        if (!indented && preformatted) out += ".fi\n.RE\n";
        preformatted = indented;
        out += escaped(indented ? line.substr(line.find_first_not_of(' ')) : line) + "\n";
    }
    if (preformatted) out += ".fi\n.RE\n";
    return out;
}

std::string header(const std::string& program, const std::string& version, const std::string& summary)
{
    std::string upper;
    for (const char c : program) upper += c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return ".\\\" Written from the program's own help; do not edit.\n"
           ".TH " + upper + " 1 \"\" \"Solandre " + version + "\" \"Órdenes de usuario\"\n"
           ".SH NOMBRE\n" + escaped(program) + " \\- " + escaped(summary) + "\n";
}

std::string exitCodes()
{
    std::string text = kExitCodes;
    return ".SH \"CÓDIGOS DE SALIDA\"\n" + body(text.substr(text.find('\n') + 1));
}

} // namespace

std::string cliManualPage(const std::vector<CommandSpec>& commands, const std::string& version)
{
    std::string page = header("solandre-cli", version, "concordancia de un texto y su traducción, frase por frase");
    page += ".SH SINOPSIS\n";
    for (const CommandSpec& command : commands)
        for (const std::string& usage : usageLines(command))
            page += ".B solandre\\-cli\n" + escaped(usage.substr(13)) + "\n.br\n";
    page += ".SH DESCRIPCIÓN\n";
    page += body(kProgramSummary) + ".PP\n" + body(kProgramNotes);
    page += ".SH ÓRDENES\n";
    for (const CommandSpec& command : commands) {
        page += ".SS " + escaped(command.name) + "\n";
        for (const std::string& usage : usageLines(command)) page += ".B " + escaped(usage) + "\n.br\n";
        page += ".PP\n";
        page += body(command.description);
        for (const OptionSpec& option : command.options) {
            page += ".TP\n.B " + escaped(option.name);
            if (option.value) page += " \\fI" + escaped(option.value) + "\\fR";
            page += "\n" + escaped(option.help) + (option.required ? " (obligatoria)" : "") + "\n";
        }
    }
    page += exitCodes();
    page += ".SH ENTORNO\n.TP\n.B XDG_CACHE_HOME\nLa carpeta de los índices de las búsquedas, "
            "\\fI$XDG_CACHE_HOME/solandre/indices\\fR (por omisión \\fI~/.cache/solandre/indices\\fR), y la "
            "de las colecciones, \\fI$XDG_CACHE_HOME/solandre/collections\\fR, donde sus memorias y sus pares de "
            "textos por lengua se numeran y se alinean: nada se escribe en la carpeta de una colección.\n";
    page += ".SH EJEMPLOS\n.nf\n"
            "solandre\\-cli search coleccion casa\n"
            "solandre\\-cli export coleccion casa \\-o casa.xlsx\n"
            "solandre\\-cli save coleccion casa \\-o casa.txt\n"
            ".fi\n";
    page += ".SH \"VÉASE TAMBIÉN\"\n.BR solandre (1)\n";
    return page;
}

std::string manualPageFromHelp(const std::string& program, const std::string& version, const std::string& summary,
                               const std::string& help, const std::string& seeAlso)
{
    std::string page = header(program, version, summary);
    page += ".SH SINOPSIS\n";
    size_t at = 0;
    const std::vector<std::string> all = lines(help);
    for (; at < all.size() && !all[at].empty(); ++at) {
        std::string usage = all[at];
        usage = usage.substr(usage.find_first_not_of(' ', usage.starts_with("Uso:") ? 4 : 0));
        page += ".B " + escaped(usage.substr(0, usage.find(' '))) + "\n" +
                escaped(usage.find(' ') == std::string::npos ? "" : usage.substr(usage.find(' ') + 1)) + "\n.br\n";
    }
    std::string rest;
    for (++at; at < all.size(); ++at) rest += all[at] + "\n";
    page += ".SH DESCRIPCIÓN\n" + body(rest);
    page += ".SH \"VÉASE TAMBIÉN\"\n.BR " + escaped(seeAlso) + " (1)\n";
    return page;
}

std::string bashCompletion(const std::vector<CommandSpec>& commands)
{
    std::string names, cases;
    for (const CommandSpec& command : commands) {
        names += std::string(names.empty() ? "" : " ") + command.name;
        std::string options = "--help";
        for (const OptionSpec& option : command.options) options += std::string(" ") + option.name;
        cases += "        " + std::string(command.name) + ") options=\"" + options + "\" ;;\n";
    }
    return "# bash completion for solandre-cli, written from its command table; do not edit.\n"
           "_solandre_cli()\n"
           "{\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]}\n"
           "    if [[ $COMP_CWORD -eq 1 ]]; then\n"
           "        COMPREPLY=($(compgen -W \"" + names + " --help --version\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    local options\n"
           "    case ${COMP_WORDS[1]} in\n" + cases +
           "        *) return ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "    else\n"
           "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "    fi\n"
           "}\n"
           "complete -o filenames -o bashdefault -F _solandre_cli solandre-cli\n";
}

} // namespace solandre::cli
