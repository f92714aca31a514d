// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands that take a folder where they take a numbered text: the
// folder is a collection, searched as one corpus.

#include "cli/command_context.h"
#include "study/sheet.h"
#include "study/candidates.h"

#include <optional>

namespace solandre::cli {

// Whether the command's first operand names a collection.
bool namesCollection(const CommandContext& c);

int searchCollectionCommand(const CommandContext& c);
// export and save over every pair: a column, or a line, names each hit's text.
int exportCollectionCommand(const CommandContext& c, ExportFormat format);
int saveCollectionCommand(const CommandContext& c);

// The translation candidates of `query` over the collection, each pair read
// against its own translation; nothing when it failed, said on stderr.
std::optional<CandidateList> candidatesOfCollection(const CommandContext& c, const QString& query, size_t top);

} // namespace solandre::cli
