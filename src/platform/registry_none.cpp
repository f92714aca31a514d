// SPDX-License-Identifier: GPL-3.0-or-later
// Platforms without a system registry: every look-up finds nothing.
#include "platform/qt_desktop.h"

namespace solandre {
namespace {

class NoRegistry final : public SystemRegistry {
public:
    std::optional<RegistryValue> read(const QString&, const QString&) override { return {}; }
};

} // namespace

std::unique_ptr<SystemRegistry> makeSystemRegistry() { return std::make_unique<NoRegistry>(); }

} // namespace solandre
