// Start-up: one copy per logon session, the presence markers, the hidden main window, the loop.

#include <windows.h>

#include <memory>

#include "app/SingleInstance.h"
#include "app/win/TfrmSetup.h"
#include "driver/win/ZelkLibrary.h"
#include "platform/Application.h"
#include "platform/Mutex.h"
#include "texts/Texts.h"

namespace {

constexpr wchar_t kInstanceMutex[] = L"QDN_RUNNING";
constexpr wchar_t kPresenceMarker[] = L"QDN_RUNNINGRADIX";
constexpr wchar_t kGlobalPresenceMarker[] = L"Global\\QDN_RUNNINGRADIX";

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace veltrane;

    // The instance mutex and the two markers are held while the program runs and closed when
    // wWinMain returns, just before the process ends. Failing to create one is not a reason to stop.
    MutexResult instance = MutexOpenOrCreate(kInstanceMutex);
    if (AnotherCopyRuns(bool(instance.handle), instance.error))
        return 0;
    UniqueKernelHandle marker = MutexOpenOrCreate(kPresenceMarker).handle;
    UniqueKernelHandle globalMarker = MutexOpenOrCreate(kGlobalPresenceMarker).handle;

    Application application;
    application.SetTitle(texts::kApplicationTitle);
    application.SetMessageButtonText(texts::kMessageButton);
    ZelkLibrary driver = ZelkLibraryImported();
    {
        Owned<TfrmSetup> mainWindow(application, driver); // created hidden, never shown at start
        application.SetSessionEnd([&] {
            mainWindow.EndSession();
            instance.handle.Reset();
            marker.Reset();
            globalMarker.Reset();
        });
        application.Run();
    }
    return 0;
}
