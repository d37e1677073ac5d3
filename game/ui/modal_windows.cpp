#include "modal_windows.h"

#include <cstring>

#include "main_window.h"

namespace tavik::ui {

namespace {

// The modal windows by name; each is made, subclassed and initialised by its creator. A name
// without a window here creates nothing.
struct ModalWindow {
    const char* name;
    HWND (*create)(MainWindow& owner);
};
const ModalWindow kModalWindows[] = {
    {"", nullptr},  // the version, evaluation, best-move and players windows join here
};

}  // namespace

WPARAM RunModalWindow(MainWindow& owner, const char* name) {
    HWND window = nullptr;
    for (const ModalWindow& modal : kModalWindows)
        if (modal.create && std::strcmp(modal.name, name) == 0) window = modal.create(owner);
    if (!window) return 0;
    ShowWindow(window, SW_SHOW);
    EnableWindow(owner.Handle(), FALSE);
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.wParam;
}

void CloseModalWindow(HWND window, WPARAM result) {
    EnableWindow(GetWindow(window, GW_OWNER), TRUE);
    DestroyWindow(window);
    PostMessageA(nullptr, WM_QUIT, result, 0);
}

}  // namespace tavik::ui
