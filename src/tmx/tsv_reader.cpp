// SPDX-License-Identifier: GPL-3.0-or-later
#include "tmx/tsv_reader.h"

#include "tmx/device_reader.h"
#include "tmx/segment_text.h"

#include <cstring>
#include <memory>

namespace solandre {
namespace {

constexpr size_t kChunk = size_t(1) << 20;
constexpr size_t kQuoteSearch = size_t(1) << 20;
constexpr size_t kMaxRow = size_t(16) << 20;

struct Field {
    enum class Stop { Tab, LineEnd, FileEnd };
    const char* begin; // content, without the quotes
    const char* end;
    bool quoted;
    Stop stop;
    const char* next; // after the TAB or line break
};

class TsvReading {
public:
    TsvReading(QIODevice& device, TableEncoding encoding, const SegmentPairSink& sink)
        : device_(device), encoding_(encoding), sink_(sink), buffer_(new char[kChunk]), capacity_(kChunk)
    {
    }

    // Returns the device's complaint, if any.
    std::optional<QString> run()
    {
        while (end_ - begin_ < 3 && fill()) {
        }
        if (error_) return error_;
        if (encoding_ == TableEncoding::Utf8 && end_ - begin_ >= 3 &&
            std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0)
            begin_ += 3;
        while (!summary_.stopped) {
            if (begin_ == end_ && ended_) break;
            if (readRow()) continue;
            // A row is held whole: one that never ends must not take all memory.
            if (size_t(end_ - begin_) > kMaxRow)
                return QStringLiteral("la fila %1 pasa de %2 MB").arg(summary_.rows + 1).arg(kMaxRow >> 20);
            if (!fill() && error_) return error_;
        }
        return std::nullopt;
    }

    const TsvSummary& summary() const { return summary_; }

private:
    // Moves the unread bytes to the front and reads more; false if none came.
    bool fill()
    {
        if (ended_) return false;
        char* base = buffer_.get();
        const size_t kept = size_t(end_ - begin_);
        std::memmove(base, begin_, kept);
        if (capacity_ - kept < kChunk / 4) {
            std::unique_ptr<char[]> larger(new char[capacity_ * 2]);
            std::memcpy(larger.get(), base, kept);
            buffer_ = std::move(larger);
            capacity_ *= 2;
            base = buffer_.get();
        }
        begin_ = base;
        end_ = base + kept;
        const qint64 n = device_.read(end_, capacity_ - kept);
        if (n > 0) {
            end_ += n;
            return true;
        }
        if (n < 0) error_ = QStringLiteral("error de lectura: %1").arg(device_.errorString());
        ended_ = true;
        return false;
    }

    // Reads the row at begin_ if the buffer holds all of it.
    bool readRow()
    {
        const char* p = begin_;
        pair_.source.clear();
        pair_.target.clear();
        pair_.hasSource = true;
        pair_.hasTarget = false;
        for (int index = 0;; ++index) {
            Field field;
            if (!readField(p, field)) return false;
            std::string& out = index == 0 ? pair_.source : pair_.target;
            if (index > 1) out.push_back(' '); // the TAB before it
            append(out, field);
            p = field.next;
            if (field.stop != Field::Stop::Tab) break;
            pair_.hasTarget = true;
        }
        begin_ = const_cast<char*>(p);
        ++summary_.rows;
        summary_.rowsWithoutTab += !pair_.hasTarget;
        if (!sink_(pair_)) summary_.stopped = true;
        return true;
    }

    bool readField(const char* p, Field& field) const
    {
        if (p < end_ && *p == '"') {
            const char* limit = size_t(end_ - p) > kQuoteSearch ? p + kQuoteSearch : end_;
            const char* q = p + 1;
            for (;;) {
                q = static_cast<const char*>(std::memchr(q, '"', size_t(limit - q)));
                if (!q) {
                    if (limit == end_ && !ended_) return false;
                    break; // no closing quote: taken as written
                }
                if (q + 1 == end_) {
                    if (!ended_) return false;
                    field = {p + 1, q, true, Field::Stop::FileEnd, q + 1};
                    return true;
                }
                if (q[1] == '"') {
                    q += 2;
                    // A doubled quote across the limit: no closing quote within it.
                    if (q >= limit) {
                        if (limit == end_ && !ended_) return false;
                        break;
                    }
                    continue;
                }
                if (q[1] == '\t' || q[1] == '\r' || q[1] == '\n') {
                    if (!stopAt(q + 1, field)) return false;
                    field.begin = p + 1;
                    field.end = q;
                    field.quoted = true;
                    return true;
                }
                break; // text after the closing quote: taken as written
            }
        }
        const char* q = p;
        while (q < end_ && *q != '\t' && *q != '\r' && *q != '\n') ++q;
        if (q == end_ && !ended_) return false;
        if (!stopAt(q, field)) return false;
        field.begin = p;
        field.end = q;
        field.quoted = false;
        return true;
    }

    // Fills in how the field ends at `q`: TAB, line break or end of file.
    bool stopAt(const char* q, Field& field) const
    {
        if (q == end_) {
            field.stop = Field::Stop::FileEnd;
            field.next = q;
        } else if (*q == '\t') {
            field.stop = Field::Stop::Tab;
            field.next = q + 1;
        } else {
            if (*q == '\r' && q + 1 == end_ && !ended_) return false; // an LF may follow
            field.stop = Field::Stop::LineEnd;
            field.next = q + (*q == '\r' && q + 1 < end_ && q[1] == '\n' ? 2 : 1);
        }
        return true;
    }

    void append(std::string& out, const Field& field)
    {
        std::string_view text(field.begin, size_t(field.end - field.begin));
        if (field.quoted) {
            unquoted_.clear();
            for (size_t i = 0; i < text.size(); ++i) {
                unquoted_.push_back(text[i]);
                if (text[i] == '"') ++i; // the second of a pair
            }
            text = unquoted_;
        }
        if (encoding_ == TableEncoding::Utf8) appendCleanUtf8(out, text);
        else appendCleanCp1252(out, text);
    }

    DeviceReader device_;
    const TableEncoding encoding_;
    const SegmentPairSink& sink_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_;
    char* begin_ = buffer_.get(); // the row being read
    char* end_ = buffer_.get();
    bool ended_ = false;
    std::optional<QString> error_;
    SegmentPair pair_;
    std::string unquoted_;
    TsvSummary summary_;
};

} // namespace

Result<TsvSummary> readTsv(QIODevice& device, const QString& fileName, TableEncoding encoding,
                              const SegmentPairSink& sink)
{
    TsvReading reading(device, encoding, sink);
    if (auto error = reading.run())
        return Error::reading(fileName, *error);
    return reading.summary();
}

} // namespace solandre
