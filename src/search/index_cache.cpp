// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/index_cache.h"

#include "common/page_memory.h"
#include "search/cache_folder.h"
#include "search/text_key.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstring>
#include <vector>

namespace solandre {
namespace {

constexpr char kMagic[8] = {'S', 'O', 'L', 'I', 'D', 'X', '0', '2'};

// The file: a header, then each array of the index, each at a multiple of 8.
struct Header {
    char magic[8];
    // The text's key (see text_key.h).
    std::uint64_t device, inode, size;
    std::int64_t modifiedNs, changedNs;
    std::uint64_t encoding;
    std::uint64_t sample;
    std::uint64_t checkWhole;
    std::uint64_t whole;
    std::uint64_t words;
    std::uint64_t checksum; // of the sections, one after the other
    struct Section {
        std::uint64_t offset, bytes;
    } sections[10];
};
enum Section { kSamples, kSegments, kForms, kFormChars, kPostingStart, kPostings, kRuns, kMarkerChars, kCutSlots, kCutBits };

void putKey(Header& header, const TextKey& key)
{
    header.device = key.stamp.device;
    header.inode = key.stamp.inode;
    header.size = key.stamp.size;
    header.modifiedNs = key.stamp.modifiedNs;
    header.changedNs = key.stamp.changedNs;
    header.encoding = key.encoding;
    header.sample = key.sample;
    header.checkWhole = key.checkWhole;
    header.whole = key.whole;
}

TextKey keyOf(const Header& header)
{
    TextKey key;
    key.stamp.device = header.device;
    key.stamp.inode = header.inode;
    key.stamp.size = header.size;
    key.stamp.modifiedNs = header.modifiedNs;
    key.stamp.changedNs = header.changedNs;
    key.encoding = header.encoding;
    key.sample = header.sample;
    key.checkWhole = header.checkWhole != 0;
    key.whole = header.whole;
    return key;
}

template <class T> std::string_view bytesOf(std::span<const T> s)
{
    return {reinterpret_cast<const char*>(s.data()), s.size_bytes()};
}

QString nameFor(const TextFile& text)
{
    const QString path = QFileInfo(text.name()).canonicalFilePath();
    if (path.isEmpty()) return {};
    const QByteArray key = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QString::fromLatin1(key) + QStringLiteral(".idx");
}

} // namespace

IndexCache::IndexCache(QString folder, qint64 smallest, int kept)
    : folder_(std::move(folder)), smallest_(smallest), kept_(kept)
{
}

IndexCache::~IndexCache()
{
    if (writer_.joinable()) writer_.join();
}

void IndexCache::storeLater(const TextFile& text, const WordIndex& index)
{
    if (fileFor(text).isEmpty()) return;
    std::lock_guard lock(starting_);
    if (writer_.joinable()) writer_.join();
    // Copies share the text's mapping and the index's arrays.
    writer_ = std::thread([this, text, index] { store(text, index); });
}

IndexCache& IndexCache::forUser()
{
    // One folder for the desktop program and the command line.
    static IndexCache cache(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                            QStringLiteral("/solandre/indices"));
    return cache;
}

QString IndexCache::nameFor(const TextFile& text) const
{
    if (text.file().isStandardStream() || text.name().isEmpty() || folder_.isEmpty() || !text.stamp()) return {};
    if (qint64(text.text().size()) < smallest_) return {};
    return solandre::nameFor(text);
}

QString IndexCache::fileFor(const TextFile& text) const
{
    const QString name = nameFor(text);
    return name.isEmpty() ? QString() : folder_ + QLatin1Char('/') + name;
}

std::optional<WordIndex> IndexCache::load(const TextFile& text) const
{
    const QString name = nameFor(text);
    if (name.isEmpty()) return std::nullopt;
    const std::optional<CacheFolder> folder = CacheFolder::open(folder_, false);
    if (!folder) return std::nullopt;
    const std::shared_ptr<const MappedFile> file = folder->map(name);
    if (!file || file->size < sizeof(Header)) return std::nullopt;
    const char* base = file->data;
    const size_t size = file->size;
    Header header;
    std::memcpy(&header, base, sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || !keyOf(header).describes(text))
        return std::nullopt;
    for (const auto& section : header.sections)
        if (section.offset % 8 != 0 || section.offset < sizeof header || section.offset > size ||
            section.bytes > size - section.offset)
            return std::nullopt;
    std::uint64_t checksum = 0;
    for (const auto& section : header.sections)
        checksum = mixChecksums(checksum, checksumOf(base + section.offset, section.bytes));
    if (checksum != header.checksum) return std::nullopt;

    WordIndex index;
    auto view = [&](Section s, auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        return std::span<const T>(reinterpret_cast<const T*>(base + header.sections[s].offset),
                                  header.sections[s].bytes / sizeof(T));
    };
    auto chars = [&](Section s) {
        return std::string_view(base + header.sections[s].offset, header.sections[s].bytes);
    };
    index.text_ = text.text();
    index.encoding_ = text.encoding();
    index.words_ = header.words;
    index.samples_ = view(kSamples, (std::uint32_t*)nullptr);
    index.segments_ = view(kSegments, (WordIndex::Segment*)nullptr);
    index.forms_ = view(kForms, (WordIndex::Span*)nullptr);
    index.formChars_ = chars(kFormChars);
    index.postingStart_ = view(kPostingStart, (std::uint32_t*)nullptr);
    index.postings_ = view(kPostings, (WordId*)nullptr);
    index.runs_ = view(kRuns, (WordIndex::Run*)nullptr);
    index.markerChars_ = chars(kMarkerChars);
    index.cutSlots_ = view(kCutSlots, (std::uint32_t*)nullptr);
    index.cutBits_ = view(kCutBits, (std::uint64_t*)nullptr);
    // What the queries rely on, read once: a damaged file is refused, never
    // followed out of bounds.
    const auto& x = index;
    if (x.postingStart_.size() != x.forms_.size() + 1 || x.postings_.size() != x.words_ ||
        (x.words_ > 0 && (x.segments_.empty() || x.runs_.empty() || x.samples_.empty())))
        return std::nullopt;
    for (size_t r = 0; r < x.forms_.size(); ++r)
        if (x.postingStart_[r] > x.postingStart_[r + 1] ||
            size_t(x.forms_[r].offset) + x.forms_[r].length > x.formChars_.size())
            return std::nullopt;
    if (!x.postingStart_.empty() && x.postingStart_.back() != x.words_) return std::nullopt;
    for (const WordIndex::Run& run : x.runs_)
        if (run.first >= std::max<size_t>(x.words_, 1) ||
            size_t(run.offset) + run.length > (run.owned ? x.markerChars_.size() : x.text_.size()))
            return std::nullopt;
    for (const std::uint32_t sample : x.samples_)
        if (sample >= x.text_.size()) return std::nullopt;
    for (const WordIndex::Segment& segment : x.segments_)
        if (segment.firstWord > x.words_ || segment.firstSample > x.samples_.size()) return std::nullopt;
    if (!x.cutSlots_.empty() && x.cutSlots_.size() != x.text_.size() / WordIndex::kCutBlock + 1) return std::nullopt;
    for (const std::uint32_t slot : x.cutSlots_)
        if (slot > x.cutBits_.size() / (WordIndex::kCutBlock / 64)) return std::nullopt;
    index.storage_ = file;
    index.mapped_ = true;
    // Checked: the pages of the index and the samples of the text go back,
    // and come again from the files as searches read them, so that what
    // stays resident follows the searches, not the texts opened.
    detail::releasePages(file->data, file->size);
    text.release(text.text().size());
    return index;
}

bool IndexCache::store(const TextFile& text, const WordIndex& index) const
{
    const QString name = nameFor(text);
    const std::optional<TextKey> key = TextKey::of(text);
    if (name.isEmpty() || !key) return false;
    std::lock_guard lock(writingFile_);
    const std::optional<CacheFolder> folder = CacheFolder::open(folder_, true);
    if (!folder) return false;
    const std::string_view parts[] = {bytesOf(index.samples_),      bytesOf(index.segments_),
                                      bytesOf(index.forms_),        index.formChars_,
                                      bytesOf(index.postingStart_), bytesOf(index.postings_),
                                      bytesOf(index.runs_),         index.markerChars_,
                                      bytesOf(index.cutSlots_),     bytesOf(index.cutBits_)};
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    putKey(header, *key);
    header.words = index.words_;
    std::uint64_t offset = sizeof header;
    for (size_t s = 0; s < std::size(parts); ++s) {
        header.sections[s] = {offset, parts[s].size()};
        header.checksum = mixChecksums(header.checksum, checksumOf(parts[s].data(), parts[s].size()));
        offset += (parts[s].size() + 7) / 8 * 8;
    }
    // Written straight from the index, with no copy of it.
    static const char zeros[8] = {};
    std::vector<std::string_view> pieces{{reinterpret_cast<const char*>(&header), sizeof header}};
    for (const std::string_view part : parts) {
        pieces.push_back(part);
        pieces.emplace_back(zeros, (8 - part.size() % 8) % 8);
    }
    if (!folder->write(name, pieces)) return false;
    // Keep the folder small: the indexes used longest ago go first.
    // Trimming lists the whole folder: not after every store of a collection's thousand texts.
    if (kept_ != kKeepAll) folder->keepLastUsed(kept_, QStringLiteral(".idx"));
    return true;
}

} // namespace solandre
