#include "dialogs/win/OpenLink.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "dialogs/OpenLinkRules.h"
#include "platform/Application.h"

namespace veltrane {

namespace {
constexpr char kChooseHtmProgram[] = "RunDLL32.exe Shell32.dll,OpenAs_RunDLL *.htm";
}

bool OpenLink(std::wstring_view target, Application& application) {
    if (LinkTargetIsBlank(target))
        return false;
    application.Apartment().Join();
    const std::wstring file(target);
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"Open";
    request.lpFile = file.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&request)) {
        if (request.hProcess)
            ::CloseHandle(request.hProcess); // not needed; closing it leaks nothing
        return true;
    }
    if (LinkTargetOffersHtmChoice(target))
        ::WinExec(kChooseHtmProgram, SW_SHOWNORMAL);
    return false;
}

} // namespace veltrane
