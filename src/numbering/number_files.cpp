// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbering/number_files.h"

#include "common/same_file.h"
#include "common/text_file.h"
#include "numbering/numbering_engine.h"

#include <QFileInfo>

namespace solandre {
namespace {

QString tooBig() { return QStringLiteral("el texto numerado pasaría de 4 GB y no se podría buscar en él"); }

Status refuseCollisions(const std::vector<NumberingJob>& jobs)
{
    for (size_t k = 0; k < jobs.size(); ++k) {
        for (size_t other = 0; other < jobs.size(); ++other) {
            Status refused = refuseInputAsOutput(jobs[k].output, {jobs[other].input});
            if (refused && other != k)
                refused = refuseInputAsOutput(jobs[k].output, {jobs[other].output});
            if (!refused) return refused;
        }
    }
    return success();
}

} // namespace

Result<std::vector<NumberedCopy>> numberFiles(const std::vector<NumberingJob>& jobs,
                                              const Progress& progress)
{
    if (Status refused = refuseCollisions(jobs); !refused) return refused.error();
    std::vector<TextFile> texts;
    double total = 0;
    for (const NumberingJob& job : jobs) {
        if (!job.input.isStandardStream() && QFileInfo(job.input.name()).size() > kMaxNumberedBytes)
            return Error::reading(job.input.name(), tooBig());
        Result<TextFile> text = TextFile::open(job.input);
        if (!text) return text.error();
        total += double(text.value().text().size());
        texts.push_back(std::move(text.value()));
    }

    std::vector<SafeFileWriter> writers;
    std::vector<NumberedCopy> copies;
    double done = 0;
    for (size_t k = 0; k < jobs.size(); ++k) {
        Result<SafeFileWriter> writer = SafeFileWriter::open(jobs[k].output);
        if (!writer) return writer.error();
        writers.push_back(std::move(writer.value()));
        SafeFileWriter& out = writers.back();
        const TextFile& text = texts[k];
        out.write(text.mark());
        qint64 written = qint64(text.mark().size());
        bool cancelled = false;
        const auto records = numberText(
            text.text(), text.encoding(),
            [&](std::string_view piece) {
                written += qint64(piece.size());
                if (written <= kMaxNumberedBytes) out.write(piece);
            },
            [&](size_t read) {
                text.release(read);
                cancelled = !goOn(progress, total > 0 ? (done + double(read)) / total : 1.0);
                return !cancelled && written <= kMaxNumberedBytes && !out.stopped();
            });
        if (cancelled) return Error::cancelledByUser();
        if (written > kMaxNumberedBytes) return Error::writing(jobs[k].output.name(), tooBig());
        done += double(text.text().size());
        texts[k] = TextFile(); // one mapping at a time
        copies.push_back({jobs[k].output.name(), records.value_or(0)});
    }
    std::vector<SafeFileWriter*> all;
    for (SafeFileWriter& writer : writers) all.push_back(&writer);
    if (Status committed = commitTogether(all); !committed) return committed.error();
    return copies;
}

Result<NumberedCopy> numberFile(const FileRef& input, const FileRef& output, const Progress& progress)
{
    auto copies = numberFiles({{input, output}}, progress);
    if (!copies) return copies.error();
    return copies.value().front();
}

} // namespace solandre
