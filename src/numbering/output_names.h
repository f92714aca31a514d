// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <optional>

namespace solandre {

// "C:\t\obra.txt" + "_source_ref" -> "C:\t\obra_source_ref.txt": the suffix
// goes before the last four characters, whatever they are. Null for a path of
// fewer than four characters, which has no stem.
std::optional<QString> defaultOutputName(const QString& input, const QString& suffix);

// "/t/corpus.tmx" + "_source_ref" -> "/t/corpus_source_ref.txt": a numbered
// text made from a file of another kind, beside it.
QString textNameBeside(const QString& input, const QString& suffix);

} // namespace solandre
