// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/system_reason.h"

#include <utility>

namespace solandre {

QString systemReasonInSpanish(const QString& reason)
{
    // The texts of strerror (glibc) and of Qt's own file engine for the
    // failures a user meets; longer texts first, so none is cut by a shorter.
    static const std::pair<const char*, const char*> kReasons[] = {
        {"file to open is a directory", "es una carpeta, no un fichero"},
        {"No such file or directory", "no existe ningún fichero o carpeta con ese nombre"},
        {"No space left on device", "no queda espacio en el disco"},
        {"Read-only file system", "el sistema de ficheros es de solo lectura"},
        {"Disk quota exceeded", "se ha superado la cuota de disco"},
        {"Operation not permitted", "operación no permitida"},
        {"Too many open files", "hay demasiados ficheros abiertos"},
        {"Input/output error", "error de entrada/salida"},
        {"Permission denied", "permiso denegado"},
        {"File name too long", "el nombre del fichero es demasiado largo"},
        {"Not a directory", "una parte de la ruta no es una carpeta"},
        {"Is a directory", "es una carpeta, no un fichero"},
        {"File too large", "el fichero es demasiado grande"},
        {"Device or resource busy", "el dispositivo está ocupado"},
        {"No such device or address", "no existe ese dispositivo"},
        {"Unknown error", "error desconocido"},
    };
    QString spanish = reason;
    for (const auto& [english, translated] : kReasons)
        spanish.replace(QLatin1String(english), QString::fromUtf8(translated), Qt::CaseInsensitive);
    return spanish;
}

} // namespace solandre
