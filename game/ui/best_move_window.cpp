#include "best_move_window.h"

#include "analysis.h"
#include "aux_window.h"
#include "fenlow.h"
#include "modal_windows.h"
#include "report_error.h"
#include "worker_threads.h"

namespace tavik::ui {

HWND BestMoveWindow::Create(AuxWindowHost& frame, StudyHost& game) {
    auto* self = new BestMoveWindow(frame, game);
    self->window_ = frame.CreateAuxWindow("最善手探索", WS_CAPTION, 256, 106);
    return Attach(self, self->window_, Procedure);
}

void BestMoveWindow::Initialise() {
    const HFONT font = frame_.Font(kFontBestMove);
    close_ = Control(window_, 0, "BUTTON", "閉じる", WS_TABSTOP | BS_PUSHBUTTON, 132, 55, 115, 25,
                     kBestMoveCloseId, font);
    play_ = Control(window_, 0, "BUTTON", "着手", WS_TABSTOP | BS_PUSHBUTTON, 15, 55, 115, 25,
                    kPlayButtonId, font);
    text_ = Control(window_, 0, "STATIC", "最善手は........です", SS_CENTER, 3, 14, 244, 30,
                    kBestMoveTextId, font);
    keyboard_.emplace(window_);
    MoveWindowToCenter(window_, frame_.Handle());
    ShowWindow(window_, SW_SHOW);
    SetWindowTextA(text_, "");
    EnableWindow(play_, FALSE);
    depths_ = game_.StudyDepthsSet();
    priority_ = game_.ThinkPriority();
    if (!search_.Start(Search, this, priority_)) ReportError(kThinkThreadFailure);
}

DWORD WINAPI BestMoveWindow::Search(void* argument) {
    BestMoveWindow& self = *static_cast<BestMoveWindow*>(argument);
    // The main window is disabled while this window is open: the position cannot change.
    const BoardState board = self.game_.Board();
    const StudyDepths depths = self.depths_;
    SetWindowTextA(self.text_, BestMoveSearchingText(PlanBestMove(board, depths)).c_str());
    const auto result = FindBestMove(board, depths, self.search_.Cancel());
    if (!result) return 1;  // closed meanwhile
    {
        std::lock_guard<std::mutex> lock(self.resultLock_);
        self.result_ = *result;
    }
    SetWindowTextA(self.text_, BestMoveText(*result).c_str());
    if (result->move != 0 && self.game_.MayPlayStudiedMove()) EnableWindow(self.play_, TRUE);
    return 0;
}

void BestMoveWindow::Play() {
    ThinkResult move;
    {
        std::lock_guard<std::mutex> lock(resultLock_);
        move = result_;
    }
    if (move.move == 0) return;
    game_.PlayMove(move.move, move.value, move.nodes);
    Close();
}

void BestMoveWindow::Close() {
    // The search may be writing its text: the stop answers while it waits.
    search_.Stop();
    CloseModalWindow(window_, 0);
}

LRESULT CALLBACK BestMoveWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    return Dispatch<BestMoveWindow>(
        window, message, wParam, lParam, [&](BestMoveWindow& self) -> LRESULT {
            switch (message) {
                case WM_INITDIALOG:
                    self.Initialise();
                    return TRUE;
                case WM_COMMAND: {
                    const UINT id = PressedButton(window, wParam);
                    if (id == kPlayButtonId && IsWindowEnabled(self.play_)) self.Play();
                    if (id == kBestMoveCloseId) self.Close();
                    return 0;
                }
                case WM_CLOSE:
                    self.Close();
                    return 0;
                case WM_DESTROY:
                    self.keyboard_.reset();
                    self.search_.Stop();  // also when the main window goes first
                    return 0;
                default:
                    return DefWindowProcA(window, message, wParam, lParam);
            }
        });
}

}  // namespace tavik::ui
