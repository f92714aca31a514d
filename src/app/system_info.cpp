// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/system_info.h"

#include "common/cp1252.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <cstdint>

namespace solandre {
namespace {

const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kToolValue = QStringLiteral("PATH");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kFolderValue = QStringLiteral("MSINFO");

} // namespace

QString registryValueText(const RegistryValue& value)
{
    std::string bytes = value.bytes;
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    if (value.type == 1) return fromCp1252(bytes);
    if (value.type == 4 && value.bytes.size() >= 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.bytes[size_t(i)]);
        return QString::number(number);
    }
    return {};
}

std::optional<QString> GetKeyValue(Desktop& desktop, const QString& key, const QString& valueName)
{
    const auto value = desktop.registry.read(key, valueName);
    if (!value) return std::nullopt;
    return registryValueText(*value);
}

bool StartSysInfo(Desktop& desktop, QWidget* parent)
{
    QString path;
    if (const auto tool = GetKeyValue(desktop, kToolKey, kToolValue)) {
        path = *tool;
    } else if (const auto folder = GetKeyValue(desktop, kFolderKey, kFolderValue)) {
        const QString candidate = *folder + QStringLiteral("\\MSINFO32.EXE");
        if (desktop.launcher.fileExists(candidate)) path = candidate;
    }
    if (!path.isEmpty() && desktop.launcher.start(path)) return true;
    desktop.dialogs.message(
        parent, {QStringLiteral("Les informations système ne sont pas disponibles actuellement")});
    return false;
}

} // namespace solandre
