// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/collection_commands.h"

#include "collection/collection_candidates.h"
#include "collection/collection_concordance.h"
#include "common/encoding.h"

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
    const Status loaded =
        concordance.load(listing.value(), store, c.progress(QStringLiteral("Indexando %1").arg(folder)));
    c.endProgress();
    if (!loaded) {
        c.fail(loaded.error());
        return false;
    }
    return true;
}

// The search the options ask for, without its query; nothing when they
// contradict one another (said).
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

} // namespace

bool namesCollection(const CommandContext& c)
{
    return !c.args.operands.empty() && isCollectionFolder(c.text(c.args.operands[0]));
}

int searchCollectionCommand(const CommandContext& c)
{
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
    SearchRequest request = *asked;
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
