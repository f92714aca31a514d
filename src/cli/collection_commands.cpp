// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/collection_commands.h"

#include "collection/collection_candidates.h"
#include "collection/collection_concordance.h"
#include "collection/collection_output.h"
#include "common/encoding.h"
#include "study/sheet.h"

#include <QDateTime>
#include <optional>

namespace solandre::cli {
namespace {

// Opens the collection and indexes it, saying on stderr what was set aside.
bool openCollection(const CommandContext& c, CollectionStore& store, CollectionConcordance& concordance)
{
    const QString folder = c.text(c.args.operands[0]);
    auto listing = listCollection(folder, store, c.progress(QStringLiteral("Abriendo %1").arg(folder)),
                                  c.args.has("--source-lang") ? c.text(c.args.value("--source-lang")) : QString());
    c.endProgress();
    if (!listing) {
        c.fail(listing.error());
        return false;
    }
    for (const SetAside& aside : listing.value().setAside)
        c.warn(QStringLiteral("apartado: %1: %2").arg(aside.path, aside.reason));
    // Nothing to search is a failure, not a count of nothing.
    if (listing.value().pairs.empty()) {
        c.fail(Error{QStringLiteral("La carpeta \"%1\" no contiene ningún par de textos").arg(folder)});
        return false;
    }
    const Status loaded =
        concordance.load(listing.value(), store, c.progress(QStringLiteral("Indexando %1").arg(folder)));
    c.endProgress();
    if (!loaded) {
        c.fail(loaded.error());
        return false;
    }
    return true;
}

// The query of a command's options; nothing, the usage told, when they
// do not go together.
std::optional<SearchRequest> requestOf(const CommandContext& c, const char* command)
{
    SearchRequest request;
    request.syntax = c.args.has("--regex") ? QuerySyntax::RegularExpressions : QuerySyntax::Patterns;
    if (c.args.has("--with") && c.args.has("--without")) {
        c.err << "solandre-cli: " << command << ": --with y --without no van juntas; véase \"solandre-cli "
              << command << " --help\"\n";
        return std::nullopt;
    }
    // Each pair's own translation, indexed when the search needs it.
    for (const char* option : {"--with", "--without"})
        if (c.args.has(option))
            request.condition = TranslationCondition{
                std::string(option) == "--with" ? TranslationTest::Contains : TranslationTest::Lacks,
                c.text(c.args.value(option)), nullptr};
    return request;
}

// Each pair brings its own translation: a --target would be silently ignored.
bool refusesTarget(const CommandContext& c, const char* command)
{
    if (!c.args.has("--target")) return false;
    c.err << "solandre-cli: " << command << ": en una colección cada par tiene su traducción; quite --target; "
          << "véase \"solandre-cli " << command << " --help\"\n";
    return true;
}

// What export and save share: the options checked, the collection opened,
// the output refused when it names a file of the collection, the query
// searched. kOk when `concordance` holds the hits to write.
int searchForOutput(const CommandContext& c, const char* command, CollectionStore& store,
                    CollectionConcordance& concordance)
{
    if (refusesTarget(c, command)) return kUsage;
    std::optional<SearchRequest> request = requestOf(c, command);
    if (!request) return kUsage;
    if (!openCollection(c, store, concordance)) return kFailed;
    if (Status refused = refuseCollectionText(c.file(c.args.value("-o")), concordance); !refused)
        return c.fail(refused.error());
    request->typed = c.text(c.args.operands[1]);
    const Result<size_t> found = concordance.search(*request);
    if (!found) return c.fail(found.error());
    if (found.value() > 0 && c.args.has("--sort-forms")) concordance.sortByForm();
    return kOk;
}

} // namespace

bool namesCollection(const CommandContext& c)
{
    return !c.args.operands.empty() && isCollectionFolder(c.text(c.args.operands[0]));
}

int searchCollectionCommand(const CommandContext& c)
{
    if (refusesTarget(c, "search")) return kUsage;
    CollectionStore store(c.text(c.args.operands[0]));
    CollectionConcordance concordance;
    if (!openCollection(c, store, concordance)) return kFailed;
    const bool countOnly = c.args.has("--count");
    const bool frequencies = c.args.has("--frequencies");

    std::string buffer;
    auto flushed = [&] {
        if (buffer.size() < (1u << 20)) return true;
        const bool written = c.write(buffer);
        buffer.clear();
        return written;
    };
    std::optional<SearchRequest> asked = requestOf(c, "search");
    if (!asked) return kUsage;
    SearchRequest& request = *asked;
    for (size_t q = 1; q < c.args.operands.size(); ++q) {
        const QString query = c.text(c.args.operands[q]);
        request.typed = query;
        const Result<size_t> found = concordance.search(request);
        if (!found) return c.fail(found.error());
        const size_t count = found.value();
        if (countOnly) {
            const std::vector<size_t> counts = concordance.countsPerMember();
            for (size_t m = 0; m < counts.size(); ++m)
                buffer += concordance.nameOf(m).toStdString() + '\t' + std::to_string(counts[m]) + '\n';
        } else if (frequencies) {
            const FrequencyOrder order =
                c.args.has("--sort-forms") ? FrequencyOrder::Alphabetical : FrequencyOrder::ByCount;
            for (const auto& f : concordance.frequencies(order)) {
                buffer += f.form + '\t' + std::to_string(f.count) + '\n';
                if (!flushed()) return c.finishOutput();
            }
        } else {
            if (c.args.has("--sort-forms")) concordance.sortByForm();
            for (size_t k = 0; k < count; ++k) {
                buffer += concordance.nameOf(concordance.hit(k).member).toStdString() + '\t';
                appendAsUtf8(buffer, concordance.form(k), concordance.encodingOf(k));
                buffer += '\t';
                appendAsUtf8(buffer, concordance.marker(k), concordance.encodingOf(k));
                buffer += '\n';
                if (!flushed()) return c.finishOutput();
            }
        }
        buffer += "Total de ocurrencia(s) para : " + query.toStdString() + " = " + std::to_string(count) + "\n";
    }
    c.write(buffer);
    return c.finishOutput();
}

int exportCollectionCommand(const CommandContext& c, ExportFormat format)
{
    CollectionStore store(c.text(c.args.operands[0]));
    CollectionConcordance concordance;
    if (const int searched = searchForOutput(c, "export", store, concordance); searched != kOk) return searched;
    const FileRef output = c.file(c.args.value("-o"));
    const Status exported = exportCollection(output, concordance, format,
                                             c.progress(QStringLiteral("Exportando %1").arg(output.name())));
    c.endProgress();
    return exported ? kOk : c.fail(exported.error());
}

int saveCollectionCommand(const CommandContext& c)
{
    CollectionStore store(c.text(c.args.operands[0]));
    CollectionConcordance concordance;
    if (const int searched = searchForOutput(c, "save", store, concordance); searched != kOk) return searched;
    const QString date = c.args.has("--date") ? c.text(c.args.value("--date"))
                                              : formatSearchDate(QDateTime::currentDateTime());
    const QString title = c.args.has("--title") ? c.text(c.args.value("--title")) : c.text(c.args.operands[0]);
    const FileRef output = c.file(c.args.value("-o"));
    const Status saved = saveCollectionResults(output, concordance, makeHeading(kCollectionPrefixes, title, date),
                                               c.progress(QStringLiteral("Guardando %1").arg(output.name())));
    c.endProgress();
    return saved ? kOk : c.fail(saved.error());
}

std::optional<CandidateList> candidatesOfCollection(const CommandContext& c, const QString& query, size_t top)
{
    std::optional<SearchRequest> request = requestOf(c, "candidates");
    if (!request) return std::nullopt;
    request->typed = query;
    CollectionStore store(c.text(c.args.operands[0]));
    CollectionConcordance concordance;
    if (!openCollection(c, store, concordance)) return std::nullopt;
    const Result<size_t> found = concordance.search(*request);
    if (!found) {
        c.fail(found.error());
        return std::nullopt;
    }
    Result<CandidateList> list = collectionCandidates(
        concordance, top, c.progress(QStringLiteral("Contando en %1").arg(c.text(c.args.operands[0]))));
    c.endProgress();
    if (!list) {
        c.fail(list.error());
        return std::nullopt;
    }
    return std::move(list.value());
}

} // namespace solandre::cli
