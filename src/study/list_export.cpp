// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/list_export.h"

namespace solandre {

bool writeFrequencies(SheetWriter& sheet, const WordIndex& index, const std::vector<FormFrequency>& list,
                      const Progress& progress)
{
    for (const char* title : kFrequencyHeader) sheet.text(title);
    sheet.endRow();
    for (size_t k = 0; k < list.size(); ++k) {
        if (k % 4096 == 0 && !goOn(progress, double(k) / double(list.size()))) return false;
        sheet.text(index.lowerForm(list[k].rank)); // the vocabulary's forms are UTF-8
        sheet.number(double(list[k].count), 0);
        sheet.endRow();
    }
    return goOn(progress, 1.0);
}

void writeCandidates(SheetWriter& sheet, const CandidateList& list)
{
    for (const char* title : kCandidateHeader) sheet.text(title);
    sheet.endRow();
    for (const Candidate& c : list.best) {
        sheet.text(c.word);
        sheet.number(c.score, 2);
        sheet.number(c.g2, 2);
        sheet.number(double(c.joint), 0);
        sheet.number(double(c.inTarget), 0);
        sheet.endRow();
    }
}

Status exportFrequencies(const FileRef& output, const WordIndex& index, const std::vector<FormFrequency>& list,
                         ExportFormat format, const Progress& progress)
{
    auto sheet = openSheet(output, format);
    if (!sheet) return sheet.error();
    if (!writeFrequencies(*sheet.value(), index, list, progress)) return Error::cancelledByUser();
    return sheet.value()->commit();
}

Status exportCandidates(const FileRef& output, const CandidateList& list, ExportFormat format)
{
    auto sheet = openSheet(output, format);
    if (!sheet) return sheet.error();
    writeCandidates(*sheet.value(), list);
    return sheet.value()->commit();
}

} // namespace solandre
