// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/arguments.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace solandre::cli {

const char* const kExitCodes = "Códigos de salida:\n"
                               "  0  éxito\n"
                               "  1  fallo: un mensaje en la salida de errores nombra el fichero y la causa\n"
                               "  2  uso incorrecto\n";

bool Arguments::has(const std::string& option) const
{
    return flags_.count(option) > 0 || values_.count(option) > 0;
}

std::string Arguments::value(const std::string& option, const std::string& fallback) const
{
    const auto it = values_.find(option);
    return it == values_.end() || it->second.empty() ? fallback : it->second.front();
}

std::vector<std::string> Arguments::values(const std::string& option) const
{
    const auto it = values_.find(option);
    return it == values_.end() ? std::vector<std::string>() : it->second;
}

namespace {

bool looksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

const OptionSpec* findOption(const CommandSpec& command, const std::string& name)
{
    for (const OptionSpec& option : command.options)
        if (name == option.name) return &option;
    return nullptr;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

} // namespace

std::variant<Arguments, std::string> parse(const CommandSpec& command,
                                           const std::vector<std::string>& args)
{
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !looksLikeOption(arg)) {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // "--title=Obra" as well as "--title Obra".
        const size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = findOption(command, name);
        if (!option) return "opción desconocida " + quoted(arg);
        const size_t count =
            option->value ? size_t(std::count(option->value, option->value + std::strlen(option->value), ' ')) + 1 : 0;
        if (count == 0) {
            if (equals != std::string::npos) return "la opción " + quoted(name) + " no lleva valor";
            parsed.setFlag(name);
        } else if (equals != std::string::npos && count == 1) {
            parsed.setValues(name, {arg.substr(equals + 1)});
        } else if (equals == std::string::npos && i + count < args.size()) {
            parsed.setValues(name, std::vector<std::string>(args.begin() + std::ptrdiff_t(i) + 1,
                                                            args.begin() + std::ptrdiff_t(i + count) + 1));
            i += count;
        } else {
            return count == 1 ? "falta el valor de la opción " + quoted(name)
                              : "la opción " + quoted(name) + " lleva " + std::to_string(count) + " valores: " +
                                    option->value;
        }
    }
    for (const OptionSpec& option : command.options)
        if (option.required && !parsed.has(option.name))
            return "falta la opción " + quoted(std::string(option.name) + " " + option.value);
    const size_t count = parsed.operands.size();
    if (count < command.minOperands)
        return "faltan argumentos: " + std::string(command.name) + " " + command.operands;
    if (command.maxOperands != kMany && count > command.maxOperands)
        return "sobra el argumento " + quoted(parsed.operands[command.maxOperands]);
    return parsed;
}

namespace {

std::string usageWith(const CommandSpec& command, const char* operands)
{
    std::string line = std::string("solandre-cli ") + command.name + " " + operands;
    for (const OptionSpec& option : command.options) {
        line += option.required ? " " : " [";
        line += option.name;
        if (option.value) line += std::string(" ") + option.value;
        if (!option.required) line += "]";
    }
    return line;
}

} // namespace

std::string usageLine(const CommandSpec& command) { return usageWith(command, command.operands); }

std::vector<std::string> usageLines(const CommandSpec& command)
{
    std::vector<std::string> lines{usageLine(command)};
    if (command.otherOperands) lines.push_back(usageWith(command, command.otherOperands));
    return lines;
}

namespace {

// Columns a UTF-8 text takes on a terminal: its characters, not its bytes.
size_t columnsOf(std::string_view utf8)
{
    return size_t(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

} // namespace

std::string commandHelp(const CommandSpec& command)
{
    std::string help;
    for (const std::string& line : usageLines(command)) help += (help.empty() ? "Uso: " : "     ") + line + "\n";
    help += "\n" + command.description + "\n";
    help += "\nOpciones:\n";
    size_t width = 6; // "--help"
    for (const OptionSpec& option : command.options)
        width = std::max(width, columnsOf(option.name) + (option.value ? columnsOf(option.value) + 1 : 0));
    auto row = [&](std::string left, const char* text) {
        left.append(width - std::min(width, columnsOf(left)), ' ');
        help += "  " + left + "  " + text + "\n";
    };
    for (const OptionSpec& option : command.options)
        row(std::string(option.name) + (option.value ? std::string(" ") + option.value : ""),
            option.help);
    row("--help", "muestra esta ayuda");
    help += std::string("\n") + kExitCodes;
    return help;
}

const char* const kProgramSummary = "Solandre, concordancia de un texto y su traducción frase por frase,\n"
                                    "desde la línea de órdenes.\n";

const char* const kProgramNotes =
    "\"solandre-cli ORDEN --help\" describe una orden, sus argumentos y sus opciones.\n"
    "Un \"-\" en lugar del fichero de entrada lee la entrada estándar; en lugar del\n"
    "fichero de salida de number, save o export, escribe en la salida estándar.\n"
    "Los argumentos se leen en UTF-8.\n";

std::string programHelp(const std::vector<CommandSpec>& commands)
{
    std::string help = "Uso: solandre-cli ORDEN [ARGUMENTOS] [OPCIONES]\n"
                       "     solandre-cli ORDEN --help\n"
                       "     solandre-cli --help | --version\n\n";
    help += std::string(kProgramSummary) + "\nÓrdenes:\n";
    size_t width = 0;
    for (const CommandSpec& command : commands) width = std::max(width, std::string(command.name).size());
    for (const CommandSpec& command : commands) {
        std::string name = command.name;
        name.resize(width, ' ');
        help += "  " + name + "  " + command.summary + "\n";
    }
    help += std::string("\n") + kProgramNotes + "\n" + kExitCodes;
    return help;
}

} // namespace solandre::cli
