// Lifetimes, the message guard, the modal loop and the subclass chain, on real windows.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "dialogs/win/OpenLink.h"
#include "platform/Containers.h"
#include "platform/Form.h"
#include "platform/LinkLabel.h"
#include "platform/Paint.h"
#include "platform/Subclass.h"
#include "platform/Window.h"
#include "platform/WindowProcedure.h"

namespace veltrane {
namespace {

constexpr int kButtonOk = 100;
constexpr int kPanel = 101;
constexpr int kLabel = 102;
constexpr UINT kThrowMessage = WM_APP + 1;
constexpr UINT kDestroyMessage = WM_APP + 2;

constexpr ControlLayout kControls[] = {
    {ControlKind::Panel, kPanel, 0, 0, 0, 100, 40, L"", 0, RGB(10, 20, 30)},
    {ControlKind::Label, kLabel, kPanel, 30, 10, 40, 20, L"label"},
    {ControlKind::Button, kButtonOk, 0, 10, 50, 80, 24, L"OK", 0, kNoColour, 0, ButtonRole::Default,
     kModalOk},
};

constexpr FormLayout kLayout{L"TWindowLayerTestForm",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU,
                             0,
                             200,
                             100,
                             L"test",
                             L"MS Sans Serif",
                             12,
                             kNoColour,
                             kControls};

Application& TestApplication() {
    static Application application; // one per process, as in the program
    return application;
}

// Dies visibly: handlers that run after it read `alive` as false.
struct Canary {
    bool alive = true;
    ~Canary() { alive = false; }
};

class CanarySubclass final : public WindowSubclass {
public:
    CanarySubclass(const Canary& canary, std::vector<std::string>& seen) : canary_(canary), seen_(seen) {}

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY)
            seen_.push_back(canary_.alive ? "label destroy: alive" : "label destroy: dead");
        return Default(message, wParam, lParam);
    }
    const Canary& canary_;
    std::vector<std::string>& seen_;
};

class TestForm : public Form {
public:
    TestForm(std::vector<std::string>& seen) : Form(TestApplication()), seen_(seen) {
        CreateFromLayout(kLayout);
    }

    bool throwOnClose = false;
    bool throwOnOk = false;
    using Form::Item;

private:
    void FormCreate() override { labelWatch_.Attach(Item(kLabel)); }
    void FormDestroy() override { seen_.push_back(canary_.alive ? "destroy: alive" : "destroy: dead"); }
    void OnClose() override {
        if (throwOnClose)
            throw std::runtime_error("close failed");
        Form::OnClose();
    }
    void OnCommand(int id, int) override {
        if (id == kButtonOk && throwOnOk)
            throw std::runtime_error("ok failed");
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kThrowMessage)
            throw 42; // not even a std::exception
        if (message == kDestroyMessage) {
            ::DestroyWindow(Handle());
            return 0;
        }
        if (message == WM_CTLCOLORSTATIC && !canary_.alive)
            seen_.push_back("colour after death");
        return Form::HandleMessage(message, wParam, lParam);
    }

    std::vector<std::string>& seen_;
    Canary canary_;
    CanarySubclass labelWatch_{canary_, seen_};
};
// Only Owned<T> makes a form: `TestForm form(seen);` does not compile.
static_assert(std::is_abstract_v<TestForm> && !std::is_abstract_v<Owned<TestForm>>);

TEST(FormLifetime, WindowGoesBeforeAnyMemberOfTheForm) {
    std::vector<std::string> seen;
    HWND window = nullptr;
    {
        Owned<TestForm> form(seen);
        window = form.Handle();
        form.Show();
        ::UpdateWindow(window);
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(seen, (std::vector<std::string>{"destroy: alive", "label destroy: alive"}));
}

// Nothing has painted yet when a plain ShowWindow returns; the form is painted whole before it shows.
TEST(FormShow, ControlsHavePaintedWhenShowReturns) {
    std::vector<std::string> seen;
    Owned<TestForm> form(seen);
    form.Show();
    ClientDC panel(form.Item(kPanel));
    EXPECT_EQ(::GetPixel(panel.Get(), 5, 5), RGB(10, 20, 30));
}

TEST(MessageGuard, ThrowingCloseLeavesTheModalDialogUsable) {
    std::vector<std::string> seen;
    Owned<TestForm> form(seen);
    form.throwOnClose = true;
    ::PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
    ::PostMessageW(form.Handle(), kThrowMessage, 0, 0);
    ::PostMessageW(form.Item(kButtonOk), BM_CLICK, 0, 0);
    EXPECT_EQ(form.ShowModal(), kModalOk);
    EXPECT_TRUE(::IsWindow(form.Handle())); // the failed close destroyed nothing
}

TEST(MessageGuard, ThrowingKeyPressStillEndsTheModalLoop) {
    std::vector<std::string> seen;
    Owned<TestForm> form(seen);
    form.throwOnOk = true;
    // Enter presses the default button from the message loop's keyboard path.
    ::PostMessageW(form.Item(kButtonOk), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(form.ShowModal(), kModalOk);
}

// The drawn buttons are owner-drawn BUTTON windows: their clicks still carry the modal result.
TEST(ModalLoop, OwnerDrawnButtonSetsItsModalResult) {
    std::vector<std::string> seen;
    Owned<TestForm> form(seen);
    HWND ok = form.Item(kButtonOk);
    ::SetWindowLongW(ok, GWL_STYLE, (::GetWindowLongW(ok, GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
    ::PostMessageW(ok, BM_CLICK, 0, 0);
    ::PostMessageW(form.Handle(), WM_CLOSE, 0, 0); // ends the loop as Cancel if the click did not
    EXPECT_EQ(form.ShowModal(), kModalOk);
}

TEST(ModalLoop, EndsAsCancelWhenTheWindowIsDestroyedUnderIt) {
    std::vector<std::string> seen;
    Owned<TestForm> form(seen);
    ::PostMessageW(form.Handle(), kDestroyMessage, 0, 0);
    EXPECT_EQ(form.ShowModal(), kModalCancel);
    EXPECT_EQ(form.Handle(), nullptr);
}

// Answers the program's message box from its own loop, noting whether `boxWatched` was usable then.
HWND boxWatched = nullptr;
bool boxWatchedEnabled = true;
void CALLBACK AnswerTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    for (HWND w : ThreadWindows())
        if (HwndClassIs(w, L"#32770") && ::KillTimer(nullptr, timer)) {
            boxWatchedEnabled = ::IsWindowEnabled(boxWatched) != FALSE;
            ::PostMessageW(w, WM_COMMAND, IDOK, 0);
        }
}

TEST(StandardMessage, HoldsTheOtherWindowsAndLeavesThemAsTheyWere) {
    std::vector<std::string> seen;
    Owned<TestForm> usable(seen), disabled(seen);
    usable.Show(), disabled.Show(), ::EnableWindow(disabled.Handle(), FALSE);
    boxWatched = usable.Handle();
    ::SetTimer(nullptr, 0, 20, &AnswerTheBox);
    TestApplication().ShowMessage(L"message");
    EXPECT_FALSE(boxWatchedEnabled);
    EXPECT_TRUE(::IsWindowEnabled(usable.Handle()));
    EXPECT_FALSE(::IsWindowEnabled(disabled.Handle())) << "disabled before, disabled after";
}

class Recorder final : public WindowSubclass {
public:
    Recorder(char name, std::string& order) : name_(name), order_(order) {}

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER)
            order_ += name_;
        return Default(message, wParam, lParam);
    }
    char name_;
    std::string& order_;
};

TEST(WindowSubclass, NewestSeesFirstAndEitherCanLeaveFirst) {
    HWND window =
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::string order;
    {
        Recorder lower('a', order);
        Recorder upper('b', order);
        lower.Attach(window);
        upper.Attach(window);
        ::SendMessageW(window, WM_USER, 0, 0);
        lower.Detach(); // from under the other one
        ::SendMessageW(window, WM_USER, 0, 0);
        lower.Attach(window);
        ::SendMessageW(window, WM_USER, 0, 0);
    }
    ::SendMessageW(window, WM_USER, 0, 0); // both gone with their objects
    EXPECT_EQ(order, "ba"
                     "b"
                     "ab");
    Recorder last('c', order);
    last.Attach(window);
    ::DestroyWindow(window);
    EXPECT_EQ(last.Window(), nullptr); // left the chain with the window
}

TEST(WindowSubclass, ThrowingHandlerGetsTheDefaultAnswer) {
    class Thrower final : public WindowSubclass {
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_GETTEXTLENGTH)
                throw std::runtime_error("no");
            return Default(message, wParam, lParam);
        }
    } thrower;
    HWND window =
        ::CreateWindowExW(0, L"Static", L"four", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    thrower.Attach(window);
    EXPECT_EQ(::GetWindowTextLengthW(window), 4);
    ::DestroyWindow(window);
}

// A subclass given to its window lives until its own handler, which destroyed the window, has returned;
// then it goes, once. Retiring from inside a handler works the same way.
class SelfDestroyer final : public WindowSubclass {
public:
    SelfDestroyer(std::vector<std::string>& seen, bool retire) : seen_(seen), retire_(retire) {}
    ~SelfDestroyer() override { seen_.push_back("deleted"); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_USER)
            return Default(message, wParam, lParam);
        HWND window = Window();
        if (retire_)
            Retire();
        else
            ::DestroyWindow(window);
        // Still alive here, with its window gone or left.
        seen_.push_back(Window() ? "attached" : "detached");
        seen_.push_back(Busy() ? "busy" : "idle");
        return retire_ ? Default(message, wParam, lParam) : 0;
    }
    std::vector<std::string>& seen_;
    bool retire_;
};

TEST(WindowSubclass, GivenSubclassOutlivesItsHandlerThatDestroyedTheWindow) {
    for (const bool retire : {false, true}) {
        HWND window =
            ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        std::vector<std::string> seen;
        ASSERT_TRUE(WindowSubclass::Give(std::make_unique<SelfDestroyer>(seen, retire), window));
        ::SendMessageW(window, WM_USER, 0, 0);
        EXPECT_EQ(seen, (std::vector<std::string>{"detached", "busy", "deleted"})) << "retire " << retire;
        EXPECT_EQ(::IsWindow(window) != FALSE, retire);
        ::DestroyWindow(window);
    }
}

// A look on a window destroyed with its parent goes unseen by its holder, who asks before using it.
TEST(WindowSubclass, HolderFindsOutThatALookWentWithItsWindow) {
    HWND parent =
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND child =
        ::CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 5, 5, parent, nullptr, nullptr, nullptr);
    std::vector<std::string> seen;
    WindowSubclass* look = WindowSubclass::Give(std::make_unique<SelfDestroyer>(seen, false), child);
    ASSERT_TRUE(WindowSubclass::IsOn(child, look));
    ::DestroyWindow(parent);
    EXPECT_EQ(seen, std::vector<std::string>{"deleted"});
    EXPECT_FALSE(WindowSubclass::IsOn(child, look));
    WindowSubclass::RetireFrom(child, look); // nothing to do, nothing read
}

// An object that cannot attach to its window leaves the window unmade, not the procedure by an exception.
class FailingAttach {
public:
    int detached = 0;

private:
    friend class WindowProcedure<FailingAttach>;
    static constexpr char kWhere[] = "test window";
    void Attached(HWND) { throw std::bad_alloc(); }
    void Detached(HWND) { ++detached; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(nullptr, message, wParam, lParam);
    }
};

TEST(WindowProcedure, FailedAttachMakesNoWindow) {
    WindowClassRegister(L"TFailingAttach", &WindowProcedure<FailingAttach>::Procedure);
    FailingAttach object;
    HWND window = ::CreateWindowExW(0, L"TFailingAttach", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ModuleInstance(), &object);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(object.detached, 0) << "never attached, never detached";
}

// A click opens the address once: press and release both on the label.
TEST(LinkLabel, OpensOncePerClickWithPressAndReleaseOnIt) {
    LinkLabelClassRegister();
    HWND label = ::CreateWindowExW(0, kLinkLabelClass, L"http://example.test/", WS_POPUP | WS_VISIBLE, 0, 0,
                                   100, 20, nullptr, nullptr, nullptr, nullptr);
    int opened = 0;
    LinkLabelSetup(label, L"", [&](const std::wstring&) { return ++opened, true; });
    const LPARAM inside = MAKELPARAM(10, 10), outside = MAKELPARAM(150, 10);
    const struct {
        std::vector<std::pair<UINT, LPARAM>> input;
        int opens;
    } cases[] = {
        {{{WM_LBUTTONDOWN, inside}, {WM_LBUTTONUP, inside}}, 1},
        {{{WM_LBUTTONUP, inside}}, 0}, // the press began elsewhere
        {{{WM_LBUTTONDOWN, inside}, {WM_LBUTTONUP, outside}}, 0},
        {{{WM_LBUTTONDOWN, inside},
          {WM_LBUTTONUP, inside},
          {WM_LBUTTONDBLCLK, inside},
          {WM_LBUTTONUP, inside}},
         1},
    };
    for (const auto& c : cases) {
        opened = 0;
        for (auto [message, at] : c.input)
            ::SendMessageW(label, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        EXPECT_EQ(opened, c.opens) << c.input.size() << " messages";
        EXPECT_EQ(::GetCapture(), nullptr);
    }
    ::DestroyWindow(label);
}

// Some of the shell's handlers (mail programs among them) are COM objects: the thread is in its
// apartment before the shell is asked.
TEST(OpenLink, JoinsTheApartmentBeforeAskingTheShell) {
    const HRESULT before = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(before))
        ::CoUninitialize();
    ASSERT_EQ(before, S_OK) << "outside an apartment before";
    OpenLink(L"veltrane-no-such-scheme:x", TestApplication());
    const HRESULT again = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(again, S_FALSE) << "already joined";
    if (SUCCEEDED(again))
        ::CoUninitialize();
}

} // namespace
} // namespace veltrane

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
