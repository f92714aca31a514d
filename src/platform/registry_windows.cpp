// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows registry, read under HKEY_LOCAL_MACHINE.
#include "platform/qt_desktop.h"

#include <windows.h>

namespace solandre {
namespace {

class WindowsRegistry final : public SystemRegistry {
public:
    std::optional<RegistryValue> read(const QString& key, const QString& valueName) override
    {
        HKEY handle = nullptr;
        const QByteArray keyName = key.toLocal8Bit();
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.constData(), 0, 0x2003F, &handle) !=
            ERROR_SUCCESS)
            return {};
        RegistryValue value;
        char buffer[1024] = {};
        DWORD size = sizeof buffer;
        const QByteArray name = valueName.toLocal8Bit();
        const LONG status = RegQueryValueExA(handle, name.constData(), nullptr, &value.type,
                                             reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(handle);
        if (status != ERROR_SUCCESS) return {};
        value.bytes.assign(buffer, size);
        return value;
    }
};

} // namespace

std::unique_ptr<SystemRegistry> makeSystemRegistry()
{
    return std::make_unique<WindowsRegistry>();
}

} // namespace solandre
