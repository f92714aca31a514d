#pragma once
// Files are read whole, as bytes, and written through a temporary file that
// replaces the target only once it is complete and committed: a failure at any
// point leaves an existing file as it was and no temporary file behind. A
// target that is a device or a pipe has no content to keep and is written
// straight, never replaced by a file.

#include "common/bytes.h"
#include "common/result.h"

#include <QString>
#include <memory>
#include <string_view>

class QFileDevice;

namespace solandre {

Result<Bytes> readWholeFile(const QString& path);

// Writes a file in pieces; nothing reaches the target unless commit() succeeds.
// Dropping an uncommitted writer discards what was written.
class SafeFileWriter {
public:
    static Result<SafeFileWriter> open(const QString& path);
    SafeFileWriter(SafeFileWriter&&) noexcept;
    SafeFileWriter& operator=(SafeFileWriter&&) noexcept;
    ~SafeFileWriter();

    // After a failure, later writes do nothing and commit() reports it.
    void write(std::string_view bytes);
    Status commit();

private:
    explicit SafeFileWriter(const QString& path);

    QString path_;
    std::unique_ptr<QFileDevice> file_;
    bool direct_ = false;
    QString failure_;
};

Status writeFileSafely(const QString& path, std::string_view bytes);

} // namespace solandre
