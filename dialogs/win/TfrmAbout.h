#pragma once
// The product title, a word from the maker and the contact links.

#include "platform/CentredLabel.h"
#include "platform/Form.h"
#include "toolkit/win/TGlyphButton.h"

namespace veltrane {

class TfrmAbout : public Form {
public:
    // With the simulated driver library the dialog has one more line saying so.
    TfrmAbout(Application& application, bool simulatedLibrary);

    // A fresh dialog, shown modally and destroyed; the result does not matter to callers.
    static void Execute(Application& application, bool simulatedLibrary);

private:
    void FormCreate() override;

    CentredLabel lblApp;
    TGlyphButton BtnOK;
    bool simulatedLibrary_;
};

} // namespace veltrane
