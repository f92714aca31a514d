// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding and starting the system's information tool through the registry.

#include <QString>
#include <optional>

class QWidget;

namespace solandre {

struct Desktop;
struct RegistryValue;

// The value as text: a string less its closing NUL, a 32-bit number in
// decimal (read little-endian), nothing for any other type. Null when the
// value was not found.
std::optional<QString> GetKeyValue(Desktop& desktop, const QString& key, const QString& valueName);
QString registryValueText(const RegistryValue& value);

// Starts the tool; false (after the message) when it is not available.
bool StartSysInfo(Desktop& desktop, QWidget* parent);

} // namespace solandre
