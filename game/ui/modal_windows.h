// The modal windows (the version, evaluation, best-move and players windows). Each runs its own
// message loop while the main window is disabled.
#ifndef TAVIK_GAME_UI_MODAL_WINDOWS_H
#define TAVIK_GAME_UI_MODAL_WINDOWS_H

#include <windows.h>

namespace tavik::ui {

class MainWindow;

enum class ModalWindow { kVersion, kEvaluation, kBestMove, kPlayers };

// Creates the window `which`, shows it, disables the main window and runs a nested message loop
// until WM_QUIT; answers the quit's wParam (0 when the window could not be made).
WPARAM RunModalWindow(MainWindow& owner, ModalWindow which);

// Ends a modal window: enables its owner again, destroys it, and ends the nested loop with
// `result`.
void CloseModalWindow(HWND window, WPARAM result);

// The keyboard of a modal window with controls: a WM_GETMESSAGE hook on this thread passes Tab
// and Return to IsDialogMessage for the window (moving between its controls) and turns Escape
// into WM_CLOSE; the messages go on to be dispatched as usual. Installed when the window is
// initialised and removed when it is destroyed; one window at a time has it, since modal
// windows cannot be open together.
void InstallModalKeyboard(HWND window);
void RemoveModalKeyboard();
HWND ModalKeyboardWindow();  // the window that has it, or null

}  // namespace tavik::ui

#endif
