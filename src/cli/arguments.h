// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of solandre-cli as data: their operands, options and texts.
// The parsing, the help of every command and the manual pages all come from
// these tables, so they cannot drift apart.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace solandre::cli {

struct OptionSpec {
    const char* name;  // "--target", "-o"
    const char* value; // "FICHERO"; nullptr for a flag; "A B" for two values
    const char* help;
    bool required = false;
};

struct CommandSpec {
    const char* name;
    const char* operands;    // as the usage line shows them: "ENTRADA SALIDA"
    const char* summary;     // one line for the program's help
    std::string description; // the command's help, lines separated by \n
    std::vector<OptionSpec> options;
    size_t minOperands;
    size_t maxOperands;      // kMany for no limit
    // A second way of calling it, with other operands ("CARPETA BÚSQUEDA").
    const char* otherOperands = nullptr;
};

inline constexpr size_t kMany = size_t(-1);

class Arguments {
public:
    std::vector<std::string> operands;

    bool has(const std::string& option) const;
    // The option's value, or `fallback` when it was not given.
    std::string value(const std::string& option, const std::string& fallback = {}) const;
    // All the values of an option that takes several.
    std::vector<std::string> values(const std::string& option) const;

    void setFlag(const std::string& option) { flags_.insert(option); }
    void setValues(const std::string& option, std::vector<std::string> values)
    {
        values_[option] = std::move(values);
    }

private:
    std::set<std::string> flags_;
    std::map<std::string, std::vector<std::string>> values_;
};

// The arguments after the command's name. A failure is one line naming the
// problem (without the program's name). "--" ends the options; a lone "-" is
// an operand (the standard input or output).
std::variant<Arguments, std::string> parse(const CommandSpec& command,
                                           const std::vector<std::string>& args);

std::string usageLine(const CommandSpec& command);
// The usage line of each way of calling the command.
std::vector<std::string> usageLines(const CommandSpec& command);
std::string commandHelp(const CommandSpec& command);
std::string programHelp(const std::vector<CommandSpec>& commands);
extern const char* const kExitCodes;
// The program's help around its list of commands.
extern const char* const kProgramSummary;
extern const char* const kProgramNotes;

} // namespace solandre::cli
