// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/study_commands.h"

#include "cli/collection_commands.h"
#include "cli/search_commands.h"
#include "common/same_file.h"
#include "search/concordance.h"
#include "study/candidates.h"
#include "study/export_file.h"

#include <charconv>

namespace solandre::cli {

const CommandSpec kCandidatesCommand{
    "candidates", "NUMERADO NUMERADO_META BÚSQUEDA", "propone traducciones de una forma o una frase",
    "Busca BÚSQUEDA (escrita como en search) en el texto numerado y lista las\n"
    "palabras de las frases traducidas (las del mismo número en NUMERADO_META)\n"
    "que van con ella mucho más a menudo que por azar, de la mejor a la peor. Tras\n"
    "una línea de títulos, una línea por palabra con las columnas de la ventana,\n"
    "separadas por tabuladores: la palabra en minúsculas, su puntuación, su razón\n"
    "de verosimilitud G² sobre todos los pares de frases, el número de pares que\n"
    "tienen a la vez la búsqueda y la palabra y el de pares que tienen la palabra.\n"
    "La puntuación es G² multiplicada por el logaritmo de lo rara que es la palabra\n"
    "en la traducción: una palabra que está en casi todas las frases (un artículo,\n"
    "una preposición) no pasa por delante de la traducción. Las palabras de una\n"
    "sola letra no se proponen. Sirve para cualquier par numerado; cuanto mejor\n"
    "alineado, mejores las propuestas. --with y --without miran NUMERADO_META.\n"
    "Si en lugar de los dos textos se da una CARPETA, es una colección (véase\n"
    "\"solandre-cli search --help\"): cada par trae su propia traducción, los\n"
    "recuentos de todos los pares se suman y las palabras se clasifican una sola\n"
    "vez sobre toda la colección, con las mismas columnas; --with y --without\n"
    "miran la traducción de cada par.",
    {{"--top", "N", "cuántas palabras (10 por omisión)"},
     kRegexOption,
     kWithOption,
     kWithoutOption,
     {"--source-lang", "LENGUA", "en una colección, la lengua de origen de los pares de textos por lengua"}},
    2, 3, "CARPETA BÚSQUEDA"};

const CommandSpec kExportCommand{
    "export", "NUMERADO BÚSQUEDA", "exporta las líneas de una búsqueda para una hoja de cálculo",
    "Escribe, para cada ocurrencia de BÚSQUEDA (escrita como en search), una\n"
    "línea con la forma (o las palabras halladas), la referencia, el contexto\n"
    "izquierdo, el contexto derecho, su frase y la frase del mismo número del\n"
    "texto meta. TSV o CSV en UTF-8 con marca de orden de bytes, o una hoja de\n"
    "cálculo .xlsx. Un campo con el separador, comillas o saltos de línea va entre\n"
    "comillas; en CSV, un campo que empieza por =, +, -, @, un tabulador o un\n"
    "retorno de carro lleva delante un apóstrofo, para que la hoja de cálculo lo\n"
    "muestre como texto y no lo ejecute como fórmula (TSV lo deja tal cual). En\n"
    ".xlsx cada texto es una celda de texto, nunca una fórmula. El fichero no puede\n"
    "ser uno de los textos.\n"
    "Si NUMERADO es una carpeta, es una colección (véase \"solandre-cli search\n"
    "--help\"): las ocurrencias de todos sus pares, cada línea con una primera\n"
    "columna, Texto, que nombra su par, y la frase traducida de ese mismo par;\n"
    "--with y --without miran esa traducción, sin --target. El fichero no puede ser\n"
    "uno de los ficheros de la colección.",
    {{"-o", "FICHERO", "el fichero que se escribe (\"-\": la salida estándar)", true},
     {"--target", "NUMERADO_META", "el texto meta numerado"},
     {"--format", "tsv|csv|xlsx",
      "el formato (por omisión, xlsx o csv si FICHERO acaba en .xlsx o .csv; si no, tsv)"},
     {"--sort-forms", nullptr, "ordena por forma y luego por referencia"},
     kSourceLangOption,
     kRegexOption,
     kWithOption,
     kWithoutOption},
    2, 2};

namespace {

// Why no pair has the form: under a condition on the translation, the form
// may well be there, only not in a sentence the condition keeps.
QString noneWithTheForm(const CommandContext& c, const QString& form, const QString& where)
{
    if (c.args.has("--with") || c.args.has("--without"))
        return QStringLiteral("ninguna frase de \"%1\" tiene \"%2\" con una traducción que %3 \"%4\"")
            .arg(where, form,
                 c.args.has("--with") ? QStringLiteral("contenga") : QStringLiteral("no contenga"),
                 c.text(c.args.value(c.args.has("--with") ? "--with" : "--without")));
    return QStringLiteral("la forma \"%1\" no está en \"%2\"").arg(form, where);
}

int usage(const CommandContext& c, const char* command, const std::string& problem)
{
    c.err << "solandre-cli: " << command << ": " << problem << "; véase \"solandre-cli " << command
          << " --help\"\n";
    return kUsage;
}

// The header line, then a candidate a line, the cells separated by tabs.
int printCandidates(const CommandContext& c, const CandidateList& list)
{
    std::string out;
    auto line = [&out](const auto& cells) {
        for (const auto& cell : cells) (out += cell) += '\t';
        out.back() = '\n';
    };
    line(kCandidateHeader);
    for (const Candidate& candidate : list.best) line(candidateCells(candidate));
    c.write(out);
    return c.finishOutput();
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
    const bool collection = namesCollection(c);
    if (collection && c.args.operands.size() > 2)
        return usage(c, "candidates", "con una carpeta, la búsqueda sigue a la carpeta: candidates CARPETA BÚSQUEDA");
    if (!collection && c.args.operands.size() < 3)
        return usage(c, "candidates", std::string("faltan argumentos: candidates ") + kCandidatesCommand.operands);
    const QString form = c.text(c.args.operands.back());
    if (form.trimmed().isEmpty())
        return c.fail(Error{QStringLiteral("candidates: la forma está vacía; escriba la palabra de la que busca "
                                           "traducciones")});
    if (collection) {
        if (c.args.has("--with") && c.args.has("--without"))
            return usage(c, "candidates", "--with y --without no van juntas");
        const std::optional<CandidateList> found = candidatesOfCollection(c, form, top);
        if (!found) return kFailed;
        if (found->withForm == 0) {
            c.warn(noneWithTheForm(c, form, c.text(c.args.operands[0])));
            return c.finishOutput();
        }
        return printCandidates(c, *found);
    }
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
    if (found.value().withForm == 0) {
        // Nothing to list, not even its titles: the reason alone, on stderr.
        c.warn(noneWithTheForm(c, form, concordance.name()));
        return c.finishOutput();
    }
    return printCandidates(c, found.value());
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
    if (namesCollection(c)) return exportCollectionCommand(c, format);
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
    c.warnIfNotNumbered(target);
    const Status exported = exportLines(output, ConcordanceLines::ofGrid(concordance.grid()), source, target,
                                        format, c.progress(QStringLiteral("Exportando %1").arg(output.name())));
    c.endProgress();
    return exported ? kOk : c.fail(exported.error());
}

} // namespace solandre::cli
