#pragma once
// Product name, version and credits; can start the system's information tool.

#include "app/forms/form.h"

namespace solandre {

class frmAbout : public Form {
    Q_OBJECT
public:
    explicit frmAbout(FormRegistry& forms);

    void cmdOK_Click();
    void cmdSysInfo_Click();
};

} // namespace solandre
