// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the translation-memory tests: reading from bytes, a device that
// hands its bytes over a few at a time, and QXmlStreamReader as a second
// opinion on the same bytes.

#include "tmx/tmx_reader.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace solandre {

// Lets gtest print segments and pairs readably.
void PrintTo(const SegmentPair& pair, std::ostream* os);
bool operator==(const SegmentPair& a, const SegmentPair& b);

namespace testing {

// Serves `bytes` at most `step` bytes per read, like a slow pipe, so that
// every chunk boundary of the readers gets crossed. With step 0 it is a
// device with random access that gives as much as asked, like a file.
class TrickleDevice : public QIODevice {
public:
    TrickleDevice(QByteArray bytes, qint64 step);
    bool isSequential() const override { return sequential_; }
    // Fails every read once `position` bytes have been served.
    void failFrom(qint64 position) { failFrom_ = position; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    qint64 step_;
    qint64 position_ = 0;
    qint64 failFrom_ = -1;
    bool sequential_;
};

struct TmxReading {
    std::vector<SegmentPair> pairs;
    TmxSummary summary;
    std::string error; // empty when the reading succeeded
};

// Reads `bytes` as the file "m.tmx", whole (step 0) or `step` bytes per device read.
TmxReading readTmxBytes(const QByteArray& bytes, const TmxLanguageChoice& languages = {}, qint64 step = 0);

// A pair as the readers give it.
SegmentPair pair(const std::string& source, const std::string& target);
SegmentPair sourceOnly(const std::string& source);
SegmentPair targetOnly(const std::string& target);

// QXmlStreamReader's verdict on the bytes (namespaces off, as in our
// tokenizer): its error message, or nothing for a well-formed document.
std::optional<QString> oracleError(const QByteArray& bytes);

// The units of a TMX as QXmlStreamReader reads it: per <tu> of the body, the
// first <seg> of each language, with native codes dropped and the cleaning
// of segments done independently here.
using OracleUnit = std::map<std::string, std::string>;
std::vector<OracleUnit> oracleUnits(const QByteArray& bytes);

// The cleaning of segments, written once more over QString for the tests.
QString cleanedForTest(const QString& text);

QByteArray utf16(const QByteArray& utf8, bool littleEndian, bool byteOrderMark);

} // namespace testing
} // namespace solandre
