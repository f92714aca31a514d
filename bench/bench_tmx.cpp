// SPDX-License-Identifier: GPL-3.0-or-later
// Converts a generated translation memory (1 GB unless a size is given, e.g.
// "bench_tmx 200M") and prints how long reading the file once takes, how long
// the conversion takes (the memory made a numbered pair, both files written),
// their ratio and the peak memory of the process. Both are timed twice: with
// the file in the system's cache, where reading it is a memory copy, and with
// the file dropped from the cache first, where it comes from the disk.
#include "measure.h"
#include "tmx/memory_import.h"

#include <QFileInfo>

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace solandre;

namespace {

// Parses "1G", "300M", "64K" or a plain number of bytes.
qint64 parseSize(const char* text)
{
    char* rest = nullptr;
    const double value = std::strtod(text, &rest);
    qint64 unit = 1;
    if (*rest == 'G' || *rest == 'g') unit = 1000 * 1000 * 1000;
    else if (*rest == 'M' || *rest == 'm') unit = 1000 * 1000;
    else if (*rest == 'K' || *rest == 'k') unit = 1000;
    return qint64(value * double(unit));
}

class Random {
public:
    uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return uint32_t(state_ >> 16);
    }
    uint32_t below(uint32_t n) { return next() % n; }

private:
    uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

const char* const kEnglish[] = {
    "the", "contract", "shall", "be", "signed", "by", "both", "parties", "within", "thirty", "days",
    "of", "receipt", "and", "any", "amendment", "must", "in", "writing", "supplier", "delivers",
    "goods", "to", "warehouse", "according", "schedule", "agreed", "price", "includes", "taxes",
    "Council", "Regulation", "Member", "States", "Commission", "report", "annual", "budget"};
const char* const kSpanish[] = {
    "el", "contrato", "deberá", "ser", "firmado", "por", "ambas", "partes", "en", "un", "plazo",
    "de", "treinta", "días", "desde", "recepción", "y", "cualquier", "modificación", "constará",
    "escrito", "proveedor", "entregará", "las", "mercancías", "almacén", "según", "calendario",
    "acordado", "precio", "incluye", "impuestos", "Consejo", "Reglamento", "Estados", "miembros",
    "Comisión", "informe", "año", "pequeño", "señal"};

template <size_t N> void appendSentence(std::string& out, Random& random, const char* const (&words)[N])
{
    const uint32_t length = 8 + random.below(22);
    for (uint32_t i = 0; i < length; ++i) {
        if (i > 0) out += ' ';
        const uint32_t r = random.below(100);
        if (r == 0) out += "&amp; ";
        else if (r == 1) out += "<ph x=\"1\">{1}</ph> ";
        else if (r == 2) out += "<bpt i=\"1\">&lt;b&gt;</bpt>";
        else if (r == 3) out += "<ept i=\"1\">&lt;/b&gt;</ept> ";
        out += words[random.below(N)];
    }
    out += '.';
}

// Units as a translation tool exports them, with dates and authors.
bool generate(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    std::string chunk =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tmx SYSTEM \"tmx14.dtd\">\n"
        "<tmx version=\"1.4\">\n  <header creationtool=\"Generator\" creationtoolversion=\"1\" "
        "segtype=\"sentence\" o-tmf=\"x\" adminlang=\"en-US\" srclang=\"en-US\" "
        "datatype=\"plaintext\"/>\n  <body>\n";
    chunk.reserve((1 << 20) + 4096);
    Random random;
    qint64 written = 0;
    for (qint64 unit = 0; written + qint64(chunk.size()) < size; ++unit) {
        chunk += "    <tu creationdate=\"20190312T101122Z\" creationid=\"TRANSLATOR\" "
                 "changedate=\"20190313T091530Z\" changeid=\"REVIEWER\" tuid=\"";
        chunk += std::to_string(unit);
        chunk += "\">\n";
        if (unit % 10 == 0) chunk += "      <prop type=\"x-Domain\">Legal</prop>\n";
        chunk += "      <tuv xml:lang=\"en-US\">\n        <seg>";
        appendSentence(chunk, random, kEnglish);
        chunk += "</seg>\n      </tuv>\n      <tuv xml:lang=\"es-ES\">\n        <seg>";
        appendSentence(chunk, random, kSpanish);
        chunk += "</seg>\n      </tuv>\n    </tu>\n";
        if (chunk.size() >= (1 << 20)) {
            if (file.write(chunk.data(), qint64(chunk.size())) != qint64(chunk.size())) return false;
            written += qint64(chunk.size());
            chunk.clear();
        }
    }
    chunk += "  </body>\n</tmx>\n";
    if (file.write(chunk.data(), qint64(chunk.size())) != qint64(chunk.size()) || !file.flush()) return false;
    return ::fsync(file.handle()) == 0; // written pages cannot be dropped from the cache
}

// Drops the file from the system's cache, so that the next read comes from
// the disk. Only this file's pages go.
bool dropFromCache(const QString& path)
{
#if defined(POSIX_FADV_DONTNEED)
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool dropped = ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
#else
    (void)path;
    return false;
#endif
}

double readOnce(const QString& path, qint64& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    std::unique_ptr<char[]> buffer(new char[1 << 20]);
    bytes = 0;
    return bench::timeIt([&] {
        for (qint64 n; (n = file.read(buffer.get(), 1 << 20)) > 0;) bytes += n;
    });
}

double convert(const QString& path, qint64& segmentBytes, qint64& units)
{
    const QString source = path + ".es.txt", target = path + ".en.txt";
    std::optional<decltype(importMemory(path, source, target))> summary;
    const double seconds = bench::timeIt([&] { summary.emplace(importMemory(path, source, target)); });
    if (!*summary) {
        std::fprintf(stderr, "%s\n", qPrintable(summary->error().message));
        return -1;
    }
    units = summary->value().units;
    segmentBytes = QFileInfo(source).size() + QFileInfo(target).size();
    QFile::remove(source);
    QFile::remove(target);
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const qint64 size = argc > 1 ? parseSize(argv[1]) : qint64(1000) * 1000 * 1000;
    QTemporaryDir dir;
    const QString path = dir.filePath("memory.tmx");
    bool generated = false;
    const double generating = bench::timeIt([&] { generated = generate(path, size); });
    if (!generated) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("generated %.1f MB in %.1f s; peak memory so far %.0f MB\n", double(QFile(path).size()) / 1e6,
                generating, bench::peakMemoryMb());

    qint64 bytes = 0, segmentBytes = 0, units = 0;
    struct Timing {
        double read = 1e9;
        double conversion = 1e9;
        double lowestRatio = 1e9; // of conversion to read within one round
        double highestRatio = 0;
    };
    // Best of a few rounds: the machine may be busy with other work.
    auto measure = [&](const char* label, int rounds, bool cold) -> std::optional<Timing> {
        Timing best;
        for (int round = 0; round < rounds; ++round) {
            if (cold && !dropFromCache(path)) return std::nullopt;
            const double read = readOnce(path, bytes);
            if (cold && !dropFromCache(path)) return std::nullopt;
            const double conversion = convert(path, segmentBytes, units);
            if (read < 0 || conversion < 0) return std::nullopt;
            std::printf("  %s, round %d: read %.3f s, conversion %.3f s (%.2fx)\n", label, round + 1, read,
                        conversion, conversion / read);
            best.read = std::min(best.read, read);
            best.conversion = std::min(best.conversion, conversion);
            best.lowestRatio = std::min(best.lowestRatio, conversion / read);
            best.highestRatio = std::max(best.highestRatio, conversion / read);
        }
        return best;
    };
    const auto warm = measure("file in the cache", 3, false);
    if (!warm) return 1;
    const auto cold = measure("file from the disk", 2, true);

    std::printf("%.1f MB, %lld units, %.1f MB of numbered pair\n", double(bytes) / 1e6, units, double(segmentBytes) / 1e6);
    auto report = [&](const char* label, const Timing& t) {
        std::printf("%-20s reading once %.3f s (%5.0f MB/s), conversion %.3f s (%4.0f MB/s), ratio %.2f "
                    "(%.2f to %.2f within a round)\n",
                    label, t.read, double(bytes) / 1e6 / t.read, t.conversion, double(bytes) / 1e6 / t.conversion,
                    t.conversion / t.read, t.lowestRatio, t.highestRatio);
    };
    report("file in the cache:", *warm);
    if (cold) report("file from the disk:", *cold);
    else std::printf("file from the disk:  not measured (the file could not be dropped from the cache)\n");
    std::printf("peak memory:         %.1f MB\n", bench::peakMemoryMb());
    QFile::remove(path);
    return 0;
}
