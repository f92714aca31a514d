#include "cli/cli.h"

#include "numbering/numbering_engine.h"

#include <QString>
#include <ostream>

namespace solandre::cli {
namespace {

constexpr const char* kHelp =
    "usage: solandre-cli COMMAND ARGUMENTS\n"
    "\n"
    "commands:\n"
    "  number INPUT OUTPUT   number the sentences of INPUT into OUTPUT\n"
    "  --help                show this help\n";

QString path(const std::string& arg) { return QString::fromLocal8Bit(arg); }

int usageError(std::ostream& err, const std::string& what)
{
    err << "solandre-cli: " << what << "\n" << kHelp;
    return kUsage;
}

int fail(std::ostream& err, const Error& error)
{
    err << "solandre-cli: " << error.message.toStdString() << "\n";
    return kFailed;
}

int number(const std::vector<std::string>& args, std::ostream& err)
{
    if (args.size() != 2) return usageError(err, "number takes INPUT and OUTPUT");
    const Status done = numeroter_texte(path(args[0]), path(args[1]));
    return done ? kOk : fail(err, done.error());
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) return usageError(err, "no command given");
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << kHelp;
        return kOk;
    }
    if (command == "number") return number(rest, err);
    return usageError(err, "unknown command '" + command + "'");
}

} // namespace solandre::cli
