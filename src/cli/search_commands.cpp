// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/search_commands.h"

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
    "es un registro \"[n] frase\" seguido de CR LF. SALIDA no puede ser ENTRADA; un\n"
    "fichero que no es un texto (PDF, Word, ...) se rechaza sin escribir nada.",
    {}, 2, 2};

const CommandSpec kSearchCommand{
    "search", "NUMERADO FORMA [FORMA ...]", "lista las ocurrencias de formas en un texto numerado",
    "Lista, para cada FORMA, sus ocurrencias en el texto numerado: la palabra tal\n"
    "como está escrita, un tabulador y la referencia de su frase; después la línea\n"
    "del total. Sin distinguir mayúsculas; FORMA puede llevar un \"*\" (cant*, *mente,\n"
    "c*o). El texto se lee e indexa una sola vez para todas las formas.\n"
    "Con --frequencies, en lugar de las ocurrencias, cada forma distinta en\n"
    "minúsculas, un tabulador y su número de ocurrencias, de la más frecuente a la\n"
    "menos (por orden alfabético con --sort-forms); la salida estándar tiene solo\n"
    "la lista, para sort o awk, y la línea del total va a la salida de errores.",
    {{"--sort-forms", nullptr, "ordena por forma y luego por referencia (el botón \"Formas\")"},
     {"--count", nullptr, "muestra solo los totales"},
     {"--frequencies", nullptr, "cada forma distinta con su número de ocurrencias"}},
    2, kMany};

const CommandSpec kSaveCommand{
    "save", "NUMERADO FORMA", "escribe el fichero de resultados de una búsqueda",
    "Escribe el fichero de resultados de FORMA como lo guarda la ventana de búsqueda:\n"
    "título, fecha, la lista de ocurrencias y, para cada una, su frase y la frase\n"
    "del mismo número del texto meta. El fichero no puede ser uno de los textos.",
    {{"-o", "RESULTADOS", "el fichero que se escribe (\"-\": la salida estándar)", true},
     {"--target", "NUMERADO_META", "el texto meta numerado"},
     {"--title", "TEXTO", "el título de la búsqueda"},
     {"--date", "TEXTO", "la fecha escrita (por omisión, ahora)"},
     {"--sort-forms", nullptr, "ordena por forma y luego por referencia"}},
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
    if (!concordance.looksNumbered()) c.warn(notNumberedWarning(concordance.name()));
    return true;
}

int searchCommand(const CommandContext& c)
{
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
        const size_t count = concordance.search(typed);
        if (countOnly) {
            // the total line alone
        } else if (frequencies) {
            std::vector<FormFrequency> list = countForms(grid);
            sortFrequencies(list, c.args.has("--sort-forms") ? FrequencyOrder::Alphabetical : FrequencyOrder::ByCount);
            for (const FormFrequency& form : list) {
                buffer += std::string(concordance.index().lowerForm(form.rank)) + '\t' + std::to_string(form.count) + '\n';
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
    const FileRef output = c.file(c.args.value("-o"));
    const FileRef target = c.args.has("--target") ? c.file(c.args.value("--target")) : FileRef(QString());
    // Refused before anything is read.
    if (Status refused = refuseInputAsOutput(output, {c.file(c.args.operands[0]), target}); !refused)
        return c.fail(refused.error());

    Concordance concordance;
    if (!loadNumbered(c, concordance, c.args.operands[0])) return kFailed;
    if (concordance.search(c.text(c.args.operands[1])) > 0 && c.args.has("--sort-forms"))
        concordance.sortByForm();
    const QString date = c.args.has("--date") ? c.text(c.args.value("--date"))
                                              : formatSearchDate(QDateTime::currentDateTime());
    const ResultsHeading heading =
        makeHeading(kPreparedTextsPrefixes, c.text(c.args.value("--title")), date);
    const Status saved = saveResultsFile(output, concordance, target, heading,
                                         c.progress(QStringLiteral("Guardando %1").arg(output.name())));
    c.endProgress();
    return saved ? kOk : c.fail(saved.error());
}

} // namespace solandre::cli
