// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows-1252 <-> Unicode with a table of our own: Qt's converters for this
// code page depend on how Qt was built. The five codes the code page leaves
// undefined map to the C1 controls of the same value, so every byte survives a
// round trip.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace solandre {

char16_t cp1252ToUnicode(unsigned char c);

// The byte for `u`, or '?' for a character the code page cannot hold.
unsigned char unicodeToCp1252(char16_t u);

QString fromCp1252(std::string_view bytes);
std::string toCp1252(QStringView text);

} // namespace solandre
