// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/index_cache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstring>
#include <future>

namespace solandre {
namespace {

constexpr char kMagic[8] = {'S', 'O', 'L', 'I', 'D', 'X', '0', '2'};

// The file: a header, then each array of the index, each at a multiple of 8.
struct Header {
    char magic[8];
    std::uint64_t textSize;
    std::int64_t textModified; // milliseconds since the epoch
    std::uint64_t textSample;  // see sampleOf
    std::uint64_t encoding;
    std::uint64_t words;
    std::uint64_t checksum;    // of the sections, one after the other
    struct Section {
        std::uint64_t offset, bytes;
    } sections[10];
};
enum Section { kSamples, kSegments, kForms, kFormChars, kPostingStart, kPostings, kRuns, kMarkerChars, kCutSlots, kCutBits };

std::uint64_t mix(std::uint64_t h, std::uint64_t v)
{
    h ^= v;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// Four lanes, so the loop is not one long chain of multiplications.
std::uint64_t checksumOf(const char* data, size_t size)
{
    std::uint64_t lanes[4] = {1, 2, 3, 4};
    size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        for (int k = 0; k < 4; ++k) {
            std::uint64_t v;
            std::memcpy(&v, data + i + 8 * k, 8);
            lanes[k] = (lanes[k] ^ v) * 0x9E3779B97F4A7C15ull;
        }
    }
    std::uint64_t h = size;
    for (std::uint64_t lane : lanes) h = mix(h, lane);
    for (; i < size; ++i) h = mix(h, static_cast<unsigned char>(data[i]));
    return h;
}

// Two threads: the checksum of a big cache must not eat the time it saves.
std::uint64_t checksumInTwo(const char* data, size_t size)
{
    if (size < (size_t(16) << 20)) return checksumOf(data, size);
    const size_t half = (size / 2) & ~size_t(31);
    auto second = std::async(std::launch::async, [&] { return checksumOf(data + half, size - half); });
    return mix(checksumOf(data, half), second.get());
}

// A look at the text's content: its head, its tail and 62 pieces between.
std::uint64_t sampleOf(std::string_view text)
{
    constexpr size_t kPiece = 4096;
    std::uint64_t h = text.size();
    if (text.size() <= 64 * kPiece) return mix(h, checksumOf(text.data(), text.size()));
    for (size_t k = 0; k < 64; ++k) {
        const size_t at = (text.size() - kPiece) / 63 * k;
        h = mix(h, checksumOf(text.data() + at, kPiece));
    }
    return h;
}

template <class T> std::string_view bytesOf(std::span<const T> s)
{
    return {reinterpret_cast<const char*>(s.data()), s.size_bytes()};
}

qint64 modifiedOf(const QString& path)
{
    return QFileInfo(path).lastModified().toMSecsSinceEpoch();
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

QString IndexCache::fileFor(const TextFile& text) const
{
    if (text.file().isStandardStream() || text.name().isEmpty() || folder_.isEmpty()) return {};
    if (qint64(text.text().size()) < smallest_) return {};
    const QString path = QFileInfo(text.name()).canonicalFilePath();
    if (path.isEmpty()) return {};
    const QByteArray key = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex();
    return folder_ + QLatin1Char('/') + QString::fromLatin1(key) + QStringLiteral(".idx");
}

std::optional<WordIndex> IndexCache::load(const TextFile& text) const
{
    const QString path = fileFor(text);
    if (path.isEmpty()) return std::nullopt;
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly) || file->size() < qint64(sizeof(Header))) return std::nullopt;
    const uchar* mapped = file->map(0, file->size());
    if (!mapped) return std::nullopt;
    const char* base = reinterpret_cast<const char*>(mapped);
    const size_t size = size_t(file->size());
    Header header;
    std::memcpy(&header, base, sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.textSize != text.text().size() ||
        header.textModified != modifiedOf(text.name()) ||
        header.encoding != std::uint64_t(text.encoding()) || header.textSample != sampleOf(text.text()))
        return std::nullopt;
    for (const auto& section : header.sections)
        if (section.offset % 8 != 0 || section.offset < sizeof header || section.offset > size ||
            section.bytes > size - section.offset)
            return std::nullopt;
    std::uint64_t checksum = 0;
    for (const auto& section : header.sections)
        checksum = mix(checksum, checksumInTwo(base + section.offset, section.bytes));
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
    index.seen_.assign((x.words_ + 63) / 64, 0);
    // Used now: the last to be dropped when the folder is full.
    file->setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return index;
}

bool IndexCache::store(const TextFile& text, const WordIndex& index) const
{
    const QString path = fileFor(text);
    if (path.isEmpty() || !QDir().mkpath(folder_)) return false;
    std::lock_guard lock(writingFile_);
    const std::string_view parts[] = {bytesOf(index.samples_),      bytesOf(index.segments_),
                                      bytesOf(index.forms_),        index.formChars_,
                                      bytesOf(index.postingStart_), bytesOf(index.postings_),
                                      bytesOf(index.runs_),         index.markerChars_,
                                      bytesOf(index.cutSlots_),     bytesOf(index.cutBits_)};
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.textSize = text.text().size();
    header.textModified = modifiedOf(text.name());
    header.textSample = sampleOf(text.text());
    header.encoding = std::uint64_t(text.encoding());
    header.words = index.words_;
    std::uint64_t offset = sizeof header;
    for (size_t s = 0; s < std::size(parts); ++s) {
        header.sections[s] = {offset, parts[s].size()};
        header.checksum = mix(header.checksum, checksumInTwo(parts[s].data(), parts[s].size()));
        offset += (parts[s].size() + 7) / 8 * 8;
    }
    // Written straight from the index, with no copy of it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    const char zeros[8] = {};
    for (const std::string_view part : parts) {
        file.write(part.data(), qint64(part.size()));
        file.write(zeros, qint64((8 - part.size() % 8) % 8));
    }
    if (!file.commit()) return false;

    // Keep the folder small: the indexes used longest ago go first.
    QFileInfoList kept = QDir(folder_).entryInfoList({QStringLiteral("*.idx")}, QDir::Files, QDir::Time);
    for (qsizetype k = kept_; k < kept.size(); ++k) QFile::remove(kept[k].filePath());
    return true;
}

} // namespace solandre
