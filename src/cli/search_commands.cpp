// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/search_commands.h"

#include "cli/collection_commands.h"
#include "common/encoding.h"
#include "common/same_file.h"
#include "numbering/number_files.h"
#include "search/concordance.h"
#include "search/frequencies.h"
#include "search/results_file.h"

#include <QDateTime>

namespace solandre::cli {

const CommandSpec kNumberCommand{
    "number", "ENTRADA SALIDA", "numera las frases de un texto",
    "Numera las frases de ENTRADA y escribe la copia numerada en SALIDA: cada frase\n"
    "es un registro \"[n] frase\" que acaba en CR LF; una frase que ocupa varias\n"
    "líneas guarda en su registro los saltos de línea que tenía. SALIDA no puede\n"
    "ser ENTRADA; un fichero que no es un texto (PDF, Word, ...) se rechaza sin\n"
    "escribir nada.",
    {}, 2, 2};

const OptionSpec kRegexOption{"--regex", nullptr, "cada palabra de la búsqueda es una expresión regular"};
const OptionSpec kWithOption{"--with", "BÚSQUEDA",
                             "solo las ocurrencias cuya frase traducida contiene BÚSQUEDA"};
const OptionSpec kSourceLangOption{"--source-lang", "LENGUA",
                                   "en una colección, la lengua de origen de los pares de textos por lengua"};
const OptionSpec kWithoutOption{"--without", "BÚSQUEDA",
                                "solo las ocurrencias cuya frase traducida no contiene BÚSQUEDA"};

const char* const kQuerySyntaxHelp =
    "Una búsqueda es una forma o varias palabras seguidas, sin distinguir\n"
    "mayúsculas (los acentos sí cuentan):\n"
    "  casa             la forma casa\n"
    "  cant*  *mente    un \"*\": las formas que empiezan o acaban así\n"
    "  *ción*  re*ar*   varios \"*\": cualquier serie de letras en su lugar\n"
    "  ca?a             \"?\": una letra cualquiera\n"
    "  casa|hogar       \"|\": una forma u otra\n"
    "  a la vez         palabras seguidas en una misma frase, con lo que haya\n"
    "                   entre ellas (\"casa, del río\" vale por \"casa del río\")\n"
    "  llevar * cabo    \"*\" solo: una palabra cualquiera\n"
    "  casa|hogar del río\n"
    "Un signo que no es una letra separa las palabras como un espacio; una forma\n"
    "sola con un espacio o un signo (\"l'eau\") no se encuentra. Con --regex, cada\n"
    "palabra (separadas por espacios) es una expresión regular que debe\n"
    "abarcar la palabra entera: \"ca(s|n)a\", \"[a-z]+ción\", \"des?.*ar\".\n";

const CommandSpec kSearchCommand{
    "search", "NUMERADO BÚSQUEDA [BÚSQUEDA ...]", "lista las ocurrencias de formas o frases en un texto numerado",
    std::string("Lista, para cada BÚSQUEDA, sus ocurrencias en el texto numerado: la palabra\n"
                "(o las palabras) tal como está escrita, un tabulador y la referencia de su\n"
                "frase; después la línea del total. El texto se lee e indexa una sola vez\n"
                "para todas las búsquedas.\n"
                "Con --frequencies, en lugar de las ocurrencias, cada forma (o texto) distinta\n"
                "en minúsculas, un tabulador y su número de ocurrencias, de la más frecuente\n"
                "a la menos (por orden alfabético con --sort-forms); la salida estándar\n"
                "tiene solo la lista, para sort o awk, y la línea del total va a la salida\n"
                "de errores.\n"
                "Con --target y --with o --without, solo las ocurrencias cuya frase del\n"
                "mismo número en el texto meta tiene (o no tiene) lo que busca la otra\n"
                "búsqueda, escrita igual; para buscar en la traducción, nombre los textos al\n"
                "revés.\n"
                "Si NUMERADO es una carpeta, es una colección: sus pares numerados\n"
                "(NOMBRE_source_ref.txt y NOMBRE_cible_ref.txt), sus memorias (.tmx, .tsv) y\n"
                "sus pares de textos por lengua (NOMBRE.es.txt y NOMBRE.fr.txt) se buscan\n"
                "juntos; cada línea empieza por el nombre del par y un tabulador, --count da\n"
                "el total de cada par, y --with o --without miran la traducción de cada par\n"
                "sin --target. Lo que no forma parte de la colección se dice en la salida de\n"
                "errores.\n\n") + kQuerySyntaxHelp,
    {{"--sort-forms", nullptr, "ordena por forma y luego por referencia (el botón \"Formas\")"},
     kSourceLangOption,
     {"--count", nullptr, "muestra solo los totales"},
     {"--frequencies", nullptr, "cada forma distinta con su número de ocurrencias"},
     kRegexOption,
     {"--target", "NUMERADO_META", "el texto meta numerado, para --with y --without"},
     kWithOption,
     kWithoutOption},
    2, kMany};

const CommandSpec kSaveCommand{
    "save", "NUMERADO BÚSQUEDA", "escribe el fichero de resultados de una búsqueda",
    "Escribe el fichero de resultados de BÚSQUEDA como lo guarda la ventana de\n"
    "búsqueda: título, fecha, la lista de ocurrencias y, para cada una, su frase y\n"
    "la frase del mismo número del texto meta. El fichero no puede ser uno de los\n"
    "textos. BÚSQUEDA se escribe como en search (véase \"solandre-cli search --help\").\n"
    "Si NUMERADO es una carpeta, es una colección: la lista da el nombre del par de\n"
    "cada ocurrencia antes de su forma, y cada frase va precedida del nombre de su\n"
    "par y seguida de la frase traducida de ese mismo par; el título es, por\n"
    "omisión, la carpeta. El fichero no puede ser uno de los ficheros de la colección.",
    {{"-o", "RESULTADOS", "el fichero que se escribe (\"-\": la salida estándar)", true},
     {"--target", "NUMERADO_META", "el texto meta numerado"},
     {"--title", "TEXTO", "el título de la búsqueda"},
     {"--date", "TEXTO", "la fecha escrita (por omisión, ahora)"},
     {"--sort-forms", nullptr, "ordena por forma y luego por referencia"},
     kSourceLangOption,
     kRegexOption,
     kWithOption,
     kWithoutOption},
    2, 2};

int numberCommand(const CommandContext& c)
{
    const FileRef input = c.file(c.args.operands[0]);
    const auto copy = numberFile(input, c.file(c.args.operands[1]),
                                 c.progress(QStringLiteral("Numerando %1").arg(input.name())));
    c.endProgress();
    return copy ? kOk : c.fail(copy.error());
}

bool loadNumbered(const CommandContext& c, Concordance& concordance, const std::string& arg)
{
    const FileRef file = c.file(arg);
    const Status loaded = concordance.load(file, c.progress(QStringLiteral("Indexando %1").arg(file.name())),
                                           &IndexCache::forUser());
    c.endProgress();
    if (!loaded) {
        c.fail(loaded.error());
        return false;
    }
    if (!concordance.looksNumbered()) c.warn(notNumberedWarning(concordance.name(), NumberingRoad::CommandLine));
    return true;
}

int CommandSearch::prepare(const CommandContext& c, const char* command, const std::string& targetArg)
{
    syntax_ = c.args.has("--regex") ? QuerySyntax::RegularExpressions : QuerySyntax::Patterns;
    auto usage = [&](const std::string& problem) {
        c.err << "solandre-cli: " << command << ": " << problem << "; véase \"solandre-cli " << command
              << " --help\"\n";
        return int(kUsage);
    };
    const bool with = c.args.has("--with"), without = c.args.has("--without");
    if (with && without) return usage("--with y --without no van juntas");
    if (!with && !without) return kOk;
    if (targetArg.empty()) return usage(std::string(with ? "--with" : "--without") + " necesita --target NUMERADO_META");
    test_ = with ? TranslationTest::Contains : TranslationTest::Lacks;
    condition_ = c.text(c.args.value(with ? "--with" : "--without"));
    return loadNumbered(c, target_, targetArg) ? int(kOk) : int(kFailed);
}

std::optional<size_t> CommandSearch::run(const CommandContext& c, Concordance& source, const QString& typed)
{
    SearchRequest request{typed, syntax_, std::nullopt};
    if (test_) request.condition = TranslationCondition{*test_, condition_, &target_};
    Result<size_t> found = source.search(request);
    if (!found) {
        c.fail(found.error());
        return std::nullopt;
    }
    // A single form that can never be found says why, as the window does.
    if (source.lastQuery().singleForm() && !source.lastQuery().reading().isEmpty())
        c.warn(source.lastQuery().reading());
    return found.value();
}

int searchCommand(const CommandContext& c)
{
    if (namesCollection(c)) return searchCollectionCommand(c);
    CommandSearch searches;
    if (const int prepared = searches.prepare(c, "search", c.args.value("--target")); prepared != kOk) return prepared;
    Concordance concordance;
    if (!loadNumbered(c, concordance, c.args.operands[0])) return kFailed;
    const ResultGrid& grid = concordance.grid();
    const bool countOnly = c.args.has("--count");
    const bool frequencies = c.args.has("--frequencies");

    std::string buffer;
    // False once the reader has gone.
    auto flushed = [&] {
        if (buffer.size() < (1u << 20)) return true;
        const bool written = c.write(buffer);
        buffer.clear();
        return written;
    };
    for (size_t f = 1; f < c.args.operands.size(); ++f) {
        const QString typed = c.text(c.args.operands[f]);
        const std::optional<size_t> found = searches.run(c, concordance, typed);
        if (!found) {
            c.write(buffer);
            return kFailed;
        }
        const size_t count = *found;
        if (countOnly) {
            // the total line alone
        } else if (frequencies) {
            std::vector<FormFrequency> list = countForms(grid);
            sortFrequencies(list, c.args.has("--sort-forms") ? FrequencyOrder::Alphabetical : FrequencyOrder::ByCount);
            for (const FormFrequency& form : list) {
                buffer += std::string(frequencyText(concordance.index(), form)) + '\t' + std::to_string(form.count) + '\n';
                if (!flushed()) return c.finishOutput();
            }
        } else {
            if (c.args.has("--sort-forms") && count > 0) concordance.sortByForm();
            for (size_t row = 1; row <= count; ++row) {
                appendAsUtf8(buffer, grid.text(row, 0), grid.encoding());
                buffer += '\t';
                appendAsUtf8(buffer, grid.text(row, 1), grid.encoding());
                buffer += '\n';
                if (!flushed()) return c.finishOutput();
            }
        }
        const std::string total =
            "Total de ocurrencia(s) para : " + typed.toStdString() + " = " + std::to_string(count) + "\n";
        if (frequencies && !countOnly) {
            // Only the list on the standard output: scripts read it as it is.
            if (!c.write(buffer)) return c.finishOutput();
            buffer.clear();
            c.err << total << std::flush;
        } else {
            buffer += total;
        }
    }
    c.write(buffer);
    return c.finishOutput();
}

int saveCommand(const CommandContext& c)
{
    if (namesCollection(c)) return saveCollectionCommand(c);
    const FileRef output = c.file(c.args.value("-o"));
    const FileRef target = c.args.has("--target") ? c.file(c.args.value("--target")) : FileRef(QString());
    // Refused before anything is read.
    if (Status refused = refuseInputAsOutput(output, {c.file(c.args.operands[0]), target}); !refused)
        return c.fail(refused.error());

    CommandSearch searches;
    if (const int prepared = searches.prepare(c, "save", c.args.value("--target")); prepared != kOk) return prepared;
    Concordance concordance;
    if (!loadNumbered(c, concordance, c.args.operands[0])) return kFailed;
    const std::optional<size_t> found = searches.run(c, concordance, c.text(c.args.operands[1]));
    if (!found) return kFailed;
    if (*found > 0 && c.args.has("--sort-forms")) concordance.sortByForm();
    const QString date = c.args.has("--date") ? c.text(c.args.value("--date"))
                                              : formatSearchDate(QDateTime::currentDateTime());
    const ResultsHeading heading =
        makeHeading(kPreparedTextsPrefixes, c.text(c.args.value("--title")), date);
    c.warnIfNotNumbered(target);
    const Status saved = saveResultsFile(output, concordance, target, heading,
                                         c.progress(QStringLiteral("Guardando %1").arg(output.name())));
    c.endProgress();
    return saved ? kOk : c.fail(saved.error());
}

} // namespace solandre::cli
