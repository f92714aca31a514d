// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/align_commands.h"

#include "align/alignment_notes.h"
#include "align/numbered_pair.h"
#include "common/same_file.h"

namespace solandre::cli {

const CommandSpec kAlignCommand{
    "align", "NUMERADO_ORIGEN NUMERADO_META", "alinea las frases de un texto numerado y su traducción",
    "Empareja las frases de dos textos numerados aunque la traducción haya partido,\n"
    "unido, añadido u omitido frases, y escribe un emparejamiento por línea: las\n"
    "referencias de las frases de origen separadas por un blanco, un tabulador y las\n"
    "de las frases meta (un lado puede quedar vacío: \"[4]\\t\", \"\\t[3]\").\n"
    "Con --write escribe además el par alineado: el registro k de cada fichero\n"
    "contiene las frases del emparejamiento k unidas por un blanco.",
    {{"--write", "SALIDA_ORIGEN SALIDA_META",
      "escribe el par alineado (no puede ser uno de los textos)"}},
    2, 2};

int alignCommand(const CommandContext& c)
{
    const FileRef source = c.file(c.args.operands[0]);
    const FileRef target = c.file(c.args.operands[1]);
    const std::vector<std::string> outputs = c.args.values("--write");
    // Refused before the work of aligning.
    if (outputs.size() == 2) {
        for (const std::string& output : outputs)
            if (Status refused = refuseInputAsOutput(c.file(output), {source, target}); !refused)
                return c.fail(refused.error());
        if (Status refused = refuseSameOutputs(c.file(outputs[0]), c.file(outputs[1])); !refused)
            return c.fail(refused.error());
    }
    const auto pair = alignNumberedPair(source, target, c.progress(QStringLiteral("Alineando")));
    c.endProgress();
    if (!pair) return c.fail(pair.error());
    for (const NumberedRecords* records : {&pair.value().source, &pair.value().target})
        if (const std::optional<size_t> k = firstMarkerOutOfOrder(*records))
            c.warn(QStringLiteral("las marcas de \"%1\" están repetidas o fuera de orden (%2 tras %3): se "
                                  "alinean los registros en el orden del fichero y se escriben con números nuevos")
                       .arg(records->text.name(), QString::fromUtf8(records->markers[*k].data(), qsizetype(records->markers[*k].size())),
                            QString::fromUtf8(records->markers[*k - 1].data(), qsizetype(records->markers[*k - 1].size()))));
    std::string lines;
    for (const Bead& bead : pair.value().beads) {
        lines += beadLine(pair.value(), bead);
        lines += '\n';
        if (lines.size() >= (1u << 20)) {
            if (!c.write(lines)) break;
            lines.clear();
        }
    }
    c.write(lines);
    if (outputs.size() == 2) {
        // With its notes, for a review of the copies in the desktop program.
        const Status written = writeAlignedCopies(pair.value(), pair.value().beads, c.file(outputs[0]),
                                                  c.file(outputs[1]));
        if (!written) return c.fail(written.error());
    }
    return c.finishOutput();
}

} // namespace solandre::cli
