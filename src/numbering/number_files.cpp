#include "numbering/number_files.h"

#include "common/same_file.h"
#include "common/text_kind.h"
#include "numbering/numbering_engine.h"

namespace solandre {

Result<std::vector<NumberedCopy>> numberFiles(const std::vector<NumberingJob>& jobs)
{
    // Outputs against every input and every other output, before reading.
    for (size_t k = 0; k < jobs.size(); ++k) {
        for (size_t other = 0; other < jobs.size(); ++other) {
            Status refused = refuseInputAsOutput(jobs[k].output, {jobs[other].input});
            if (refused && other != k)
                refused = refuseInputAsOutput(jobs[k].output, {jobs[other].output});
            if (!refused) return refused.error();
        }
    }
    std::vector<Bytes> texts;
    for (const NumberingJob& job : jobs) {
        Result<Bytes> text = readWholeFile(job.input);
        if (!text) return text.error();
        if (Status isText = checkLooksLikeText(job.input.name(), text.value().view()); !isText)
            return isText.error();
        texts.push_back(std::move(text.value()));
    }

    std::vector<SafeFileWriter> writers;
    std::vector<NumberedCopy> copies;
    for (size_t k = 0; k < jobs.size(); ++k) {
        Result<SafeFileWriter> writer = SafeFileWriter::open(jobs[k].output);
        if (!writer) return writer.error();
        writers.push_back(std::move(writer.value()));
        SafeFileWriter& out = writers.back();
        const SentenceNumber records =
            numberText(texts[k].view(), [&](std::string_view piece) { out.write(piece); });
        texts[k] = Bytes(); // one text in memory at a time beside its copy
        copies.push_back({jobs[k].output.name(), records});
    }
    for (SafeFileWriter& writer : writers)
        if (Status committed = writer.commit(); !committed) return committed.error();
    return copies;
}

Result<NumberedCopy> numberFile(const FileRef& input, const FileRef& output)
{
    auto copies = numberFiles({{input, output}});
    if (!copies) return copies.error();
    return copies.value().front();
}

} // namespace solandre
