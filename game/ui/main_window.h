// The game's main window and everything one run of the program owns: the game session and the
// settings, the fonts, the menus and accelerators, the status bar, the board picture, the
// record window and the course of the game. WinMain makes one; the tests make one per test.
//
// Settings flow one way: the registry is read into the settings once (and written back once),
// the menu commands change the settings, and ApplySettings alone makes the menus, the designs
// and the record window show them.
//
// The parts and windows it serves do not see it whole: each is given the one narrow view of it
// that its own header declares (GameFlowHost, RecordWindowHost, AuxWindowHost, FileCommandHost,
// StudyHost, PlayersHost), and this class implements them all.
#ifndef TAVIK_GAME_UI_MAIN_WINDOW_H
#define TAVIK_GAME_UI_MAIN_WINDOW_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "app_settings.h"
#include "aux_window.h"
#include "board_view.h"
#include "commands.h"
#include "file_commands.h"
#include "game_flow.h"
#include "game_session.h"
#include "gdi.h"
#include "hint_view.h"
#include "menus.h"
#include "players_window.h"
#include "record_window.h"
#include "study_host.h"
#include "version_window.h"

namespace tavik::ui {

constexpr int kStatusBarId = 70;

class MainWindow : GameFlowHost,
                   RecordWindowHost,
                   AuxWindowHost,
                   FileCommandHost,
                   StudyHost,
                   PlayersHost {
public:
    // `commandLine` is the process's (GetCommandLineA) in the game; the tests pass their own.
    MainWindow(HINSTANCE instance, const char* commandLine);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Start-up up to the shown main window (fonts, menus, classes, the window and its creation
    // steps) and the accelerator table, then the game file named on the command line, if any,
    // opened in the shown window. Answers the main window.
    HWND Create();
    // The main loop: accelerators first, then dialog navigation, then the usual dispatch.
    int RunMessageLoop();

    HINSTANCE Instance() const override { return instance_; }
    HWND Handle() const override { return window_; }
    HWND StatusBar() const { return status_; }
    HACCEL Accelerators() const { return accelerators_.get(); }
    HFONT Font(FontKind kind) const override { return fonts_[kind].get(); }
    bool DebugSwitch() const { return debugSwitch_; }

    // The parts themselves, for the tests, which look at what the window shows through them.
    GameSession& Session() { return session_; }
    AppSettings& Settings() { return settings_; }
    MenuBar& Menus() { return menus_; }
    BoardView& View() { return view_; }
    RecordWindow& Records() { return records_; }
    GameFlow& Flow() { return flow_; }
    HintView& MoveValues() { return hints_; }

    // Whether the board shows the legal-move frames (any thread; follows ApplySettings).
    bool LegalMoveFrames() const { return legalMoveFrames_; }
    // Any thread. Status-bar part 0, 1 or 2 (the text is copied, up to 1023 bytes).
    void SetStatusText(int part, const std::string& text) override;
    // User-interface thread: part 0 shows `text` until a timer clears it, unless another text
    // took its place meanwhile.
    void ShowStatusForAMoment(const std::string& text) override;
    // The board picture of the session's position, then the turn status.
    void Redraw() override;
    void UpdateTurnStatus() override;

    // User-interface thread: the menus' marks, the loaded designs and the record window made
    // to show the settings, then Redraw.
    void ApplySettings();

    // A window beside the main one, owned by it: a tool window of the "NORMALDLG" class at the
    // default position, with the small icon of the program.
    HWND CreateAuxWindow(const char* caption, DWORD style, int width, int height) override;

    // Tests see every status text through this; empty in the game.
    std::function<void(int part, const char* text)> statusObserver;
    // Where the version window takes the engine's record from; a test may put a stand-in here.
    VersionWindow::VersionSource engineVersion = GetVersionInfo;

private:
    // The views, as the parts and windows that are given them see them.
    const AppSettings& CurrentSettings() const override { return settings_; }
    void ShowGameRunning(bool running) override;
    void EnableStudy(bool enabled) override;
    void StopMoveValues() override { hints_.Stop(); }
    void RebuildRecordRows(const GameRecord& record) override { records_.Rebuild(record); }
    void AppendRecordRow(int row, const MoveEntry& entry) override {
        records_.AppendRow(row, entry);
    }
    GameRecord RecordCopy() const override { return session_.Record(); }
    void HideRecordWindow() override;
    OwnedBitmap BoardPicture() override { return view_.PaintCopy(session_.Board(), false); }
    bool ChangeGame(const std::function<void(BoardState&, GameRecord&)>& change) override {
        return flow_.ChangeGame(change);
    }
    BoardState Board() const override { return session_.Board(); }
    StudyDepths StudyDepthsSet() const override { return settings_.study; }
    int ThinkPriority() const override { return settings_.thinkThreadPriority; }
    bool MayPlayStudiedMove() const override {
        return session_.Running() && !session_.WorkerBusy();
    }
    bool PlayMove(int square, int value, int nodes) override {
        return flow_.PlayMove(square, value, nodes);
    }
    PlayerSettings& Player(int side) override {
        return side == 1 ? settings_.black : settings_.white;
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RegisterClasses();
    void OnCreate();
    void OnDestroy();
    void OnCommand(UINT id);
    void OnDropFiles(HDROP drop);
    void OnStatusTimer();
    // Any thread: the move values made to follow the position shown (on this window's thread,
    // so a move thread posts the request).
    void RequestMoveValues();
    void UpdateMoveValues();  // user-interface thread
    // A study window's loop runs inside `open`: no move values meanwhile, then again after.
    void WithoutMoveValues(const std::function<void()>& open);

    const HINSTANCE instance_;
    const std::string commandLine_;
    bool debugSwitch_ = false;
    std::vector<std::string> startupFiles_;  // named on the command line, opened once shown
    std::string momentText_;                 // what ShowStatusForAMoment put in part 0
    HWND window_ = nullptr;
    HWND status_ = nullptr;  // a child of the main window, which destroys it
    OwnedFont fonts_[kFontCount];
    OwnedBrush faceBrush_;
    OwnedIcon smallIcon_;     // the main window class's
    OwnedIcon auxSmallIcon_;  // the windows beside it
    OwnedAccelerators accelerators_;
    MenuBar menus_;
    GameSession session_;
    AppSettings settings_;  // the user-interface thread's; workers read copies
    std::atomic<bool> legalMoveFrames_{false};
    std::atomic<bool> moveValues_{false};  // settings_.showMoveValues, for any thread
    DWORD uiThread_ = 0;
    bool studyOpen_ = false;  // user-interface thread
    HintView hints_;
    BoardView view_;
    RecordWindow records_{*this, *this};
    GameFlow flow_{session_, *this};
};

}  // namespace tavik::ui

#endif
