// Test probe: inspects and drives the windows of another process on a Wine
// (or Windows) desktop and prints one JSON object per line.
//
//   probe.exe COMMAND ARGS...     one command, exit code 0 ok, 1 not found/timeout, 2 bad input, 3 failure
//   probe.exe serve               commands from stdin, one per line, tab-separated fields
//
// PROBE_DESKTOP names the desktop to attach to before anything else.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <ole2.h>
#include <oleacc.h>
#include <tlhelp32.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Com.h"
#include "tools/probe/ProbeText.h"

namespace {

using probe::JsonObject;

constexpr DWORD kPollMs = 50;
constexpr UINT kSendTimeoutMs = 3000;
constexpr DWORD kDesktopAttachMs = 20000;
constexpr int kMaxText = 4096;

enum ExitCode : int { kOk = 0, kNotFound = 1, kBadInput = 2, kFailed = 3 };

struct Result {
    int code;
    std::string json;
};

Result Ok(const JsonObject& json) {
    return {kOk, JsonObject().AddBool("ok", true).AddFields(json).Str()};
}

Result Fail(int code, std::string_view message) {
    return {code, JsonObject().AddBool("ok", false).AddAscii("error", message).Str()};
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct DesktopCloser {
    void operator()(HDESK h) const { CloseDesktop(h); }
};
using UniqueDesktop = std::unique_ptr<std::remove_pointer_t<HDESK>, DesktopCloser>;

std::u16string ToU16(const std::wstring& w) {
    return {reinterpret_cast<const char16_t*>(w.data()), w.size()};
}

std::wstring ToWide(std::u16string_view s) {
    return {reinterpret_cast<const wchar_t*>(s.data()), s.size()};
}

std::int64_t HwndValue(HWND hwnd) {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(hwnd));
}

std::string RectJson(const RECT& r) {
    return probe::JsonIntArray({r.left, r.top, r.right, r.bottom});
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return name;
}

// Never sends a message, so a hung target cannot hang the probe.
std::wstring CaptionOf(HWND hwnd) {
    std::wstring text(kMaxText, L'\0');
    int length = InternalGetWindowText(hwnd, text.data(), kMaxText);
    text.resize(std::max(length, 0));
    return text;
}

// WM_GETTEXT reaches controls of other processes (edits, statics); falls back to the stored caption.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return CaptionOf(hwnd);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return CaptionOf(hwnd);
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

JsonObject WindowJson(HWND hwnd) {
    JsonObject json;
    json.AddInt("hwnd", HwndValue(hwnd))
        .AddText("class", ToU16(ClassOf(hwnd)))
        .AddText("caption", ToU16(CaptionOf(hwnd)))
        .AddBool("visible", IsWindowVisible(hwnd))
        .AddBool("enabled", IsWindowEnabled(hwnd))
        .AddRaw("rect", RectJson(WindowRect(hwnd)))
        .AddInt("style", static_cast<std::uint32_t>(GetWindowLongW(hwnd, GWL_STYLE)))
        .AddInt("exstyle", static_cast<std::uint32_t>(GetWindowLongW(hwnd, GWL_EXSTYLE)))
        .AddInt("owner", HwndValue(GetWindow(hwnd, GW_OWNER)))
        .AddInt("pid", ProcessOf(hwnd));
    return json;
}

bool IsButton(HWND hwnd) {
    return CompareStringOrdinal(ClassOf(hwnd).c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL;
}

JsonObject ChildJson(HWND child) {
    HWND parent = GetAncestor(child, GA_PARENT);
    RECT screen = WindowRect(child);
    RECT local = screen;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&local), 2);
    JsonObject json;
    json.AddInt("hwnd", HwndValue(child))
        .AddInt("parent", HwndValue(parent))
        .AddText("class", ToU16(ClassOf(child)))
        .AddInt("id", GetDlgCtrlID(child))
        .AddText("text", ToU16(TextOf(child)))
        .AddBool("visible", IsWindowVisible(child))
        .AddBool("enabled", IsWindowEnabled(child))
        .AddInt("style", static_cast<std::uint32_t>(GetWindowLongW(child, GWL_STYLE)))
        .AddInt("exstyle", static_cast<std::uint32_t>(GetWindowLongW(child, GWL_EXSTYLE)))
        .AddRaw("rect", RectJson(screen))
        .AddRaw("client_rect", RectJson(local));
    DWORD_PTR checked = 0;
    if (IsButton(child) &&
        SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &checked))
        json.AddInt("checked", static_cast<std::int64_t>(checked));
    return json;
}

// ---- argument access ---------------------------------------------------------------------------

class Args {
public:
    explicit Args(std::vector<std::u16string> items) : items_(std::move(items)) {}

    std::size_t Size() const { return items_.size(); }
    const std::u16string& Text(std::size_t i) const { return items_.at(i); }

    std::optional<std::uint64_t> Number(std::size_t i) const {
        if (i >= items_.size())
            return std::nullopt;
        auto ascii = probe::AsciiOnly(items_[i]);
        return ascii ? probe::ParseNumber(*ascii) : std::nullopt;
    }

    std::optional<HWND> Window(std::size_t i) const {
        auto value = Number(i);
        if (!value)
            return std::nullopt;
        return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value));
    }

    // "*" stands for any class or caption.
    const wchar_t* Pattern(std::size_t i, std::wstring& storage) const {
        storage = ToWide(items_.at(i));
        return storage == L"*" ? nullptr : storage.c_str();
    }

    bool HasFlag(std::size_t from, std::u16string_view flag) const {
        return std::find(items_.begin() + std::min(from, items_.size()), items_.end(), flag) != items_.end();
    }

private:
    std::vector<std::u16string> items_;
};

// ---- window search -------------------------------------------------------------------------------

HWND FindTopLevel(const wchar_t* cls, const wchar_t* caption, bool mustBeVisible) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, cls, caption)) != nullptr) {
        if (!mustBeVisible || IsWindowVisible(found))
            return found;
    }
    return nullptr;
}

Result FindCommand(const Args& args, bool wait) {
    std::size_t needed = wait ? 4 : 3;
    if (args.Size() < needed)
        return Fail(kBadInput, wait ? "usage: wait CLASS CAPTION TIMEOUT_MS [visible]"
                                    : "usage: find CLASS CAPTION [visible]");
    std::wstring cls, caption;
    const wchar_t* clsPattern = args.Pattern(1, cls);
    const wchar_t* captionPattern = args.Pattern(2, caption);
    bool mustBeVisible = args.HasFlag(needed, u"visible");
    auto timeout = wait ? args.Number(3) : std::optional<std::uint64_t>(0);
    if (!timeout)
        return Fail(kBadInput, "bad TIMEOUT_MS");
    ULONGLONG deadline = GetTickCount64() + *timeout;
    for (;;) {
        if (HWND hwnd = FindTopLevel(clsPattern, captionPattern, mustBeVisible))
            return Ok(WindowJson(hwnd));
        if (GetTickCount64() >= deadline)
            return Fail(kNotFound, wait ? "timeout" : "not found");
        Sleep(kPollMs);
    }
}

Result WaitHiddenCommand(const Args& args) {
    auto hwnd = args.Window(1);
    auto timeout = args.Number(2);
    if (!hwnd || !timeout)
        return Fail(kBadInput, "usage: wait-hidden HWND TIMEOUT_MS");
    ULONGLONG deadline = GetTickCount64() + *timeout;
    while (IsWindowVisible(*hwnd)) {
        if (GetTickCount64() >= deadline)
            return Fail(kNotFound, "timeout");
        Sleep(kPollMs);
    }
    return Ok(JsonObject().AddBool("exists", IsWindow(*hwnd)));
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

Result ListCommand() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<std::string> items;
    for (HWND hwnd : windows)
        items.push_back(WindowJson(hwnd).Str());
    return Ok(JsonObject().AddRaw("windows", probe::JsonArray(items)));
}

Result ChildrenCommand(const Args& args) {
    auto hwnd = args.Window(1);
    if (!hwnd)
        return Fail(kBadInput, "usage: children HWND");
    if (!IsWindow(*hwnd))
        return Fail(kNotFound, "no such window");
    std::vector<HWND> children;
    EnumChildWindows(*hwnd, CollectWindow, reinterpret_cast<LPARAM>(&children));
    std::vector<std::string> items;
    for (HWND child : children)
        items.push_back(ChildJson(child).Str());
    return Ok(JsonObject().AddRaw("children", probe::JsonArray(items)));
}

// ---- cross-process list view -----------------------------------------------------------------------

// A block of memory in another process: a structure followed by a text buffer.
class RemoteBlock {
public:
    static constexpr std::size_t kTextChars = 1024;

    static std::optional<RemoteBlock> Open(HWND owner) {
        UniqueHandle process(
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                        FALSE, ProcessOf(owner)));
        if (!process)
            return std::nullopt;
        void* base = VirtualAllocEx(process.get(), nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!base)
            return std::nullopt;
        return RemoteBlock(std::move(process), base);
    }

    RemoteBlock(RemoteBlock&& other) noexcept
        : process_(std::move(other.process_)), base_(std::exchange(other.base_, nullptr)) {}
    RemoteBlock& operator=(RemoteBlock&&) = delete;
    ~RemoteBlock() {
        if (base_)
            VirtualFreeEx(process_.get(), base_, 0, MEM_RELEASE);
    }

    // Both processes have the same pointer size, so the native layout is the remote one.
    template <typename T> T* Struct() const { return static_cast<T*>(base_); }
    wchar_t* Text() const { return reinterpret_cast<wchar_t*>(static_cast<char*>(base_) + kTextOffset); }

    template <typename T> bool Write(const T& value) const {
        return WriteProcessMemory(process_.get(), base_, &value, sizeof value, nullptr);
    }
    template <typename T> std::optional<T> Read() const {
        T value{};
        if (!ReadProcessMemory(process_.get(), base_, &value, sizeof value, nullptr))
            return std::nullopt;
        return value;
    }
    std::optional<std::wstring> ReadText(std::size_t chars) const {
        std::wstring text(std::min(chars, kTextChars - 1), L'\0');
        if (!ReadProcessMemory(process_.get(), Text(), text.data(), text.size() * sizeof(wchar_t), nullptr))
            return std::nullopt;
        text.resize(wcsnlen(text.c_str(), text.size()));
        return text;
    }

private:
    static constexpr std::size_t kTextOffset = 256;
    static constexpr std::size_t kSize = kTextOffset + kTextChars * sizeof(wchar_t);
    static_assert(sizeof(LVITEMW) <= kTextOffset && sizeof(LVCOLUMNW) <= kTextOffset);

    RemoteBlock(UniqueHandle process, void* base) : process_(std::move(process)), base_(base) {}

    UniqueHandle process_;
    void* base_;
};

std::optional<LRESULT> Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::optional<std::wstring> ColumnText(const RemoteBlock& block, HWND list, int column, int& width) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = block.Text();
    col.cchTextMax = RemoteBlock::kTextChars;
    if (!block.Write(col))
        return std::nullopt;
    auto ok = Send(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(block.Struct<LVCOLUMNW>()));
    if (!ok || !*ok)
        return std::nullopt;
    width = static_cast<int>(Send(list, LVM_GETCOLUMNWIDTH, column, 0).value_or(-1));
    return block.ReadText(RemoteBlock::kTextChars);
}

std::optional<std::wstring> ItemText(const RemoteBlock& block, HWND list, int item, int subItem) {
    LVITEMW lvItem{};
    lvItem.iSubItem = subItem;
    lvItem.pszText = block.Text();
    lvItem.cchTextMax = RemoteBlock::kTextChars;
    if (!block.Write(lvItem))
        return std::nullopt;
    auto length = Send(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(block.Struct<LVITEMW>()));
    if (!length)
        return std::nullopt;
    return block.ReadText(static_cast<std::size_t>(*length));
}

Result ListViewCommand(const Args& args) {
    auto list = args.Window(1);
    if (!list)
        return Fail(kBadInput, "usage: listview HWND");
    auto count = Send(*list, LVM_GETITEMCOUNT, 0, 0);
    if (!IsWindow(*list) || !count)
        return Fail(kNotFound, "no such window");
    auto block = RemoteBlock::Open(*list);
    if (!block)
        return Fail(kFailed, "cannot open the owner process");

    std::vector<std::string> columns;
    int width = 0;
    while (auto text = ColumnText(*block, *list, static_cast<int>(columns.size()), width))
        columns.push_back(JsonObject().AddText("text", ToU16(*text)).AddInt("width", width).Str());

    std::vector<std::string> items;
    for (int i = 0; i < static_cast<int>(*count); ++i) {
        std::vector<std::string> texts;
        for (int sub = 0; sub < std::max<int>(1, static_cast<int>(columns.size())); ++sub)
            texts.push_back(probe::JsonQuote(ToU16(ItemText(*block, *list, i, sub).value_or(L""))));
        auto state = Send(*list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK | LVIS_SELECTED | LVIS_FOCUSED);
        std::int64_t bits = state.value_or(0);
        items.push_back(JsonObject()
                            .AddRaw("texts", probe::JsonArray(texts))
                            .AddBool("checked", ((bits & LVIS_STATEIMAGEMASK) >> 12) == 2)
                            .AddBool("selected", bits & LVIS_SELECTED)
                            .AddBool("focused", bits & LVIS_FOCUSED)
                            .Str());
    }
    return Ok(JsonObject()
                  .AddInt("hwnd", HwndValue(*list))
                  .AddInt("count", static_cast<std::int64_t>(*count))
                  .AddRaw("columns", probe::JsonArray(columns))
                  .AddRaw("items", probe::JsonArray(items)));
}

// One row's bounds on the screen (LVM_GETITEMRECT with LVIR_BOUNDS).
Result ListViewItemRectCommand(const Args& args) {
    auto list = args.Window(1);
    auto index = args.Number(2);
    if (!list || !index)
        return Fail(kBadInput, "usage: lvitemrect HWND INDEX");
    auto block = RemoteBlock::Open(*list);
    if (!block)
        return Fail(kFailed, "cannot open the owner process");
    if (!block->Write(RECT{LVIR_BOUNDS, 0, 0, 0}))
        return Fail(kFailed, "cannot write to the owner process");
    auto ok = Send(*list, LVM_GETITEMRECT, static_cast<WPARAM>(*index),
                   reinterpret_cast<LPARAM>(block->Struct<RECT>()));
    auto rect = block->Read<RECT>();
    if (!ok || !*ok || !rect)
        return Fail(kFailed, "LVM_GETITEMRECT failed");
    MapWindowPoints(*list, nullptr, reinterpret_cast<POINT*>(&*rect), 2);
    return Ok(JsonObject().AddRaw("rect", RectJson(*rect)));
}

// Where the system puts a window's scroll bars, on the screen: beside the client area, as thick as the
// system metrics say; null for a bar the window does not show. (Their state lives in the owner process,
// where Wine keeps it out of another process's reach.)
Result ScrollBarsCommand(const Args& args) {
    auto hwnd = args.Window(1);
    if (!hwnd || !IsWindow(*hwnd))
        return Fail(kBadInput, "usage: scrollbars HWND");
    RECT client{};
    GetClientRect(*hwnd, &client);
    MapWindowPoints(*hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const LONG style = GetWindowLongW(*hwnd, GWL_STYLE);
    const RECT vert{client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
    const RECT horz{client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    return Ok(JsonObject()
                  .AddRaw("client", RectJson(client))
                  .AddRaw("vert", (style & WS_VSCROLL) ? RectJson(vert) : "null")
                  .AddRaw("horz", (style & WS_HSCROLL) ? RectJson(horz) : "null"));
}

// Ticks or unticks one row the way a click on its box would: the owner gets LVN_ITEMCHANGED.
Result ListViewCheckCommand(const Args& args) {
    auto list = args.Window(1);
    auto index = args.Number(2);
    auto checked = args.Number(3);
    if (!list || !index || !checked)
        return Fail(kBadInput, "usage: lvcheck HWND INDEX 0|1");
    auto block = RemoteBlock::Open(*list);
    if (!block)
        return Fail(kFailed, "cannot open the owner process");
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(*checked ? 2 : 1);
    if (!block->Write(item))
        return Fail(kFailed, "cannot write to the owner process");
    auto ok = Send(*list, LVM_SETITEMSTATE, static_cast<WPARAM>(*index),
                   reinterpret_cast<LPARAM>(block->Struct<LVITEMW>()));
    if (!ok || !*ok)
        return Fail(kFailed, "LVM_SETITEMSTATE failed");
    return Ok(JsonObject().AddBool("checked", *checked != 0));
}

// ---- messages ------------------------------------------------------------------------------------

struct MessageArgs {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

std::optional<MessageArgs> ReadMessageArgs(const Args& args) {
    auto hwnd = args.Window(1);
    auto msg = args.Number(2);
    auto wp = args.Number(3);
    auto lp = args.Number(4);
    if (!hwnd || !msg || !wp || !lp)
        return std::nullopt;
    return MessageArgs{*hwnd, static_cast<UINT>(*msg), static_cast<WPARAM>(*wp), static_cast<LPARAM>(*lp)};
}

Result PostCommand(const Args& args) {
    auto m = ReadMessageArgs(args);
    if (!m)
        return Fail(kBadInput, "usage: post HWND MSG WPARAM LPARAM");
    if (!PostMessageW(m->hwnd, m->msg, m->wp, m->lp))
        return Fail(kFailed, "PostMessage failed");
    return Ok(JsonObject());
}

Result SendCommand(const Args& args) {
    auto m = ReadMessageArgs(args);
    if (!m)
        return Fail(kBadInput, "usage: send HWND MSG WPARAM LPARAM");
    auto result = Send(m->hwnd, m->msg, m->wp, m->lp);
    if (!result)
        return Fail(kFailed, "SendMessageTimeout failed");
    return Ok(JsonObject().AddInt("result", *result));
}

// ShowWindowAsync from another process, as any program may call it on any window.
Result ShowWindowCommand(const Args& args) {
    auto hwnd = args.Window(1);
    auto command = args.Number(2);
    if (!hwnd || !command)
        return Fail(kBadInput, "usage: showwindow HWND SW_COMMAND");
    ShowWindowAsync(*hwnd, static_cast<int>(*command));
    return Ok(JsonObject());
}

Result ClickCommand(const Args& args) {
    auto hwnd = args.Window(1);
    if (!hwnd)
        return Fail(kBadInput, "usage: click HWND");
    // Posted: a click that opens a modal box would block a sent message.
    if (!PostMessageW(*hwnd, BM_CLICK, 0, 0))
        return Fail(kFailed, "PostMessage failed");
    return Ok(JsonObject());
}

Result SetTextCommand(const Args& args) {
    auto hwnd = args.Window(1);
    if (!hwnd || args.Size() < 3)
        return Fail(kBadInput, "usage: settext HWND TEXT");
    std::wstring text = ToWide(args.Text(2));
    auto ok = Send(*hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (!ok)
        return Fail(kFailed, "WM_SETTEXT failed");
    return Ok(JsonObject().AddInt("result", *ok));
}

// Adds style bits as a window tool does, without showing or redrawing anything.
Result AddStyleCommand(const Args& args) {
    auto hwnd = args.Window(1);
    auto bits = args.Number(2);
    if (!hwnd || !bits)
        return Fail(kBadInput, "usage: addstyle HWND BITS");
    const LONG_PTR style = GetWindowLongPtrW(*hwnd, GWL_STYLE);
    SetWindowLongPtrW(*hwnd, GWL_STYLE, style | LONG_PTR(*bits));
    return Ok(JsonObject().AddInt("style", static_cast<std::uint32_t>(GetWindowLongW(*hwnd, GWL_STYLE))));
}

// Moves and sizes a window the way its parent would (SetWindowPos), in the parent's coordinates.
Result MoveCommand(const Args& args) {
    auto hwnd = args.Window(1);
    auto x = args.Number(2), y = args.Number(3), width = args.Number(4), height = args.Number(5);
    if (!hwnd || !x || !y || !width || !height)
        return Fail(kBadInput, "usage: move HWND X Y WIDTH HEIGHT");
    if (!SetWindowPos(*hwnd, nullptr, int(*x), int(*y), int(*width), int(*height),
                      SWP_NOZORDER | SWP_NOACTIVATE))
        return Fail(kFailed, "SetWindowPos failed");
    return Ok(JsonObject());
}

Result GetTextCommand(const Args& args) {
    auto hwnd = args.Window(1);
    if (!hwnd)
        return Fail(kBadInput, "usage: gettext HWND");
    if (!IsWindow(*hwnd))
        return Fail(kNotFound, "no such window");
    return Ok(JsonObject().AddText("text", ToU16(TextOf(*hwnd))));
}

Result CharsCommand(const Args& args) {
    auto hwnd = args.Window(1);
    if (!hwnd || args.Size() < 3)
        return Fail(kBadInput, "usage: chars HWND TEXT");
    int sent = 0;
    for (char16_t c : args.Text(2)) {
        if (!Send(*hwnd, WM_CHAR, c, 1))
            return Fail(kFailed, "WM_CHAR failed");
        ++sent;
    }
    return Ok(JsonObject().AddInt("sent", sent));
}

Result FocusCommand() {
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    JsonObject json;
    json.AddInt("foreground", HwndValue(foreground));
    if (foreground && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info)) {
        json.AddInt("active", HwndValue(info.hwndActive))
            .AddInt("focus", HwndValue(info.hwndFocus))
            .AddInt("capture", HwndValue(info.hwndCapture))
            .AddInt("menu_owner", HwndValue(info.hwndMenuOwner))
            .AddInt("move_size", HwndValue(info.hwndMoveSize))
            .AddInt("caret", HwndValue(info.hwndCaret))
            .AddText("focus_class", ToU16(info.hwndFocus ? ClassOf(info.hwndFocus) : L""))
            .AddInt("focus_id", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    }
    return Ok(json);
}

// ---- system objects ------------------------------------------------------------------------------

Result MutexCommand(const Args& args) {
    if (args.Size() < 2)
        return Fail(kBadInput, "usage: mutex NAME");
    std::wstring name = ToWide(args.Text(1));
    // Its access list too, where this account may read it ("" where not).
    UniqueHandle mutex(OpenMutexW(SYNCHRONIZE | READ_CONTROL, FALSE, name.c_str()));
    std::wstring dacl;
    if (mutex) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        wchar_t* text = nullptr;
        if (GetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            nullptr, nullptr, &descriptor) == ERROR_SUCCESS &&
            ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                 DACL_SECURITY_INFORMATION, &text, nullptr))
            dacl = text;
        LocalFree(text);
        LocalFree(descriptor);
    } else {
        mutex.reset(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    }
    DWORD error = GetLastError();
    if (!mutex && error != ERROR_FILE_NOT_FOUND && error != ERROR_ACCESS_DENIED)
        return Fail(kFailed, "OpenMutex failed");
    return Ok(
        JsonObject().AddBool("exists", mutex || error == ERROR_ACCESS_DENIED).AddText("dacl", ToU16(dacl)));
}

// Takes a program's notification-area icon away, as a shell that restarted has lost it.
Result TrayDeleteCommand(const Args& args) {
    auto id = args.Number(2);
    if (args.Size() < 3 || !id)
        return Fail(kBadInput, "usage: tray-delete OWNER_CLASS ID");
    const std::wstring owner = ToWide(args.Text(1));
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = FindWindowW(owner.c_str(), nullptr);
    record.uID = static_cast<UINT>(*id);
    if (!record.hWnd)
        return Fail(kFailed, "no window of that class");
    return Ok(JsonObject().AddBool("deleted", Shell_NotifyIconW(NIM_DELETE, &record) != FALSE));
}

Result BroadcastCommand(const Args& args) {
    if (args.Size() < 2)
        return Fail(kBadInput, "usage: broadcast NAME");
    std::wstring name = ToWide(args.Text(1));
    UINT msg = RegisterWindowMessageW(name.c_str());
    if (!msg || !PostMessageW(HWND_BROADCAST, msg, 0, 0))
        return Fail(kFailed, "broadcast failed");
    return Ok(JsonObject().AddInt("msg", msg));
}

Result PidAliveCommand(const Args& args) {
    auto pid = args.Number(1);
    if (!pid)
        return Fail(kBadInput, "usage: pid-alive PID");
    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(*pid)));
    if (!process)
        return Ok(JsonObject().AddBool("alive", false));
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    bool alive = WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
    JsonObject json;
    json.AddBool("alive", alive);
    if (!alive)
        json.AddInt("exit_code", exitCode);
    return Ok(json);
}

Result ProcessesCommand() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) {
        snapshot.release();
        return Fail(kFailed, "CreateToolhelp32Snapshot failed");
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    std::vector<std::string> items;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        items.push_back(JsonObject()
                            .AddInt("pid", entry.th32ProcessID)
                            .AddInt("parent", entry.th32ParentProcessID)
                            .AddText("exe", ToU16(entry.szExeFile))
                            .Str());
    }
    return Ok(JsonObject().AddRaw("processes", probe::JsonArray(items)));
}

// One pixel of the screen as it is shown, 0xRRGGBB.
Result PixelCommand(const Args& args) {
    auto x = args.Number(1), y = args.Number(2);
    if (!x || !y)
        return Fail(kBadInput, "usage: pixel X Y");
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, int(*x), int(*y));
    ReleaseDC(nullptr, screen);
    return Ok(JsonObject().AddInt("rgb", std::uint32_t(GetRValue(colour)) << 16 |
                                             std::uint32_t(GetGValue(colour)) << 8 | GetBValue(colour)));
}

Result SysMetricsCommand() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return Ok(JsonObject()
                  .AddRaw("screen",
                          probe::JsonIntArray({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}))
                  .AddRaw("work_area", RectJson(work))
                  .AddInt("double_click_ms", GetDoubleClickTime())
                  .AddInt("acp", GetACP()));
}

// ---- Active Accessibility ----------------------------------------------------------------------

using veltrane::ComApartment;
using veltrane::ComRef;
using veltrane::UniqueBstr;

VARIANT ChildId(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A text property, or JSON null when the object has none or the call fails.
template <typename Getter> std::string AccText(Getter&& get) {
    UniqueBstr text;
    if (get(text.Put()) != S_OK || text.Empty())
        return "null";
    return probe::JsonQuote(ToU16(text.Text()));
}

// An integer property (role, state), or -1 when the call fails or gives no number.
template <typename Getter> std::int64_t AccNumber(Getter&& get) {
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = get(&value);
    const std::int64_t number =
        SUCCEEDED(hr) && value.vt == VT_I4 ? static_cast<std::uint32_t>(value.lVal) : -1;
    VariantClear(&value);
    return number;
}

JsonObject AccJson(IAccessible& acc, long id) {
    const VARIANT child = ChildId(id);
    JsonObject json;
    json.AddInt("role", AccNumber([&](VARIANT* v) { return acc.get_accRole(child, v); }))
        .AddRaw("name", AccText([&](BSTR* t) { return acc.get_accName(child, t); }))
        .AddInt("state", AccNumber([&](VARIANT* v) { return acc.get_accState(child, v); }))
        .AddRaw("default_action", AccText([&](BSTR* t) { return acc.get_accDefaultAction(child, t); }))
        .AddRaw("value", AccText([&](BSTR* t) { return acc.get_accValue(child, t); }));
    return json;
}

// The window's client object as a screen reader gets it: through WM_GETOBJECT, across processes.
// (__uuidof: x86-64 MinGW's import library gives IID_IAccessible a code thunk, not the GUID.)
ComRef<IAccessible> AccObject(HWND hwnd) {
    ComRef<IAccessible> acc;
    if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible), acc.PutVoid())))
        acc.Reset();
    return acc;
}

Result AccCommand(const Args& args) {
    auto hwnd = args.Window(1);
    if (!hwnd)
        return Fail(kBadInput, "usage: acc HWND");
    if (!IsWindow(*hwnd))
        return Fail(kNotFound, "no such window");
    ComApartment apartment;
    ComRef<IAccessible> acc = AccObject(*hwnd);
    if (!acc)
        return Fail(kFailed, "AccessibleObjectFromWindow failed");
    JsonObject json = AccJson(*acc.Get(), CHILDID_SELF);
    long count = 0;
    if (FAILED(acc->get_accChildCount(&count)))
        count = 0;
    // Children that are simple elements (a list's rows); child windows are objects of their own.
    std::vector<std::string> children;
    for (long id = 1; id <= count; ++id) {
        ComRef<IDispatch> object;
        if (acc->get_accChild(ChildId(id), object.Put()) == S_FALSE && !object)
            children.push_back(JsonObject().AddInt("id", id).AddFields(AccJson(*acc.Get(), id)).Str());
    }
    return Ok(json.AddInt("child_count", count).AddRaw("children", probe::JsonArray(children)));
}

Result AccDoCommand(const Args& args) {
    auto hwnd = args.Window(1);
    auto id = args.Size() > 2 ? args.Number(2) : std::optional<std::uint64_t>(CHILDID_SELF);
    if (!hwnd || !id)
        return Fail(kBadInput, "usage: acc-do HWND [CHILD]");
    ComApartment apartment;
    ComRef<IAccessible> acc = AccObject(*hwnd);
    if (!acc)
        return Fail(kFailed, "AccessibleObjectFromWindow failed");
    const HRESULT hr = acc->accDoDefaultAction(ChildId(static_cast<long>(*id)));
    if (FAILED(hr))
        return Fail(kFailed, "accDoDefaultAction failed");
    return Ok(JsonObject());
}

// ---- dispatch ------------------------------------------------------------------------------------

using Handler = std::function<Result(const Args&)>;

const std::map<std::u16string, Handler>& Handlers() {
    static const std::map<std::u16string, Handler> handlers{
        {u"wait",
         [](const Args& a) {
             return FindCommand(a, true);
         }},
        {u"find",
         [](const Args& a) {
             return FindCommand(a, false);
         }},
        {u"wait-hidden", WaitHiddenCommand},
        {u"list",
         [](const Args&) {
             return ListCommand();
         }},
        {u"children", ChildrenCommand},
        {u"listview", ListViewCommand},
        {u"lvcheck", ListViewCheckCommand},
        {u"lvitemrect", ListViewItemRectCommand},
        {u"scrollbars", ScrollBarsCommand},
        {u"post", PostCommand},
        {u"send", SendCommand},
        {u"click", ClickCommand},
        {u"showwindow", ShowWindowCommand},
        {u"settext", SetTextCommand},
        {u"move", MoveCommand},
        {u"addstyle", AddStyleCommand},
        {u"pixel", PixelCommand},
        {u"gettext", GetTextCommand},
        {u"chars", CharsCommand},
        {u"focus",
         [](const Args&) {
             return FocusCommand();
         }},
        {u"mutex", MutexCommand},
        {u"broadcast", BroadcastCommand},
        {u"tray-delete", TrayDeleteCommand},
        {u"pid-alive", PidAliveCommand},
        {u"procs",
         [](const Args&) {
             return ProcessesCommand();
         }},
        {u"acc", AccCommand},
        {u"acc-do", AccDoCommand},
        {u"sysmetrics",
         [](const Args&) {
             return SysMetricsCommand();
         }},
    };
    return handlers;
}

Result Run(const Args& args) {
    if (args.Size() == 0)
        return Fail(kBadInput, "no command");
    auto found = Handlers().find(args.Text(0));
    if (found == Handlers().end())
        return Fail(kBadInput, "unknown command");
    return found->second(args);
}

void WriteLine(const std::string& line) {
    std::string out = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

// Reads stdin up to the next newline; nothing at end of input.
std::optional<std::string> ReadLine(HANDLE input, std::string& pending) {
    for (;;) {
        auto newline = pending.find('\n');
        if (newline != std::string::npos) {
            std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            return line;
        }
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(input, buffer, sizeof buffer, &got, nullptr) || got == 0)
            return std::nullopt;
        pending.append(buffer, got);
    }
}

int Serve() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    WriteLine(JsonObject().AddBool("ok", true).AddAscii("ready", "serve").Str());
    while (auto line = ReadLine(input, pending)) {
        auto fields = probe::SplitServeLine(*line);
        std::vector<std::u16string> items;
        bool valid = fields.has_value();
        for (const std::string& field : fields.value_or(std::vector<std::string>{})) {
            auto text = probe::Utf8ToUtf16(field);
            valid = valid && text.has_value();
            items.push_back(text.value_or(u""));
        }
        if (!valid) {
            WriteLine(Fail(kBadInput, "bad line").json);
            continue;
        }
        if (items.size() == 1 && items.front() == u"exit")
            break;
        WriteLine(Run(Args(std::move(items))).json);
    }
    return kOk;
}

// Windows made under `explorer /desktop=NAME` live on that desktop; FindWindow sees only its own.
std::optional<UniqueDesktop> AttachDesktop() {
    wchar_t name[256] = {};
    DWORD length = GetEnvironmentVariableW(L"PROBE_DESKTOP", name, static_cast<DWORD>(std::size(name)));
    if (length == 0 || length >= std::size(name))
        return UniqueDesktop();
    ULONGLONG deadline = GetTickCount64() + kDesktopAttachMs;
    for (;;) {
        UniqueDesktop desktop(OpenDesktopW(name, 0, FALSE, GENERIC_ALL));
        if (desktop && SetThreadDesktop(desktop.get()))
            return desktop;
        if (GetTickCount64() >= deadline)
            return std::nullopt;
        Sleep(kPollMs);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    auto desktop = AttachDesktop();
    if (!desktop) {
        WriteLine(Fail(kFailed, "cannot attach to the desktop named by PROBE_DESKTOP").json);
        return kFailed;
    }
    std::vector<std::u16string> items;
    for (int i = 1; i < argc; ++i)
        items.push_back(ToU16(argv[i]));
    if (items.size() == 1 && items.front() == u"serve")
        return Serve();
    Result result = Run(Args(std::move(items)));
    WriteLine(result.json);
    return result.code;
}
