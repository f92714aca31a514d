#pragma once
// The numbering-done window: loading it numbers the texts; it then offers the
// way on to the search of the freshly numbered texts.

#include "forms/form.h"

namespace solandre {

class NumberingDoneWindow : public Form {
    Q_OBJECT
public:
    explicit NumberingDoneWindow(FormRegistry& forms);

    void Form_Load() override;
    void Form_Unload() override;
    void Command2_Click(); // "Concordancias"
    void quitter_Click();
    void about_Click();

private:
    // False, after the message, when a pass failed.
    bool numberTexts();

    bool numbered_ = false;
    QLabel* written_; // the files written and their sentence counts
};

} // namespace solandre
