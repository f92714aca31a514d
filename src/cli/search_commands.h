// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// number, search and save: the numbering and the search windows' work.

#include "cli/arguments.h"
#include "cli/command_context.h"
#include "search/concordance.h"

#include <optional>

namespace solandre::cli {

extern const CommandSpec kNumberCommand;
extern const CommandSpec kSearchCommand;
extern const CommandSpec kSaveCommand;

int numberCommand(const CommandContext& context);
int searchCommand(const CommandContext& context);
int saveCommand(const CommandContext& context);

// Reads and indexes a numbered text, warning when it does not look
// numbered; false, the failure told, when it cannot be read.
bool loadNumbered(const CommandContext& c, solandre::Concordance& concordance, const std::string& arg);

// The options every searching command takes: the syntax of its queries and
// a condition on the translation.
extern const OptionSpec kRegexOption, kWithOption, kWithoutOption;
// The source language of a collection's plain pairs.
extern const OptionSpec kSourceLangOption;
// The query language, for the commands' help.
extern const char* const kQuerySyntaxHelp;

// The searches of one command, as its options ask.
class CommandSearch {
public:
    // Reads the options; opens the target text (`targetArg`, empty when the
    // command has none) when a condition needs it. Nothing, the failure
    // told, when it cannot; otherwise the exit code is kOk.
    int prepare(const CommandContext& c, const char* command, const std::string& targetArg);
    // The number of hits of `typed`; nothing, the failure told, for a
    // malformed query.
    std::optional<size_t> run(const CommandContext& c, Concordance& source, const QString& typed);

private:
    QuerySyntax syntax_ = QuerySyntax::Patterns;
    std::optional<TranslationTest> test_;
    QString condition_;
    Concordance target_;
};

} // namespace solandre::cli
