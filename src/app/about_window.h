// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Product name, version and credits; can start the system's information tool.

#include "forms/form.h"

namespace solandre {

class AboutWindow : public Form {
    Q_OBJECT
public:
    explicit AboutWindow(FormRegistry& forms);

    void cmdOK_Click();
    void cmdSysInfo_Click();
};

} // namespace solandre
