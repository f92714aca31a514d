// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/result.h"
#include "common/system_reason.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

struct ReasonCase {
    const char* name;
    const char* reason;
    const char* spanish;
};

class SystemReason : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(SystemReason, ReadsInSpanish)
{
    const ReasonCase& c = GetParam();
    EXPECT_EQ(systemReasonInSpanish(QString::fromUtf8(c.reason)).toStdString(), c.spanish);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, SystemReason,
    ::testing::Values(
        ReasonCase{"Missing", "No such file or directory", "no existe ningún fichero o carpeta con ese nombre"},
        ReasonCase{"Denied", "Permission denied", "permiso denegado"},
        ReasonCase{"DiskFull", "No space left on device", "no queda espacio en el disco"},
        ReasonCase{"QtFolder", "file to open is a directory", "es una carpeta, no un fichero"},
        ReasonCase{"SystemFolder", "Is a directory", "es una carpeta, no un fichero"},
        ReasonCase{"PathThroughAFile", "Not a directory", "una parte de la ruta no es una carpeta"},
        ReasonCase{"SizeLimit", "File too large", "el fichero es demasiado grande"},
        ReasonCase{"LongName", "File name too long", "el nombre del fichero es demasiado largo"},
        ReasonCase{"InsideOurOwnWords", "no se puede guardar una copia de la entrada: No space left on device",
                   "no se puede guardar una copia de la entrada: no queda espacio en el disco"},
        ReasonCase{"AlreadySpanish", "No hay ningún fichero o directorio con ese nombre",
                   "No hay ningún fichero o directorio con ese nombre"},
        ReasonCase{"OurOwn", "no es un fichero de texto", "no es un fichero de texto"}),
    [](const ::testing::TestParamInfo<ReasonCase>& info) { return info.param.name; });

TEST(SystemReason, FileFailuresSayTheReasonInSpanish)
{
    EXPECT_EQ(Error::reading("a.txt", "No such file or directory").message.toStdString(),
              "No se puede leer el fichero \"a.txt\": no existe ningún fichero o carpeta con ese nombre");
    EXPECT_EQ(Error::writing("b.txt", "Permission denied").message.toStdString(),
              "No se puede escribir el fichero \"b.txt\": permiso denegado");
}

} // namespace
} // namespace solandre
