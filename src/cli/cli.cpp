// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli.h"

#include "cli/align_commands.h"
#include "cli/command_context.h"
#include "cli/memory_commands.h"
#include "cli/search_commands.h"
#include "cli/study_commands.h"
#include "common/notices.h"

#include <ostream>

namespace solandre::cli {
namespace {

using Handler = int (*)(const CommandContext&);

struct Command {
    const CommandSpec* syntax;
    Handler handler;
};

const std::vector<Command>& table()
{
    static const std::vector<Command> all = {
        {&kNumberCommand, numberCommand},
        {&kSearchCommand, searchCommand},
        {&kSaveCommand, saveCommand},
        {&kAlignCommand, alignCommand},
        {&kPairCommand, pairCommand},
        {&kTmxCommand, tmxCommand},
        {&kCandidatesCommand, candidatesCommand},
        {&kExportCommand, exportCommand},
    };
    return all;
}

int usageError(std::ostream& err, const std::string& problem, const std::string& helpCommand)
{
    err << "solandre-cli: " << problem << "; véase \"" << helpCommand << "\"\n";
    return kUsage;
}

} // namespace

const std::vector<CommandSpec>& commands()
{
    static const std::vector<CommandSpec> syntaxes = [] {
        std::vector<CommandSpec> all;
        for (const Command& command : table()) all.push_back(*command.syntax);
        return all;
    }();
    return syntaxes;
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal)
{
    if (args.empty()) return usageError(err, "falta la orden", "solandre-cli --help");
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        out << programHelp(commands());
        return kOk;
    }
    if (name == "--version") {
        out << "solandre-cli " << SOLANDRE_VERSION << "\n";
        return kOk;
    }
    for (const Command& command : table()) {
        if (name != command.syntax->name) continue;
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        const std::string help = "solandre-cli " + name + " --help";
        for (const std::string& arg : rest) {
            if (arg == "--") break;
            if (arg == "--help" || arg == "-h") {
                out << commandHelp(*command.syntax);
                return kOk;
            }
        }
        auto parsed = parse(*command.syntax, rest);
        if (const auto* problem = std::get_if<std::string>(&parsed))
            return usageError(err, name + ": " + *problem, help);
        const CommandContext context(std::get<Arguments>(parsed), out, err, errIsTerminal);
        // What the cores tell the reader (a text read as UTF-8 despite a few
        // bad bytes) goes to the error stream, once per file.
        const NoticeScope notices([&](const QString& message) { context.warn(message); });
        return command.handler(context);
    }
    const std::string problem = name.starts_with("-") ? "opción desconocida \"" + name + "\""
                                                     : "orden desconocida \"" + name + "\"";
    return usageError(err, problem, "solandre-cli --help");
}

} // namespace solandre::cli
