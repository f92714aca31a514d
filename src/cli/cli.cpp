#include "cli/cli.h"

#include "common/cp1252.h"
#include "common/same_file.h"
#include "numbering/numbering_engine.h"
#include "search/concordance.h"
#include "search/results_file.h"

#include <QString>
#include <ostream>

namespace solandre::cli {
namespace {

constexpr const char* kHelp =
    "usage: solandre-cli COMMAND ARGUMENTS\n"
    "\n"
    "commands:\n"
    "  number INPUT OUTPUT   number the sentences of INPUT into OUTPUT\n"
    "  search NUMBERED FORM [FORM ...] [--sort-forms] [--count]\n"
    "                        list the occurrences of each FORM in a numbered text:\n"
    "                        the form as written, a tab and its sentence marker,\n"
    "                        then the total; FORM may hold one '*'\n"
    "      --sort-forms      order by form, then marker (as the \"Formas\" button)\n"
    "      --count           print only the totals\n"
    "  save NUMBERED FORM -o RESULTS [--target NUMBERED_TARGET] [--title TEXT]\n"
    "       [--date TEXT] [--sort-forms]\n"
    "                        write the results file of FORM's occurrences, with the\n"
    "                        sentences of both texts, as the search window saves it;\n"
    "                        the date defaults to now\n"
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
    const Status done = numberFile(path(args[0]), path(args[1]));
    return done ? kOk : fail(err, done.error());
}

int search(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    bool sortForms = false, countOnly = false;
    std::vector<std::string> operands;
    for (const std::string& arg : args) {
        if (arg == "--sort-forms")
            sortForms = true;
        else if (arg == "--count")
            countOnly = true;
        else
            operands.push_back(arg);
    }
    if (operands.size() < 2) return usageError(err, "search takes NUMBERED and at least one FORM");

    // One reading and one index for every form.
    Concordance concordance;
    if (Status loaded = concordance.load(path(operands[0])); !loaded) return fail(err, loaded.error());
    const ResultGrid& grid = concordance.grid();

    std::string buffer;
    for (size_t f = 1; f < operands.size(); ++f) {
        const QString typed = QString::fromLocal8Bit(operands[f]);
        const size_t count = concordance.search(typed);
        if (sortForms && count > 0) concordance.sortByForm();
        for (size_t row = 1; !countOnly && row <= count; ++row) {
            appendUtf8(buffer, grid.text(row, 0));
            buffer += '\t';
            appendUtf8(buffer, grid.text(row, 1));
            buffer += '\n';
            if (buffer.size() >= (1u << 20)) {
                out << buffer;
                buffer.clear();
            }
        }
        buffer += "Total de ocurrencia(s) para : " + typed.toStdString() + " = " +
                  std::to_string(count) + "\n";
    }
    out << buffer;
    out.flush();
    if (out) return kOk;
    err << "solandre-cli: no se puede escribir la salida\n";
    return kFailed;
}

int save(const std::vector<std::string>& args, std::ostream& err)
{
    std::string output, target, title, date;
    bool haveDate = false, sortForms = false;
    std::vector<std::string> operands;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* value = arg == "-o"         ? &output
                             : arg == "--target" ? &target
                             : arg == "--title"  ? &title
                             : arg == "--date"   ? &date
                                                 : nullptr;
        if (value) {
            if (i + 1 == args.size()) return usageError(err, arg + " needs a value");
            *value = args[++i];
            haveDate = haveDate || arg == "--date";
        } else if (arg == "--sort-forms") {
            sortForms = true;
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 2 || output.empty())
        return usageError(err, "save takes NUMBERED, FORM and -o RESULTS");

    const QString sourcePath = path(operands[0]);
    const QString outputPath = path(output);
    // Refused before anything is read.
    if (Status refused = refuseInputAsOutput(outputPath, {sourcePath, path(target)}); !refused)
        return fail(err, refused.error());

    Concordance concordance;
    if (Status loaded = concordance.load(sourcePath); !loaded) return fail(err, loaded.error());
    if (concordance.search(QString::fromLocal8Bit(operands[1])) > 0 && sortForms)
        concordance.sortByForm();
    const ResultsHeading heading = makeHeading(
        kPreparedTextsPrefixes, QString::fromLocal8Bit(title),
        haveDate ? QString::fromLocal8Bit(date) : formatSearchDate(QDateTime::currentDateTime()));
    const Status saved =
        saveResultsFile(outputPath, sourcePath, path(target), heading, concordance.grid());
    return saved ? kOk : fail(err, saved.error());
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
    if (command == "search") return search(rest, out, err);
    if (command == "save") return save(rest, err);
    return usageError(err, "unknown command '" + command + "'");
}

} // namespace solandre::cli
