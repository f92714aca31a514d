// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/result.h"

#include "common/system_reason.h"

namespace solandre {

Error Error::reading(const QString& path, const QString& reason)
{
    return {QStringLiteral("No se puede leer el fichero \"%1\": %2").arg(path, systemReasonInSpanish(reason))};
}

Error Error::writing(const QString& path, const QString& reason)
{
    return {QStringLiteral("No se puede escribir el fichero \"%1\": %2").arg(path, systemReasonInSpanish(reason))};
}

Error Error::cancelledByUser()
{
    return {QStringLiteral("Operación cancelada"), true};
}

} // namespace solandre
