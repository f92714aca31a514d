// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/study_commands.h"

#include "cli/search_commands.h"
#include "common/same_file.h"
#include "search/concordance.h"
#include "study/candidates.h"
#include "study/export_file.h"

#include <charconv>

namespace solandre::cli {

const CommandSpec kCandidatesCommand{
    "candidates", "NUMERADO NUMERADO_META FORMA", "propone traducciones de una forma",
    "Busca FORMA en el texto numerado y lista las palabras de las frases traducidas\n"
    "(las del mismo número en NUMERADO_META) que van con ella mucho más a menudo\n"
    "que por azar, de la mejor a la peor. Tras una línea de títulos, una línea por\n"
    "palabra con las columnas de la ventana, separadas por tabuladores: la palabra\n"
    "en minúsculas, su puntuación, su razón de verosimilitud G² sobre todos los\n"
    "pares de frases, el número de pares que tienen a la vez la forma y la palabra\n"
    "y el de pares que tienen la palabra. La puntuación es G² multiplicada por el\n"
    "logaritmo de lo rara que es la palabra en la traducción: una palabra que está\n"
    "en casi todas las frases (un artículo, una preposición) no pasa por delante de\n"
    "la traducción. Las palabras de una sola letra no se proponen. Sirve para\n"
    "cualquier par numerado; cuanto mejor alineado, mejores las propuestas.",
    {{"--top", "N", "cuántas palabras (10 por omisión)"}},
    3, 3};

const CommandSpec kExportCommand{
    "export", "NUMERADO FORMA", "exporta las líneas de una búsqueda para una hoja de cálculo",
    "Escribe, para cada ocurrencia de FORMA, una línea con la forma, la referencia,\n"
    "el contexto izquierdo, el contexto derecho, su frase y la frase del mismo\n"
    "número del texto meta. TSV o CSV en UTF-8 con marca de orden de bytes, o una\n"
    "hoja de cálculo .xlsx. Un campo con el separador, comillas o saltos de línea va\n"
    "entre comillas; en CSV, un campo que empieza por =, +, -, @, un tabulador o un\n"
    "retorno de carro lleva delante un apóstrofo, para que la hoja de cálculo lo\n"
    "muestre como texto y no lo ejecute como fórmula (TSV lo deja tal cual). En\n"
    ".xlsx cada texto es una celda de texto, nunca una fórmula. El fichero no puede\n"
    "ser uno de los textos.",
    {{"-o", "FICHERO", "el fichero que se escribe (\"-\": la salida estándar)", true},
     {"--target", "NUMERADO_META", "el texto meta numerado"},
     {"--format", "tsv|csv|xlsx",
      "el formato (por omisión, xlsx o csv si FICHERO acaba en .xlsx o .csv; si no, tsv)"},
     {"--sort-forms", nullptr, "ordena por forma y luego por referencia"}},
    2, 2};

namespace {

int usage(const CommandContext& c, const char* command, const std::string& problem)
{
    c.err << "solandre-cli: " << command << ": " << problem << "; véase \"solandre-cli " << command
          << " --help\"\n";
    return kUsage;
}

} // namespace

int candidatesCommand(const CommandContext& c)
{
    size_t top = 10;
    if (c.args.has("--top")) {
        const std::string value = c.args.value("--top");
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), top);
        if (ec != std::errc() || end != value.data() + value.size())
            return usage(c, "candidates", "--top espera un número entero, no \"" + value + "\"");
    }
    Concordance concordance;
    if (!loadNumbered(c, concordance, c.args.operands[0])) return kFailed;
    const FileRef target = c.file(c.args.operands[1]);
    const auto found = candidatesOf(concordance.index(), c.text(c.args.operands[2]), target, top,
                                    c.progress(QStringLiteral("Contando en %1").arg(target.name())));
    c.endProgress();
    if (!found) return c.fail(found.error());
    std::string out;
    auto line = [&out](const auto& cells) {
        for (const auto& cell : cells) (out += cell) += '\t';
        out.back() = '\n';
    };
    line(kCandidateHeader);
    for (const Candidate& candidate : found.value().best) line(candidateCells(candidate));
    c.write(out);
    return c.finishOutput();
}

int exportCommand(const CommandContext& c)
{
    const FileRef output = c.file(c.args.value("-o"));
    ExportFormat format = exportFormatOf(output.name());
    if (c.args.has("--format")) {
        const std::string value = c.args.value("--format");
        const std::optional<ExportFormat> named = exportFormatNamed(value);
        if (!named) return usage(c, "export", "--format espera tsv, csv o xlsx, no \"" + value + "\"");
        format = *named;
    }
    const FileRef source = c.file(c.args.operands[0]);
    const FileRef target = c.args.has("--target") ? c.file(c.args.value("--target")) : FileRef(QString());
    // Refused before anything is read.
    if (Status refused = refuseInputAsOutput(output, {source, target}); !refused) return c.fail(refused.error());

    Concordance concordance;
    if (!loadNumbered(c, concordance, c.args.operands[0])) return kFailed;
    if (concordance.search(c.text(c.args.operands[1])) > 0 && c.args.has("--sort-forms"))
        concordance.sortByForm();
    const Status exported = exportLines(output, ConcordanceLines::ofGrid(concordance.grid()), source, target,
                                        format, c.progress(QStringLiteral("Exportando %1").arg(output.name())));
    c.endProgress();
    return exported ? kOk : c.fail(exported.error());
}

} // namespace solandre::cli
