#pragma once
// A label that shows an address underlined in the highlight colour under a hand pointer and opens
// it when clicked; purple once the shell has accepted it.

#include <windows.h>

#include <functional>
#include <string>

namespace veltrane {

extern const wchar_t kLinkLabelClass[];

// Opens a target; true when the shell accepted it.
using LinkOpener = std::function<bool(const std::wstring& target)>;

void LinkLabelClassRegister();
// The address opened on a click, whatever the label's text; a label without one opens nothing.
void LinkLabelSetup(HWND label, std::wstring address, LinkOpener opener);
// Opens the label as a click does, once the message being handled now is done.
void LinkLabelClickLater(HWND label);
// True once the shell has accepted the label's address.
bool LinkLabelVisited(HWND label);

} // namespace veltrane
