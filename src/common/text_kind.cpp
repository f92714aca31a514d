// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_kind.h"

namespace solandre {
namespace {

// What a binary file looks like, from its signature; empty when unknown.
QString lookalike(std::string_view head)
{
    if (head.starts_with("%PDF-")) return QStringLiteral("parece un documento PDF");
    if (head.starts_with(std::string_view("PK\x03\x04", 4))) {
        if (head.find("application/vnd.oasis.opendocument") != std::string_view::npos)
            return QStringLiteral("parece un documento OpenDocument");
        if (head.find("word/") != std::string_view::npos)
            return QStringLiteral("parece un documento de Word");
        return QStringLiteral("parece un archivo comprimido ZIP");
    }
    if (head.starts_with(std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
        return QStringLiteral("parece un documento de Word antiguo");
    return {};
}

bool startsWithUtf16Mark(std::string_view head)
{
    return head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF");
}

} // namespace

Status checkLooksLikeText(const QString& name, std::string_view head)
{
    head = head.substr(0, kTextCheckBytes);
    const QString looksLike = lookalike(head);
    const bool binary = !looksLike.isEmpty() ||
                        (head.find('\0') != std::string_view::npos && !startsWithUtf16Mark(head));
    if (!binary) return success();
    QString reason = QStringLiteral("no es un fichero de texto");
    if (!looksLike.isEmpty()) reason += QStringLiteral("; ") + looksLike;
    return Error::reading(name, reason);
}

} // namespace solandre
