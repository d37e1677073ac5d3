// What the windows beside the main one share: each is a window of the "NORMALDLG" class whose
// procedure is DefWindowProcA, given a procedure of its own right after creation; the object
// behind it is found through the window's user data.
#ifndef TAVIK_GAME_UI_AUX_WINDOW_H
#define TAVIK_GAME_UI_AUX_WINDOW_H

#include <windows.h>

namespace tavik::ui {

// One font per kind of auxiliary window, given to every control of that window.
enum FontKind { kFontVersion, kFontKifu, kFontEval, kFontBestMove, kFontPlayers, kFontCount };

// What a window beside the main one asks of the main window: to be made as one of its tool
// windows, the font of its kind, the main window itself (to be centred on or placed beside)
// and the module its pictures come from.
class AuxWindowHost {
public:
    virtual HWND Handle() const = 0;
    virtual HINSTANCE Instance() const = 0;
    virtual HFONT Font(FontKind kind) const = 0;
    virtual HWND CreateAuxWindow(const char* caption, DWORD style, int width, int height) = 0;

protected:
    ~AuxWindowHost() = default;
};

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

// A window object's procedure: `handle(self)` answers each message while the object lives. The
// object is deleted with the window's last message (WM_NCDESTROY); messages before Subclass or
// after Release go to DefWindowProcA.
template <class T, class Handler>
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Handler handle) {
    T* self = SelfOf<T>(window);
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        Release(window);
        delete self;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return handle(*self);
}

// Gives a new window its object and procedure, then initialises it as a dialog would be.
template <class T>
HWND Attach(T* self, HWND window, WNDPROC procedure) {
    Subclass(window, self, procedure);
    SendMessageA(window, WM_INITDIALOG, 0, 0);
    return window;
}

// Makes a control of `parent` with `id`, given the window's font.
inline HWND Control(HWND parent, DWORD extendedStyle, const char* cls, const char* text,
                    DWORD style, int x, int y, int width, int height, int id, HFONT font) {
    HWND control = CreateWindowExA(
        extendedStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}

// The button a WM_COMMAND presses, or 0: a click on a button gives its own ID; Return, passed
// to the dialog keyboard of a window that is no dialog, arrives as IDOK and presses the push
// button that has the focus (so Tab to a button and Return press it, as in a dialog).
inline UINT PressedButton(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == IDOK) {
        HWND focus = GetFocus();
        if (!focus || GetParent(focus) != window) return 0;
        char cls[16] = {};
        GetClassNameA(focus, cls, sizeof cls);
        const LONG kind = GetWindowLongA(focus, GWL_STYLE) & BS_TYPEMASK;
        const bool push =
            lstrcmpiA(cls, "BUTTON") == 0 && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
        return push ? static_cast<UINT>(GetDlgCtrlID(focus)) : 0;
    }
    return HIWORD(wParam) == BN_CLICKED ? LOWORD(wParam) : 0;
}

}  // namespace tavik::ui

#endif
