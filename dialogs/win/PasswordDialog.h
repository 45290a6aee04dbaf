#pragma once
// What the two password dialogs share: the product title as caption, the key picture in the white
// header, and OK and Cancel with their texts and glyphs.

#include "platform/Form.h"
#include "toolkit/win/TGlyphButton.h"

namespace veltrane {

class PasswordDialog : public Form {
protected:
    using Form::Form;
    void PrepareFrame(int header, int headerPicture, int okButton, int cancelButton);

private:
    TGlyphButton BtnOK;
    TGlyphButton BtnCancel;
};

} // namespace veltrane
