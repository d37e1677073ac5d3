// The game-record window ("KifuWnd"): a tool window beside the board whose list view shows one
// row per recorded move. It is open exactly while the ShowKifu setting is set; the main
// window's ApplySettings opens and closes it, and its close box clears the setting.
#ifndef TAVIK_GAME_UI_RECORD_WINDOW_H
#define TAVIK_GAME_UI_RECORD_WINDOW_H

#include <windows.h>

#include <atomic>

#include "aux_window.h"
#include "game_record.h"

namespace tavik::ui {

constexpr int kRecordListId = 1003;

// What the record window asks of the window that owns it besides its frame.
class RecordWindowHost {
public:
    virtual GameRecord RecordCopy() const = 0;  // the game's record as it is now
    // The user closed the window: the setting that keeps it open is cleared and applied.
    virtual void HideRecordWindow() = 0;

protected:
    ~RecordWindowHost() = default;
};

class RecordWindow {
public:
    RecordWindow(AuxWindowHost& frame, RecordWindowHost& host) : frame_(frame), host_(host) {}
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

    AuxWindowHost& frame_;
    RecordWindowHost& host_;
    std::atomic<HWND> window_{nullptr};
    std::atomic<HWND> list_{nullptr};
};

}  // namespace tavik::ui

#endif
