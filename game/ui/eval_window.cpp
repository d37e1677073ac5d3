#include "eval_window.h"

#include <commctrl.h>

#include <thread>

#include "analysis.h"
#include "aux_window.h"
#include "fenlow.h"
#include "modal_windows.h"
#include "report_error.h"
#include "texts.h"
#include "worker_threads.h"

namespace tavik::ui {

namespace {

void AddColumn(HWND list, int index, const std::string& text, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(text.c_str());
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

// Every processor, for the analyses of all moves.
int Processors() {
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(count);
}

}  // namespace

HWND EvalWindow::Create(AuxWindowHost& frame, StudyHost& game, StudyMode mode) {
    auto* self = new EvalWindow(frame, game, mode);
    self->window_ = frame.CreateAuxWindow("", WS_CAPTION, 282, 215);
    return Attach(self, self->window_, Procedure);
}

void EvalWindow::Initialise() {
    const HFONT font = frame_.Font(kFontEval);
    list_ = Control(window_, WS_EX_CLIENTEDGE, "SysListView32", "",
                    WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0, 165, 191,
                    kEvalListId, font);
    close_ = Control(window_, 0, "BUTTON", "閉じる", WS_TABSTOP | BS_PUSHBUTTON, 170, 164, 104, 25,
                     kEvalCloseId, font);
    keyboard_.emplace(window_);
    MoveWindowToCenter(window_, frame_.Handle());
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    AddColumn(list_, 0, "場所", 50);
    ShowWindow(window_, SW_SHOW);
    AddColumn(list_, 1, ValueHeading(mode_), 75);
    depths_ = game_.StudyDepthsSet();
    priority_ = game_.ThinkPriority();
    if (!search_.Start(Analyse, this, priority_)) ReportError(kThinkThreadFailure);
    SetFocus(close_);
}

DWORD WINAPI EvalWindow::Analyse(void* argument) {
    EvalWindow& self = *static_cast<EvalWindow*>(argument);
    AnalysisOptions options;
    options.mode = self.mode_;
    options.depths = self.depths_;
    options.threads = Processors();
    const HWND window = self.window_;
    options.caption = [window](const std::string& text) { SetWindowTextA(window, text.c_str()); };
    const int priority = self.priority_;
    options.threadStarted = [priority] { SetThreadPriority(GetCurrentThread(), priority); };
    // The main window is disabled while this window is open: the position cannot change.
    const auto rows = AnalyseAllMoves(self.game_.Board(), options, self.search_.Cancel());
    if (!rows) return 1;  // closed meanwhile: nothing is listed
    {
        std::lock_guard<std::mutex> lock(self.rowsLock_);
        self.rows_ = *rows;
    }
    for (size_t i = 0; i < rows->size(); ++i) {
        const std::string square = SquareName((*rows)[i].move),
                          value = FormatValue((*rows)[i].value);
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(square.c_str());
        SendMessageA(self.list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(value.c_str());
        SendMessageA(self.list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SetWindowTextA(window, StudyTitle(self.mode_).c_str());
    return 0;
}

void EvalWindow::Play(int row) {
    if (row < 0 || !game_.MayPlayStudiedMove()) return;
    ThinkResult move{};
    {
        std::lock_guard<std::mutex> lock(rowsLock_);
        if (row >= static_cast<int>(rows_.size())) return;
        move = rows_[row];
    }
    if (move.move == 0) return;
    // Only the evaluation's own search stands behind its value and node count.
    if (mode_ == StudyMode::kEvaluate)
        game_.PlayMove(move.move, move.value, move.nodes);
    else
        game_.PlayMove(move.move, 0, 0);
    Close();
}

void EvalWindow::Close() {
    // The analysis may be setting the caption or a row: the stop answers while it waits.
    search_.Stop();
    CloseModalWindow(window_, 0);
}

LRESULT CALLBACK EvalWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch<EvalWindow>(window, message, wParam, lParam, [&](EvalWindow& self) -> LRESULT {
        switch (message) {
            case WM_INITDIALOG:
                self.Initialise();
                return TRUE;
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->idFrom == kEvalListId && header->code == NM_DBLCLK)
                    self.Play(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
                return 0;
            }
            case WM_COMMAND:
                if (PressedButton(window, wParam) == kEvalCloseId) self.Close();
                return 0;
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
