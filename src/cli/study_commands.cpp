// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/study_commands.h"

#include "cli/search_commands.h"
#include "common/same_file.h"
#include "search/concordance.h"
#include "study/candidates.h"
#include "study/export_file.h"

#include <charconv>
#include <cstdio>

namespace solandre::cli {

const CommandSpec kCandidatesCommand{
    "candidates", "NUMERADO NUMERADO_META BÚSQUEDA", "propone traducciones de una forma o una frase",
    "Busca BÚSQUEDA (escrita como en search) en el texto numerado y lista las\n"
    "palabras de las frases traducidas (las del mismo número en NUMERADO_META)\n"
    "que van con ella mucho más a menudo que por azar, de la mejor a la peor: la\n"
    "palabra en minúsculas, un tabulador, su puntuación (razón de verosimilitud G²\n"
    "sobre todos los pares de frases), un tabulador y el número de pares que\n"
    "tienen a la vez la búsqueda y la palabra. Las palabras de una sola letra no\n"
    "se proponen. Sirve para cualquier par numerado; cuanto mejor alineado,\n"
    "mejores las propuestas. --with y --without miran NUMERADO_META.",
    {{"--top", "N", "cuántas palabras (10 por omisión)"}, kRegexOption, kWithOption, kWithoutOption},
    3, 3};

const CommandSpec kExportCommand{
    "export", "NUMERADO BÚSQUEDA", "exporta las líneas de una búsqueda para una hoja de cálculo",
    "Escribe, para cada ocurrencia de BÚSQUEDA (escrita como en search), una\n"
    "línea con la forma (o las palabras halladas), la referencia, el contexto\n"
    "izquierdo, el contexto derecho, su frase y la frase del mismo número del\n"
    "texto meta. TSV o CSV en UTF-8 con marca de orden de bytes; un campo con el\n"
    "separador, comillas o saltos de línea va entre comillas. El fichero no puede\n"
    "ser uno de los textos.",
    {{"-o", "FICHERO", "el fichero que se escribe (\"-\": la salida estándar)", true},
     {"--target", "NUMERADO_META", "el texto meta numerado"},
     {"--format", "tsv|csv", "el formato (por omisión, csv si FICHERO acaba en .csv; si no, tsv)"},
     {"--sort-forms", nullptr, "ordena por forma y luego por referencia"},
     kRegexOption,
     kWithOption,
     kWithoutOption},
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
    const QString form = c.text(c.args.operands[2]);
    if (form.trimmed().isEmpty())
        return c.fail(Error{QStringLiteral("candidates: la forma está vacía; escriba la palabra de la que busca "
                                           "traducciones")});
    const FileRef target = c.file(c.args.operands[1]);
    // The target is looked at before the source is indexed: a text that
    // cannot give candidates is said at once.
    if (!target.isStandardStream()) {
        const Result<TextFile> text = TextFile::open(target);
        if (!text) return c.fail(text.error());
        if (text.value().text().empty())
            return c.fail(Error::reading(target.name(), QStringLiteral("el fichero está vacío")));
        if (!text.value().text().starts_with("[1] "))
            return c.fail(Error::reading(target.name(), QStringLiteral("no es un texto numerado: no empieza por "
                                                                       "\"[1] \"; para numerarlo, use "
                                                                       "\"solandre-cli number\"")));
    }
    CommandSearch searches;
    if (const int prepared = searches.prepare(c, "candidates", c.args.operands[1]); prepared != kOk) return prepared;
    Concordance concordance;
    if (!loadNumbered(c, concordance, c.args.operands[0])) return kFailed;
    if (!searches.run(c, concordance, form)) return kFailed;
    WordList hits;
    const ResultGrid& grid = concordance.grid();
    for (size_t row = 1; row < grid.rows(); ++row)
        if (grid.isHit(row)) hits.push_back(grid.hit(row));
    const auto found = candidatesOf(concordance.index(), hits, target, top,
                                    c.progress(QStringLiteral("Contando en %1").arg(target.name())));
    c.endProgress();
    if (!found) return c.fail(found.error());
    if (found.value().pairs == 0)
        return c.fail(Error::reading(target.name(), QStringLiteral("ninguna de sus frases lleva el número de una "
                                                                   "frase de \"%1\"")
                                                        .arg(concordance.name())));
    if (found.value().withForm == 0)
        c.warn(QStringLiteral("la forma \"%1\" no está en \"%2\"").arg(form, concordance.name()));
    std::string out;
    char score[32];
    for (const Candidate& candidate : found.value().best) {
        std::snprintf(score, sizeof score, "%.2f", candidate.score);
        out += candidate.word + '\t' + score + '\t' + std::to_string(candidate.joint) + '\n';
    }
    c.write(out);
    return c.finishOutput();
}

int exportCommand(const CommandContext& c)
{
    const FileRef output = c.file(c.args.value("-o"));
    ExportFormat format = exportFormatOf(output.name());
    if (c.args.has("--format")) {
        const std::string value = c.args.value("--format");
        if (value != "tsv" && value != "csv")
            return usage(c, "export", "--format espera tsv o csv, no \"" + value + "\"");
        format = value == "csv" ? ExportFormat::Csv : ExportFormat::Tsv;
    }
    const FileRef source = c.file(c.args.operands[0]);
    const FileRef target = c.args.has("--target") ? c.file(c.args.value("--target")) : FileRef(QString());
    // Refused before anything is read.
    if (Status refused = refuseInputAsOutput(output, {source, target}); !refused) return c.fail(refused.error());

    CommandSearch searches;
    if (const int prepared = searches.prepare(c, "export", c.args.value("--target")); prepared != kOk) return prepared;
    Concordance concordance;
    if (!loadNumbered(c, concordance, c.args.operands[0])) return kFailed;
    const std::optional<size_t> found = searches.run(c, concordance, c.text(c.args.operands[1]));
    if (!found) return kFailed;
    if (*found > 0 && c.args.has("--sort-forms")) concordance.sortByForm();
    const Status exported = exportLines(output, ConcordanceLines::ofGrid(concordance.grid()), source, target,
                                        format, c.progress(QStringLiteral("Exportando %1").arg(output.name())));
    c.endProgress();
    return exported ? kOk : c.fail(exported.error());
}

} // namespace solandre::cli
