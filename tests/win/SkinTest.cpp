// The skin component, the manager's window hook and the skinned frame on real windows: what gets a
// skin and when, the frame's size, hit-testing and pixels, the close button, the run-time actions
// and the teardown. The rules themselves are tested natively.
#include <gtest/gtest.h>

#include <windowsx.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Form.h"
#include "platform/Paint.h"
#include "platform/Resources.h"
#include "base/Bytes.h"
#include "toolkit/win/TGlyphButton.h"
#include "toolkit/win/TSkinManager.h"

namespace veltrane {
namespace {

constexpr int kSkinResource = 7001; // the stored skin's "SkinStream" value (SkinTest.rc)
constexpr int kClientWidth = 200;
constexpr int kClientHeight = 100;
// The stored skin's frame: f-top is two 30-pixel images, the other edges two 4-pixel ones.
constexpr int kCaption = 30;
constexpr int kEdge = 4;

enum : int { kEdit = 100, kMemo, kList, kGroup, kRadio, kButton };

constexpr ControlLayout kControls[] = {
    {ControlKind::Edit, kEdit, 0, 4, 4, 80, 20, L""},
    {ControlKind::Edit, kMemo, 0, 4, 28, 80, 40, L"", ES_MULTILINE | WS_VSCROLL},
    {ControlKind::ListView, kList, 0, 100, 4, 90, 40, L""},
    {ControlKind::GroupBox, kGroup, 0, 100, 48, 90, 40, L"group"},
    {ControlKind::RadioButton, kRadio, kGroup, 4, 16, 60, 16, L"radio"},
    {ControlKind::Button, kButton, 0, 4, 72, 60, 24, L"OK"},
};

constexpr FormLayout kDialogLayout{L"TSkinTestDialog",  WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                   WS_EX_DLGMODALFRAME, kClientWidth,
                                   kClientHeight,       L"skin test",
                                   L"MS Sans Serif",    12,
                                   kNoColour,           kControls};
constexpr FormLayout kSizableLayout{L"TSkinTestSizable",
                                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                                    0,
                                    kClientWidth,
                                    kClientHeight,
                                    L"sizable",
                                    L"MS Sans Serif",
                                    12,
                                    kNoColour,
                                    {}};

Application& SkinTestApplication() {
    static Application application;
    return application;
}

class SkinTestForm : public Form {
public:
    explicit SkinTestForm(const FormLayout& layout = kDialogLayout) : Form(SkinTestApplication()) {
        CreateFromLayout(layout);
        if (HWND button = Item(kButton))
            button_.Attach(button);
    }
    using Form::Item;

    bool declineSkin = false;
    std::vector<LPARAM> skinPosts; // the lParam of each 13571 that arrived
    int closeRequests = 0;
    SIZE sizeWhenShown{}; // the outer size as the window became visible

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kSkinQueryMessage)
            return declineSkin ? 1 : 0;
        if (message == WM_WINDOWPOSCHANGED &&
            (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)) {
            RECT r{};
            ::GetWindowRect(Handle(), &r);
            sizeWhenShown = {r.right - r.left, r.bottom - r.top};
        }
        if (message == kSkinPostedMessage)
            skinPosts.push_back(lParam);
        if (message == WM_SYSCOMMAND && wParam == SC_CLOSE)
            ++closeRequests;
        return Form::HandleMessage(message, wParam, lParam);
    }

    TGlyphButton button_; // the application says which kind of push button it is
};

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        Pump();
        ::Sleep(10);
    }
    return true;
}

// Shows a form and handles what that posts.
void ShowAndSettle(Form& form) {
    form.Show();
    Pump();
}

std::vector<std::uint8_t> StoredSkin() {
    const auto data = ResourceData(kSkinResource);
    return {data.begin(), data.end()};
}

std::unique_ptr<TSkinComponent> SkinLoaded(std::span<const std::uint8_t> stream,
                                           const OptionalUser32& user32 = OptionalUser32::Process()) {
    auto skin = std::make_unique<TSkinComponent>(SkinTestApplication(), nullptr, user32);
    skin->Settings() = SkinSettingsStored();
    skin->SetSkinStream(stream);
    skin->Loaded();
    return skin;
}

SIZE OuterSize(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return {r.right, r.bottom};
}

SIZE SystemOuterSize(HWND window, SIZE client) {
    RECT r{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&r, DWORD(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                         DWORD(::GetWindowLongW(window, GWL_EXSTYLE)));
    return {r.right - r.left, r.bottom - r.top};
}

bool operator==(SIZE a, SIZE b) {
    return a.cx == b.cx && a.cy == b.cy;
}

COLORREF WindowPixel(HWND window, int x, int y) {
    WindowDC dc(window);
    return ::GetPixel(dc.Get(), x, y);
}

COLORREF BitmapPixel(TSkinComponent& skin, const SkinBitmap& bitmap, int x, int y) {
    MemoryDC dc(ScreenDC().Get());
    ScopedSelect selected(dc.Get(), skin.Bitmap(bitmap));
    return ::GetPixel(dc.Get(), x, y);
}

LRESULT HitAt(HWND window, int x, int y) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
}

std::optional<ControlSkin> DecidedFor(const SkinnedFrame& frame, HWND control) {
    auto found = frame.Controls().find(control);
    if (found == frame.Controls().end())
        return std::nullopt;
    return found->second.skin;
}

TEST(SkinHook, WindowsAreSkinnedAsTheyFirstShowKeepingTheirClientArea) {
    const std::vector<std::uint8_t> stream = StoredSkin();
    ASSERT_FALSE(stream.empty());
    auto skin = SkinLoaded(stream);
    ASSERT_TRUE(skin->Active());
    TSkinManager* manager = TSkinManager::Instance();
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(manager->HookInstalled());

    Owned<SkinTestForm> form;
    Owned<SkinTestForm> declining;
    declining.declineSkin = true;
    HWND window = form.Handle();
    Pump();
    EXPECT_EQ(manager->Frame(window), nullptr) << "nothing is skinned before it shows";

    const SIZE skinned{kClientWidth + 2 * kEdge, kClientHeight + kCaption + kEdge};
    form.Show();
    SkinnedFrame* frame = manager->Frame(window);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->HasStarted());
    EXPECT_TRUE(form.sizeWhenShown == skinned) << "the frame is on before the window is on screen";
    Pump();
    EXPECT_TRUE(ClientSize(window) == (SIZE{kClientWidth, kClientHeight}));
    EXPECT_TRUE(OuterSize(window) == skinned);
    EXPECT_EQ(form.skinPosts, std::vector<LPARAM>{kSkinPostedLParam});

    // Every control is examined, the radio button inside the group box too.
    EXPECT_EQ(DecidedFor(*frame, form.Item(kEdit)), ControlSkin::Edit);
    EXPECT_EQ(DecidedFor(*frame, form.Item(kMemo)), ControlSkin::ScrollBars);
    EXPECT_EQ(DecidedFor(*frame, form.Item(kList)), ControlSkin::ScrollBars);
    EXPECT_EQ(DecidedFor(*frame, form.Item(kGroup)), ControlSkin::None);
    EXPECT_EQ(DecidedFor(*frame, form.Item(kRadio)), ControlSkin::None);
    EXPECT_EQ(frame->Controls().at(form.Item(kButton)).source, ControlSource::ForeignEntry);

    ShowAndSettle(declining);
    EXPECT_EQ(manager->Frame(declining.Handle()), nullptr) << "it answered the query with 1";
    EXPECT_TRUE(OuterSize(declining.Handle()) ==
                SystemOuterSize(declining.Handle(), {kClientWidth, kClientHeight}));

    // Activated while hidden, a window has its frame waiting; the frame takes over as it shows.
    Owned<SkinTestForm> hidden;
    ::SetActiveWindow(hidden.Handle());
    SkinnedFrame* waiting = manager->Frame(hidden.Handle());
    ASSERT_NE(waiting, nullptr);
    EXPECT_FALSE(waiting->HasStarted());
    hidden.Show();
    EXPECT_TRUE(hidden.sizeWhenShown == skinned);

    form.Destroy();
    EXPECT_EQ(manager->Frame(window), nullptr) << "released when destroyed";
}

TEST(SkinHook, MenuWindowsAndSizeGripsAreHandedOverAndLetGo) {
    const std::vector<std::uint8_t> stream = StoredSkin();
    auto skin = SkinLoaded(stream);
    TSkinManager* manager = TSkinManager::Instance();
    Owned<SkinTestForm> form;
    ShowAndSettle(form);
    SkinnedFrame* frame = manager->Frame(form.Handle());
    ASSERT_NE(frame, nullptr);

    HWND menu =
        ::CreateWindowExW(0, L"#32768", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(manager->MenuSkinned(menu));
    HWND grip = ::CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | SBS_SIZEGRIP, 0, 0, 10, 10, form.Handle(),
                                  nullptr, nullptr, nullptr);
    EXPECT_EQ(frame->SizeGrip(), grip);
    ::DestroyWindow(menu);
    ::DestroyWindow(grip);
    EXPECT_FALSE(manager->MenuSkinned(menu));
    EXPECT_EQ(frame->SizeGrip(), nullptr);
}

TEST(SkinnedFrame, PaintsTheSkinsImagesAndHitTestsItsOwnParts) {
    const std::vector<std::uint8_t> stream = StoredSkin();
    auto skin = SkinLoaded(stream);
    TSkinManager* manager = TSkinManager::Instance();
    const SkinModel& model = *skin->Model();
    Owned<SkinTestForm> form;
    Owned<SkinTestForm> sizable(kSizableLayout);
    ShowAndSettle(form);
    HWND window = form.Handle();
    Pump();
    const int width = OuterSize(window).cx;

    // A caption column clear of text and buttons shows f-top's active image, then its inactive one.
    const int column = width - 50;
    const int sourceColumn = model.top.bitmap.Width() / 2;
    for (bool active : {true, false}) {
        ::SendMessageW(window, WM_NCACTIVATE, active, 0);
        for (int y = 0; y < kCaption; ++y)
            ASSERT_EQ(WindowPixel(window, column, y),
                      BitmapPixel(*skin, model.top.bitmap, sourceColumn, y + (active ? 0 : kCaption)))
                << (active ? "active" : "inactive") << " row " << y;
    }
    ::SendMessageW(window, WM_NCACTIVATE, TRUE, 0);

    const CaptionButton& close = model.captionButtons[0];
    const int closeX = width - close.xcoord, closeY = close.ycoord;
    EXPECT_EQ(HitAt(window, width / 2, kCaption / 2), HTCAPTION);
    EXPECT_EQ(HitAt(window, closeX + 10, closeY + 10), HTCLOSE);
    EXPECT_EQ(HitAt(window, kEdge + 10, kCaption + 10), HTCLIENT);
    EXPECT_EQ(HitAt(window, 1, kCaption + 20), HTBORDER) << "a dialog frame does not size";
    ShowAndSettle(sizable);
    EXPECT_EQ(HitAt(sizable.Handle(), OuterSize(sizable.Handle()).cx - 1, kCaption + 20), HTRIGHT);
    EXPECT_EQ(HitAt(sizable.Handle(), 30, OuterSize(sizable.Handle()).cy - 1), HTBOTTOM);
    ::SetActiveWindow(window);
    ASSERT_TRUE(manager->Frame(window)->Active());

    // The close button: hot under the pointer, pressed while held, a close request once let go over it.
    const auto buttonLooks = [&](CaptionButtonLook look) {
        const PixelRect cell = CaptionButtonSource(close, look, true);
        return WindowPixel(window, closeX + 2, closeY + 2) ==
               BitmapPixel(*skin, close.bitmap, cell.x + 2, cell.y + 2);
    };
    RECT r{};
    ::GetWindowRect(window, &r);
    const POINT over{r.left + closeX + 10, r.top + closeY + 10};
    EXPECT_TRUE(buttonLooks(CaptionButtonLook::Normal));
    ::SendMessageW(window, WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(over.x, over.y));
    EXPECT_TRUE(buttonLooks(CaptionButtonLook::Hot));
    ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(over.x, over.y));
    EXPECT_TRUE(buttonLooks(CaptionButtonLook::Pressed));
    EXPECT_EQ(::GetCapture(), window);
    POINT release = over;
    ::ScreenToClient(window, &release);
    ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
    EXPECT_NE(::GetCapture(), window);
    ASSERT_TRUE(PumpUntil([&] { return form.closeRequests == 1; }));
    EXPECT_FALSE(form.IsVisible()) << "a window that is not modal hides on a close request";
}

TEST(SkinnedEdit, EdgeFollowsTheFieldsStateAndGoesWithTheSkin) {
    const std::vector<std::uint8_t> stream = StoredSkin();
    auto skin = SkinLoaded(stream);
    const ImageSkin& edge = *skin->Model()->sunkEdge;
    Owned<SkinTestForm> form;
    ShowAndSettle(form);
    ASSERT_TRUE(PumpUntil([&] { return TSkinManager::Instance()->Frame(form.Handle()) != nullptr; }));
    Pump();
    HWND edit = form.Item(kEdit);
    const SIZE size = OuterSize(edit);
    const int cell = edge.image.Width() / edge.imageCount;
    // The outer ring is the image's own; the stretched middle of its top row fills the top edge.
    const auto looks = [&](SunkEdgeLook look) {
        const int x = int(look) * cell;
        return WindowPixel(edit, 0, 0) == BitmapPixel(*skin, edge.image, x, 0) &&
               WindowPixel(edit, size.cx / 2, 0) == BitmapPixel(*skin, edge.image, x + cell / 2, 0);
    };
    ::SetFocus(form.Item(kButton));
    EXPECT_TRUE(looks(SunkEdgeLook::Normal));
    ::EnableWindow(edit, FALSE);
    EXPECT_TRUE(looks(SunkEdgeLook::Disabled));
    ::EnableWindow(edit, TRUE);
    EXPECT_TRUE(looks(SunkEdgeLook::Normal));

    skin->SetActive(false);
    ASSERT_TRUE(PumpUntil([&] { return TSkinManager::Instance()->SkinnedCount() == 0; }));
    Pump();
    EXPECT_FALSE(looks(SunkEdgeLook::Normal)) << "the system's edge is back";
}

TEST(SkinComponent, DamagedPackageLeavesEveryWindowInTheSystemLook) {
    std::vector<std::uint8_t> stream = StoredSkin();
    StoreLe32(stream, 4, 8); // the package claims to unpack to 8 bytes, less than its header
    auto skin = SkinLoaded(stream);
    EXPECT_FALSE(skin->SkinLoaded());
    EXPECT_FALSE(skin->Active());
    Owned<SkinTestForm> form;
    ShowAndSettle(form);
    EXPECT_EQ(TSkinManager::Instance()->SkinnedCount(), 0u);
    EXPECT_TRUE(OuterSize(form.Handle()) == SystemOuterSize(form.Handle(), {kClientWidth, kClientHeight}));
}

// The memo's scroll-bar rule is off, so it falls through to the edit rule of its ancestor.
TEST(SkinComponent, WithoutGetScrollBarInfoOnlyScrollBarSkinsGo) {
    const std::vector<std::uint8_t> stream = StoredSkin();
    OptionalUser32 withoutScrollBarInfo = OptionalUser32::Process();
    withoutScrollBarInfo.getScrollBarInfo = nullptr;
    auto skin = SkinLoaded(stream, withoutScrollBarInfo);
    Owned<SkinTestForm> form;
    ShowAndSettle(form);
    SkinnedFrame* frame = TSkinManager::Instance()->Frame(form.Handle());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(DecidedFor(*frame, form.Item(kList)), ControlSkin::None);
    EXPECT_EQ(DecidedFor(*frame, form.Item(kMemo)), ControlSkin::Edit);
    EXPECT_EQ(DecidedFor(*frame, form.Item(kEdit)), ControlSkin::Edit);
}

TEST(SkinManager, RunTimeActionsWaitForTheTimerAndTeardownGivesTheSystemFramesBack) {
    const std::vector<std::uint8_t> stream = StoredSkin();
    auto skin = SkinLoaded(stream);
    int changes = 0;
    skin->Core().onSkinChanged = [&](SkinComponentCore&) {
        ++changes;
    };
    TSkinManager* manager = TSkinManager::Instance();
    Owned<SkinTestForm> shown;
    Owned<SkinTestForm> hidden;
    ShowAndSettle(shown);
    HWND window = shown.Handle();
    ASSERT_TRUE(PumpUntil([&] { return changes == 1; })) << "the start-up action ran once started";
    const SIZE client{kClientWidth, kClientHeight};
    const SIZE systemOuter = SystemOuterSize(window, client);

    skin->SetActive(false);
    EXPECT_NE(manager->Frame(window), nullptr) << "only when the timer fires";
    ASSERT_TRUE(PumpUntil([&] { return changes == 2; }));
    EXPECT_EQ(manager->SkinnedCount(), 0u);
    EXPECT_TRUE(OuterSize(window) == systemOuter);
    EXPECT_TRUE(ClientSize(window) == client);

    skin->SetActive(true);
    ASSERT_TRUE(PumpUntil([&] { return changes == 3; }));
    EXPECT_NE(manager->Frame(window), nullptr);
    EXPECT_EQ(manager->Frame(hidden.Handle()), nullptr) << "hidden windows wait for their activation";

    skin.reset();
    EXPECT_EQ(TSkinManager::Instance(), nullptr) << "the last component took the manager with it";
    EXPECT_TRUE(OuterSize(window) == systemOuter);
    EXPECT_TRUE(ClientSize(window) == client);
    ShowAndSettle(hidden);
    EXPECT_TRUE(OuterSize(hidden.Handle()) == systemOuter) << "the hook is gone";
}

} // namespace
} // namespace veltrane
