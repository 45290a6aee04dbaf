#pragma once
// The product title, a word from the maker and the contact links.

#include "platform/CentredLabel.h"
#include "platform/Form.h"
#include "toolkit/win/TGlyphButton.h"

namespace veltrane {

class TfrmAbout : public Form {
public:
    explicit TfrmAbout(Application& application);

    // A fresh dialog, shown modally and destroyed; the result does not matter to callers.
    static void Execute(Application& application);

private:
    void FormCreate() override;

    CentredLabel lblApp;
    TGlyphButton BtnOK;
};

} // namespace veltrane
