#include "modal_windows.h"

#include "best_move_window.h"
#include "eval_window.h"
#include "main_window.h"
#include "players_window.h"
#include "version_window.h"

namespace tavik::ui {

namespace {

// Each window is made, subclassed and initialised by its creator. No default: a window added to
// the enumeration and not here is a warning, which the build treats as an error.
HWND CreateModalWindow(MainWindow& owner, ModalWindow which) {
    switch (which) {
    case ModalWindow::kVersion: return VersionWindow::Create(owner);
    case ModalWindow::kEvaluation: return EvalWindow::Create(owner);
    case ModalWindow::kBestMove: return BestMoveWindow::Create(owner);
    case ModalWindow::kPlayers: return PlayersWindow::Create(owner);
    }
    return nullptr;
}

// The one modal window's keyboard hook.
HHOOK gKeyboardHook = nullptr;
HWND gKeyboardWindow = nullptr;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    // Only messages taken from the queue: a look with PM_NOREMOVE passes here too.
    if (code == HC_ACTION && wParam == PM_REMOVE && gKeyboardWindow) {
        MSG* message = reinterpret_cast<MSG*>(lParam);
        if (message->message == WM_KEYDOWN) {
            if (message->wParam == VK_TAB || message->wParam == VK_RETURN)
                IsDialogMessageA(gKeyboardWindow, message);
            else if (message->wParam == VK_ESCAPE)
                SendMessageA(gKeyboardWindow, WM_CLOSE, 0, 0);
        }
    }
    return CallNextHookEx(gKeyboardHook, code, wParam, lParam);
}

}  // namespace

WPARAM RunModalWindow(MainWindow& owner, ModalWindow which) {
    const HWND window = CreateModalWindow(owner, which);
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
    HWND owner = GetWindow(window, GW_OWNER);
    EnableWindow(owner, TRUE);
    DestroyWindow(window);
    // The keyboard goes back to the window the modal one came from: left to itself, Wine hands
    // it to the record window, where a following Alt+F4 would close that instead of the game.
    SetActiveWindow(owner);
    PostMessageA(nullptr, WM_QUIT, result, 0);
}

void InstallModalKeyboard(HWND window) {
    RemoveModalKeyboard();
    gKeyboardWindow = window;
    gKeyboardHook = SetWindowsHookExA(WH_GETMESSAGE, KeyboardHook, nullptr, GetCurrentThreadId());
}

void RemoveModalKeyboard() {
    if (gKeyboardHook) UnhookWindowsHookEx(gKeyboardHook);
    gKeyboardHook = nullptr;
    gKeyboardWindow = nullptr;
}

HWND ModalKeyboardWindow() { return gKeyboardWindow; }

}  // namespace tavik::ui
