// What the windows beside the main one share: each is a window of the "NORMALDLG" class whose
// procedure is DefWindowProcA, given a procedure of its own right after creation; the object
// behind it is found through the window's user data.
#ifndef TAVIK_GAME_UI_AUX_WINDOW_H
#define TAVIK_GAME_UI_AUX_WINDOW_H

#include <windows.h>

namespace tavik::ui {

// Gives `window` the procedure `procedure`, which finds `self` with SelfOf.
template <class T>
void Subclass(HWND window, T* self, WNDPROC procedure) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

// The object behind a subclassed window; null before Subclass and after Release.
template <class T>
T* SelfOf(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Its messages go to DefWindowProcA from now on (for the window's last messages, once the
// object behind it is gone or going).
inline void Release(HWND window) { SetWindowLongPtrA(window, GWLP_USERDATA, 0); }

// Makes a control of `parent` with `id`, given the window's font.
inline HWND Control(HWND parent, DWORD extendedStyle, const char* cls, const char* text, DWORD style, int x,
                    int y, int width, int height, int id, HFONT font) {
    HWND control = CreateWindowExA(extendedStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                                   nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}

}  // namespace tavik::ui

#endif
