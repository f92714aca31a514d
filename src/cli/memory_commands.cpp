// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/memory_commands.h"

#include "tmx/language_tag.h"
#include "tmx/memory_export.h"
#include "tmx/memory_import.h"

#include <optional>

namespace solandre::cli {

const CommandSpec kPairCommand{
    "pair", "ENTRADA SALIDA_ORIGEN SALIDA_META",
    "hace de una memoria TMX o de una tabla bilingüe un par numerado",
    "Lee una memoria de traducción TMX (versiones 1.1 a 1.4b, UTF-8 o UTF-16 según\n"
    "declare) o una tabla con una fila por par (origen, tabulador, meta; UTF-8 o\n"
    "Windows-1252) y escribe el par numerado: la unidad o fila k es el registro\n"
    "\"[k] \" de los dos ficheros, sin marcas ni saltos de línea, con \"[\" y \"]\"\n"
    "escritos \"<\" y \">\". Una unidad sin una de las dos lenguas da un registro vacío\n"
    "en ese lado. Por omisión, la lengua de origen es la de la cabecera de la memoria\n"
    "y la meta la primera otra lengua encontrada; \"es\" toma también \"es-ES\".\n"
    "Los ficheros se escriben en UTF-8 con marca, o en Windows-1252 si la entrada lo\n"
    "estaba y todo cabe; un fallo en la entrada no deja nada escrito, y los dos se\n"
    "reemplazan a la vez. Lo que es la entrada lo dice su contenido (XML: memoria;\n"
    "lo demás: tabla), o --format. ENTRADA puede ser \"-\", una tubería o una FIFO:\n"
    "se lee una sola vez.",
    {{"--source-lang", "LENGUA", "la lengua de origen de la memoria (BCP 47: es, en-GB, ...)"},
     {"--target-lang", "LENGUA", "la lengua meta de la memoria"},
     {"--format", "tmx|tsv", "lee ENTRADA como memoria TMX o como tabla, diga lo que diga su contenido"}},
    3, 3};

const CommandSpec kTmxCommand{
    "tmx", "NUMERADO_ORIGEN NUMERADO_META",
    "hace de un par numerado una memoria de traducción TMX",
    "Escribe una memoria de traducción TMX 1.4b en UTF-8: una unidad por par de\n"
    "registros (el registro k de cada texto), salvo los pares vacíos de los dos\n"
    "lados. Si un texto tiene más registros que el otro, los que sobran dan unidades\n"
    "de un solo lado. Para emparejar antes las frases, véase \"solandre-cli align\".",
    {{"-o", "SALIDA.tmx", "la memoria que se escribe (no puede ser uno de los textos)", true},
     {"--source-lang", "LENGUA", "la lengua del texto de origen, p. ej. es", true},
     {"--target-lang", "LENGUA", "la lengua del texto meta, p. ej. fr", true}},
    2, 2};

namespace {

int usage(const CommandContext& c, const char* command, const std::string& problem)
{
    c.err << "solandre-cli: " << command << ": " << problem << "; véase \"solandre-cli " << command
          << " --help\"\n";
    return kUsage;
}

// The languages of the options, which must be language tags.
std::optional<std::string> badLanguage(const CommandContext& c)
{
    for (const char* option : {"--source-lang", "--target-lang"})
        if (c.args.has(option) && !canonicalLanguageTag(c.text(c.args.value(option))))
            return std::string(option) + ": " + malformedLanguageTag(c.text(c.args.value(option))).toStdString();
    return std::nullopt;
}

} // namespace

int pairCommand(const CommandContext& c)
{
    if (const auto bad = badLanguage(c)) return usage(c, "pair", *bad);
    std::optional<MemoryFormat> format;
    if (c.args.has("--format")) {
        const std::string value = c.args.value("--format");
        if (value != "tmx" && value != "tsv") return usage(c, "pair", "--format espera tmx o tsv, no \"" + value + "\"");
        format = value == "tmx" ? MemoryFormat::Tmx : MemoryFormat::Table;
    }
    const TmxLanguageChoice languages{c.text(c.args.value("--source-lang")),
                                      c.text(c.args.value("--target-lang"))};
    const auto imported = importMemory(c.file(c.args.operands[0]), c.file(c.args.operands[1]),
                                       c.file(c.args.operands[2]), languages,
                                       c.progress(QStringLiteral("Leyendo")), format);
    c.endProgress();
    if (!imported) return c.fail(imported.error());
    const MemoryImport& pair = imported.value();
    const auto side = [&](qint64 count, const QString& language, const QString& which) {
        return QStringLiteral("%1 sin texto %2%3").arg(count).arg(which,
                                                                   language.isEmpty() ? QString()
                                                                                      : " (" + language + ")");
    };
    if (pair.unitsWithoutSource > 0 || pair.unitsWithoutTarget > 0) {
        const QString what = pair.format == MemoryFormat::Tmx ? QStringLiteral("unidades") : QStringLiteral("filas");
        QStringList parts;
        if (pair.unitsWithoutSource > 0)
            parts << side(pair.unitsWithoutSource, pair.sourceLanguage, QStringLiteral("de origen"));
        if (pair.unitsWithoutTarget > 0)
            parts << side(pair.unitsWithoutTarget, pair.targetLanguage, QStringLiteral("meta"));
        c.warn(QStringLiteral("de %1 %2, %3: sus registros quedan vacíos en ese lado")
                   .arg(pair.units)
                   .arg(what, parts.join(QStringLiteral(", "))));
    }
    return kOk;
}

int tmxCommand(const CommandContext& c)
{
    if (const auto bad = badLanguage(c)) return usage(c, "tmx", *bad);
    const MemoryLanguages languages{c.text(c.args.value("--source-lang")), c.text(c.args.value("--target-lang"))};
    const auto written = exportNumberedPair(c.file(c.args.operands[0]), c.file(c.args.operands[1]),
                                            c.file(c.args.value("-o")), languages,
                                            c.progress(QStringLiteral("Escribiendo")));
    c.endProgress();
    if (!written) return c.fail(written.error());
    if (written.value().sourceRecords != written.value().targetRecords)
        c.warn(QStringLiteral("los textos no tienen el mismo número de registros (%1 y %2): las unidades "
                              "siguen el orden de los registros")
                   .arg(written.value().sourceRecords)
                   .arg(written.value().targetRecords));
    return kOk;
}

} // namespace solandre::cli
