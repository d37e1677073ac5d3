// The game's main window and everything one run of the program owns: the game session and the
// settings, the fonts, the menus and accelerators, the status bar, the board picture, the
// record window and the course of the game. WinMain makes one; the tests make one per test.
//
// Settings flow one way: the registry is read into the settings once (and written back once),
// the menu commands change the settings, and ApplySettings alone makes the menus, the designs
// and the record window show them.
#ifndef TAVIK_GAME_UI_MAIN_WINDOW_H
#define TAVIK_GAME_UI_MAIN_WINDOW_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "app_settings.h"
#include "board_view.h"
#include "commands.h"
#include "game_flow.h"
#include "game_session.h"
#include "gdi.h"
#include "menus.h"
#include "record_window.h"

namespace tavik::ui {

// One font per kind of auxiliary window, given to every control of that window.
enum FontKind { kFontVersion, kFontKifu, kFontEval, kFontBestMove, kFontPlayers, kFontCount };

constexpr int kStatusBarId = 70;

class MainWindow {
public:
    // `commandLine` is the process's (GetCommandLineA) in the game; the tests pass their own.
    MainWindow(HINSTANCE instance, const char* commandLine);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Start-up up to the shown main window (fonts, menus, classes, the window and its creation
    // steps) and the accelerator table. Answers the main window.
    HWND Create();
    // The main loop: accelerators first, then dialog navigation, then the usual dispatch.
    int RunMessageLoop();

    HINSTANCE Instance() const { return instance_; }
    HWND Handle() const { return window_; }
    HWND StatusBar() const { return status_; }
    HACCEL Accelerators() const { return accelerators_.get(); }
    HFONT Font(FontKind kind) const { return fonts_[kind].get(); }
    bool DebugSwitch() const { return debugSwitch_; }
    StudyMode StudyModeShown() const { return studyMode_; }  // for the evaluation window

    GameSession& Session() { return session_; }
    AppSettings& Settings() { return settings_; }
    MenuBar& Menus() { return menus_; }
    BoardView& View() { return view_; }
    RecordWindow& Records() { return records_; }
    GameFlow& Flow() { return flow_; }

    // Whether the board shows the legal-move frames (any thread; follows ApplySettings).
    bool LegalMoveFrames() const { return legalMoveFrames_; }
    // Any thread. Status-bar part 0, 1 or 2 (the text is copied, up to 1023 bytes).
    void SetStatusText(int part, const std::string& text);
    // The board picture of the session's position, then the turn status.
    void Redraw();
    void UpdateTurnStatus();

    // User-interface thread: the menus' marks, the loaded designs and the record window made
    // to show the settings, then Redraw.
    void ApplySettings();

    // A window beside the main one, owned by it: a tool window of the "NORMALDLG" class at the
    // default position, with the small icon of the program.
    HWND CreateAuxWindow(const char* caption, DWORD style, int width, int height);

    // Tests see every status text through this; empty in the game.
    std::function<void(int part, const char* text)> statusObserver;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RegisterClasses();
    void OnCreate();
    void OnDestroy();
    void OnCommand(UINT id);

    const HINSTANCE instance_;
    const std::string commandLine_;
    bool debugSwitch_ = false;
    HWND window_ = nullptr;
    HWND status_ = nullptr;  // a child of the main window, which destroys it
    OwnedFont fonts_[kFontCount];
    OwnedBrush faceBrush_;
    OwnedIcon smallIcon_;     // the main window class's
    OwnedIcon auxSmallIcon_;  // the windows beside it
    OwnedAccelerators accelerators_;
    MenuBar menus_;
    StudyMode studyMode_ = StudyMode::kEvaluate;
    GameSession session_;
    AppSettings settings_;  // the user-interface thread's; workers read copies
    std::atomic<bool> legalMoveFrames_{false};
    BoardView view_;
    RecordWindow records_{*this};
    GameFlow flow_{*this};
};

}  // namespace tavik::ui

#endif
