#pragma once
// The common controls, loaded when the first window with controls is made rather than imported:
// the program in the notification area needs none until then, and under Wine the library's start-up
// alone (its tooltip icons at 256 x 256) costs an idle program a megabyte and a half. Loaded by name,
// so that the version the manifest asks for is the one that comes.

#include <windows.h>
#include <commctrl.h>

#include "platform/LateBound.h"

namespace veltrane::comctl {

inline HMODULE Library() {
    static const HMODULE library = ::LoadLibraryW(L"comctl32.dll");
    return library;
}

template <typename Function> Function* Find(const char* name) {
    return LateBound<Function>(Library(), name);
}

inline BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
    static auto* const call = Find<decltype(::InitCommonControlsEx)>("InitCommonControlsEx");
    return call ? call(classes) : FALSE;
}

inline BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    static auto* const call = Find<decltype(::SetWindowSubclass)>("SetWindowSubclass");
    return call ? call(window, procedure, id, data) : FALSE;
}

inline BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    static auto* const call = Find<decltype(::RemoveWindowSubclass)>("RemoveWindowSubclass");
    return call ? call(window, procedure, id) : FALSE;
}

inline BOOL GetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR* data) {
    static auto* const call = Find<decltype(::GetWindowSubclass)>("GetWindowSubclass");
    return call ? call(window, procedure, id, data) : FALSE;
}

inline LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static auto* const call = Find<decltype(::DefSubclassProc)>("DefSubclassProc");
    return call ? call(window, message, wParam, lParam) : ::DefWindowProcW(window, message, wParam, lParam);
}

inline HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) {
    static auto* const call = Find<decltype(::ImageList_Create)>("ImageList_Create");
    return call ? call(width, height, flags, initial, grow) : nullptr;
}

inline BOOL ImageList_Destroy(HIMAGELIST list) {
    static auto* const call = Find<decltype(::ImageList_Destroy)>("ImageList_Destroy");
    return call ? call(list) : FALSE;
}

inline int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    static auto* const call = Find<decltype(::ImageList_Add)>("ImageList_Add");
    return call ? call(list, image, mask) : -1;
}

inline int ImageList_GetImageCount(HIMAGELIST list) {
    static auto* const call = Find<decltype(::ImageList_GetImageCount)>("ImageList_GetImageCount");
    return call ? call(list) : 0;
}

inline BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height) {
    static auto* const call = Find<decltype(::ImageList_GetIconSize)>("ImageList_GetIconSize");
    return call ? call(list, width, height) : FALSE;
}

inline HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags) {
    static auto* const call = Find<decltype(::ImageList_GetIcon)>("ImageList_GetIcon");
    return call ? call(list, index, flags) : nullptr;
}

inline BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    static auto* const call = Find<decltype(::ImageList_Draw)>("ImageList_Draw");
    return call ? call(list, index, dc, x, y, style) : FALSE;
}

// The classes the program's forms are made of: standard controls and the list view.
inline void FormClassesRegister() {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    comctl::InitCommonControlsEx(&classes);
}

} // namespace veltrane::comctl
