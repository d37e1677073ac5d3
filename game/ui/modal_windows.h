// The modal windows (the version, evaluation, best-move and players windows). Each runs its own
// message loop while the main window is disabled.
#ifndef TAVIK_GAME_UI_MODAL_WINDOWS_H
#define TAVIK_GAME_UI_MODAL_WINDOWS_H

#include <windows.h>

#include <atomic>

namespace tavik::ui {

// Shows `window`, a modal window just made by its Create, disables `owner` and runs a nested
// message loop until WM_QUIT; answers the quit's wParam. A window that could not be made (null)
// opens nothing and answers 0.
WPARAM RunModalWindow(HWND owner, HWND window);

// Ends a modal window: enables its owner again, destroys it, and ends the nested loop with
// `result`.
void CloseModalWindow(HWND window, WPARAM result);

// The keyboard of a modal window with controls, for as long as this object lives: a
// WM_GETMESSAGE hook on this thread passes Tab and Return to IsDialogMessage for the window
// (moving between its controls) and turns Escape into WM_CLOSE; the messages go on to be
// dispatched as usual. One window at a time has it, since modal windows cannot be open
// together: a new one takes it over, and an older one that goes later leaves the new one's be.
// User-interface thread.
class ModalKeyboard {
public:
    explicit ModalKeyboard(HWND window);
    ~ModalKeyboard();
    ModalKeyboard(const ModalKeyboard&) = delete;
    ModalKeyboard& operator=(const ModalKeyboard&) = delete;

    static HWND Window();  // any thread: the window that has the keyboard, or null

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Unhook();

    const HWND window_;
    HHOOK hook_ = nullptr;
    // A hook procedure is given no pointer of ours, so it finds the keyboard's owner here; only
    // this class sees it. The window is kept apart as well, for Window() on other threads,
    // which must not reach into an owner the user-interface thread may be destroying.
    static ModalKeyboard* current_;
    static std::atomic<HWND> currentWindow_;
};

}  // namespace tavik::ui

#endif
