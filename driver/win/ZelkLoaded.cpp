#include "driver/win/ZelkLibrary.h"

#include "platform/LateBound.h"

namespace veltrane {

namespace {

constexpr wchar_t kLibraryName[] = L"ZELK.dll";

template <typename Function> bool Bind(HMODULE module, const char* name, Function*& function) {
    function = LateBound<Function>(module, name);
    return function != nullptr;
}

} // namespace

std::unique_ptr<ZelkLibrary> ZelkLibraryLoad(std::wstring& missing) {
    // The program's own folder, the system folders and PATH, as for the program's import table; a
    // library planted in whatever folder a script runs in is never loaded.
    ::SetDllDirectoryW(L"");
    HMODULE module = ::LoadLibraryW(kLibraryName); // kept for the life of the process
    if (!module) {
        missing = kLibraryName;
        return nullptr;
    }
    ZelkEntryPoints entries{};
    const struct {
        const char* name;
        bool bound;
    } functions[] = {
        {"fcGetPartition", Bind(module, "fcGetPartition", entries.getPartition)},
        {"fcSetPartition", Bind(module, "fcSetPartition", entries.setPartition)},
        {"fcGetProtection", Bind(module, "fcGetProtection", entries.getProtection)},
        {"fcSetProtection", Bind(module, "fcSetProtection", entries.setProtection)},
        {"fcSetPassword", Bind(module, "fcSetPassword", entries.setPassword)},
        {"fcCheckPassword", Bind(module, "fcCheckPassword", entries.checkPassword)},
    };
    for (const auto& function : functions) {
        if (!function.bound) {
            missing =
                std::wstring(kLibraryName) + L" (" +
                std::wstring(function.name, function.name + std::char_traits<char>::length(function.name)) +
                L")";
            return nullptr;
        }
    }
    return std::make_unique<ZelkLibrary>(module, entries);
}

} // namespace veltrane
