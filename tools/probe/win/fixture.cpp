// Tiny tray-resident GUI program that the harness's own tests drive in place of the product.
//
//   fixture.exe [show] [exit=N] [reboot]
//
// Window class "VeltraneFixture", caption "测试窗口", with a check box, an edit and a list
// view with check boxes (two columns; row C:\ ticked, row D:\ not). Adds one tray
// icon, then appends "ready" to the file named by FIXTURE_LOG; "dblclick" on a tray
// double-click; "closed N" when its window is closed, and the process exits with N (default 0).
// With "reboot" it asks for a forced restart once ready, as the product does after applying.
// Logs "taskbar-created" when the "TaskbarCreated" message arrives.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>

namespace {

constexpr wchar_t kClassName[] = L"VeltraneFixture";
constexpr wchar_t kCaption[] = L"测试窗口";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTrayId = 1;
constexpr int kCheckBoxId = 101;
constexpr int kEditId = 102;
constexpr int kListId = 103;

struct Row {
    const wchar_t* name;
    const wchar_t* kind;
    bool checked;
};
constexpr Row kRows[] = {{L"C:\\", L"NTFS", true}, {L"D:\\", L"FAT32", false}};

struct Fixture {
    std::wstring logPath;
    int exitCode = 0;
    UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
};

void AppendLog(const Fixture& fixture, const char* line) {
    if (fixture.logPath.empty())
        return;
    HANDLE file = CreateFileW(fixture.logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string text = std::string(line) + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

NOTIFYICONDATAW TrayData(HWND hwnd) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd;
    data.uID = kTrayId;
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    return data;
}

HWND CreateControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, RECT r) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right, r.bottom,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void AddColumn(HWND list, int index, const wchar_t* caption, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(caption);
    column.cx = width;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int index, const Row& row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(row.name);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(row.kind);
    SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    ListView_SetCheckState(list, index, row.checked);
}

void CreateControls(HWND hwnd) {
    HWND check = CreateControl(hwnd, L"Button", L"选中", BS_AUTOCHECKBOX, kCheckBoxId, {8, 8, 120, 20});
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    CreateControl(hwnd, L"Edit", L"", WS_BORDER | ES_AUTOHSCROLL, kEditId, {8, 32, 200, 22});
    HWND list = CreateControl(hwnd, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT, kListId, {8, 60, 280, 90});
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    AddColumn(list, 0, L"分区", 100);
    AddColumn(list, 1, L"类型", 150);
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i)
        AddRow(list, i, kRows[i]);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* fixture = reinterpret_cast<Fixture*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        break;
    case WM_CREATE:
        CreateControls(hwnd);
        return 0;
    case kTrayMessage:
        if (lp == WM_LBUTTONDBLCLK)
            AppendLog(*fixture, "dblclick");
        return 0;
    case WM_DESTROY: {
        NOTIFYICONDATAW data = TrayData(hwnd);
        Shell_NotifyIconW(NIM_DELETE, &data);
        char line[32];
        std::snprintf(line, sizeof line, "closed %d", fixture->exitCode);
        AppendLog(*fixture, line);
        PostQuitMessage(fixture->exitCode);
        return 0;
    }
    default:
        if (fixture && msg == fixture->taskbarCreated && msg != 0)
            AppendLog(*fixture, "taskbar-created");
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void ForceRestart() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}

struct Options {
    bool show = false;
    bool reboot = false;
};

Fixture ReadSettings(int argc, wchar_t** argv, Options& options) {
    Fixture fixture;
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"FIXTURE_LOG", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        fixture.logPath = path;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"show") == 0)
            options.show = true;
        else if (std::wcscmp(argv[i], L"reboot") == 0)
            options.reboot = true;
        else if (std::wcsncmp(argv[i], L"exit=", 5) == 0)
            fixture.exitCode = static_cast<int>(std::wcstol(argv[i] + 5, nullptr, 10));
    }
    return fixture;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    Fixture fixture = ReadSettings(argc, argv, options);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                320, 220, nullptr, nullptr, instance, &fixture);
    if (!hwnd)
        return 3;
    NOTIFYICONDATAW data = TrayData(hwnd);
    Shell_NotifyIconW(NIM_ADD, &data);
    if (options.show)
        ShowWindow(hwnd, SW_SHOWNORMAL);
    AppendLog(fixture, "ready");
    if (options.reboot)
        ForceRestart();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
