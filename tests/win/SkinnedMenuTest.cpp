// A real pop-up menu shown with the stored skin: its items are the skin's to draw while it shows,
// the owner's mnemonic keys find them, and afterwards they are the application's items again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Resources.h"
#include "toolkit/win/TSkinManager.h"

namespace veltrane {
namespace {

constexpr int kSkinResource = 7001; // the stored skin's "SkinStream" value (SkinTest.rc)
constexpr ULONG_PTR kAppData = 0x5EED;

struct ItemSeen {
    UINT type = 0;
    ULONG_PTR data = 0;
    std::wstring text;
};

ItemSeen ItemRead(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = UINT(std::size(text));
    ::GetMenuItemInfoW(menu, position, TRUE, &info);
    return {info.fType, info.dwItemData, text};
}

constexpr UINT kSelectionMoved = WM_APP + 1;

// What the owner saw while the menu was up. Once the menu is idle, a Down key selects the first item;
// the message posted after it closes the menu.
struct WhileShown {
    HMENU menu = nullptr;
    bool skinned = false;
    std::vector<ItemSeen> items;
    LRESULT mnemonic = 0;
    bool firstSelected = false;
    int drawItemsReachingTheOwner = 0;
};
WhileShown* g_shown = nullptr;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_shown)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_DRAWITEM)
        ++g_shown->drawItemsReachingTheOwner;
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && g_shown->items.empty()) {
        g_shown->skinned = TSkinManager::Instance()->MenuSkinned(HWND(lParam));
        for (UINT i = 0; i < UINT(::GetMenuItemCount(g_shown->menu)); ++i)
            g_shown->items.push_back(ItemRead(g_shown->menu, i));
        g_shown->mnemonic =
            ::SendMessageW(window, WM_MENUCHAR, MAKEWPARAM(L'q', MF_POPUP), LPARAM(g_shown->menu));
        ::PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(window, kSelectionMoved, 0, 0);
    }
    if (message == kSelectionMoved) {
        MENUITEMINFOW state{};
        state.cbSize = sizeof state;
        state.fMask = MIIM_STATE;
        ::GetMenuItemInfoW(g_shown->menu, 0, TRUE, &state);
        g_shown->firstSelected = (state.fState & MFS_HILITE) != 0;
        ::EndMenu();
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(SkinnedMenu, ItemsAreTheSkinsWhileShownAndTheApplicationsAfterwards) {
    const auto stored = ResourceData(kSkinResource);
    const std::vector<std::uint8_t> stream(stored.begin(), stored.end());
    static Application application;
    TSkinComponent skin(application, nullptr);
    skin.Settings() = SkinSettingsStored();
    skin.SetSkinStream(stream);
    skin.Loaded();
    ASSERT_TRUE(skin.SkinLoaded());

    WNDCLASSW wc{};
    wc.lpfnWndProc = &OwnerProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TSkinnedMenuTestOwner";
    ::RegisterClassW(&wc);
    HWND owner = ::CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);

    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"&About");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, 2, L"&Quit\tCtrl+Q");
    MENUITEMINFOW data{};
    data.cbSize = sizeof data;
    data.fMask = MIIM_DATA;
    data.dwItemData = kAppData;
    ::SetMenuItemInfoW(menu, 0, TRUE, &data);

    WhileShown shown;
    shown.menu = menu;
    g_shown = &shown;
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, 100, 100, 0, owner, nullptr);
    g_shown = nullptr;

    EXPECT_TRUE(shown.skinned);
    ASSERT_EQ(shown.items.size(), 3u);
    for (const ItemSeen& item : shown.items)
        EXPECT_TRUE(item.type & MFT_OWNERDRAW) << "drawn by the skin while shown";
    EXPECT_TRUE(shown.items[1].type & MFT_SEPARATOR);
    EXPECT_EQ(shown.mnemonic, MAKELRESULT(2, MNC_EXECUTE)) << "q chooses Quit";
    EXPECT_TRUE(shown.firstSelected);
    EXPECT_EQ(shown.drawItemsReachingTheOwner, 0) << "the skin draws the selection change";

    const ItemSeen about = ItemRead(menu, 0), separator = ItemRead(menu, 1), quit = ItemRead(menu, 2);
    EXPECT_EQ(about.type, UINT(MFT_STRING));
    EXPECT_EQ(about.data, kAppData);
    EXPECT_EQ(about.text, L"&About");
    EXPECT_EQ(separator.type, UINT(MFT_SEPARATOR));
    EXPECT_EQ(quit.type, UINT(MFT_STRING));
    EXPECT_EQ(quit.data, 0u);
    EXPECT_EQ(quit.text, L"&Quit\tCtrl+Q");

    ::DestroyMenu(menu);
    ::DestroyWindow(owner);
}

} // namespace
} // namespace veltrane
