#include "modal_windows.h"

namespace tavik::ui {

ModalKeyboard* ModalKeyboard::current_ = nullptr;
std::atomic<HWND> ModalKeyboard::currentWindow_{nullptr};

LRESULT CALLBACK ModalKeyboard::Hook(int code, WPARAM wParam, LPARAM lParam) {
    // Only messages taken from the queue: a look with PM_NOREMOVE passes here too.
    if (code == HC_ACTION && wParam == PM_REMOVE && current_) {
        const HWND window = current_->window_;
        MSG* message = reinterpret_cast<MSG*>(lParam);
        if (message->message == WM_KEYDOWN) {
            if (message->wParam == VK_TAB || message->wParam == VK_RETURN)
                IsDialogMessageA(window, message);
            else if (message->wParam == VK_ESCAPE)
                SendMessageA(window, WM_CLOSE, 0, 0);
        }
    }
    // Read again: the window may have closed meanwhile, taking its keyboard with it.
    return CallNextHookEx(current_ ? current_->hook_ : nullptr, code, wParam, lParam);
}

ModalKeyboard::ModalKeyboard(HWND window) : window_(window) {
    if (current_) current_->Unhook();
    current_ = this;
    currentWindow_ = window;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, Hook, nullptr, GetCurrentThreadId());
}

ModalKeyboard::~ModalKeyboard() {
    if (current_ != this) return;  // taken over: its hook is gone already
    Unhook();
    current_ = nullptr;
    currentWindow_ = nullptr;
}

void ModalKeyboard::Unhook() {
    if (hook_) UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
}

HWND ModalKeyboard::Window() { return currentWindow_; }

WPARAM RunModalWindow(HWND owner, HWND window) {
    if (!window) return 0;
    ShowWindow(window, SW_SHOW);
    EnableWindow(owner, FALSE);
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

}  // namespace tavik::ui
