#include "dialogs/win/PasswordDialog.h"

#include "art/ArtIds.h"
#include "texts/Texts.h"

namespace veltrane {

void PasswordDialog::PrepareFrame(int header, int headerPicture, int okButton, int cancelButton) {
    SetCaption(texts::kProductTitle);
    SetItemText(okButton, texts::kOk);
    SetItemText(cancelButton, texts::kCancel);
    BtnOK.Attach(Item(okButton));
    BtnOK.SetGlyphStrip(IDB_GLYPH_OK);
    BtnOK.SetDefault(true);
    BtnCancel.Attach(Item(cancelButton));
    BtnCancel.SetGlyphStrip(IDB_GLYPH_CANCEL);
    SetPicture(headerPicture, IDB_HEADER_KEY, RGB(255, 255, 255));
    PanelOf(header)->SetBevel(kHeaderBevel);
}

} // namespace veltrane
