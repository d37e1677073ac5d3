// The game-record window ("KifuWnd"): a tool window beside the board whose list view shows one
// row per recorded move. It is open exactly while the ShowKifu setting is set; the main
// window's ApplySettings opens and closes it, and its close box clears the setting.
#ifndef TAVIK_GAME_UI_RECORD_WINDOW_H
#define TAVIK_GAME_UI_RECORD_WINDOW_H

#include <windows.h>

#include <atomic>

#include "game_record.h"

namespace tavik::ui {

class MainWindow;

constexpr int kRecordListId = 1003;

class RecordWindow {
public:
    explicit RecordWindow(MainWindow& owner) : owner_(owner) {}
    RecordWindow(const RecordWindow&) = delete;
    RecordWindow& operator=(const RecordWindow&) = delete;

    // User-interface thread. Open places the window at the main window's right edge and hands
    // the focus back to the main window; both do nothing when already done.
    void Open();
    void Close();
    bool IsOpen() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND List() const { return list_; }

    // The rows, from any thread (the move thread adds them); nothing while the window is closed.
    void Rebuild(const GameRecord& record);
    void AppendRow(int row, const MoveEntry& entry);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    MainWindow& owner_;
    std::atomic<HWND> window_{nullptr};
    std::atomic<HWND> list_{nullptr};
};

}  // namespace tavik::ui

#endif
