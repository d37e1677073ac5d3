// The course of a game: whose turn it is, the computer player's thread, the move thread that
// applies every move under the move lock, passes and the result.
//
// Stopping a thinking computer player: the search is asked to end (CancelThink, which the
// engine polls every thousand positions, and a flag this file checks around it) and the thread
// is waited for, so it always ends by returning. Nothing is ever killed, so no lock of ours, the
// heap's, the C runtime's or the window system's can be left taken, and the engine's memo table
// is handed back. While it waits, the waiting thread answers messages sent to its windows, since
// the thinking thread may be in the middle of updating the status bar.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <string>

#include "board_functions.h"
#include "game_flow.h"
#include "texts.h"
#include "ui.h"

namespace tavik::ui {

LONG g_studyMode = 0;
void (*g_statusObserverForTests)(int part, const char* text) = nullptr;

namespace {

// The computer player's thread, closed once it has ended. Starting and stopping take the lock,
// so a move thread that starts the next player and the window that stops the game agree on it.
HANDLE g_thinkThread = nullptr;
CRITICAL_SECTION g_thinkLock;
INIT_ONCE g_thinkLockOnce = INIT_ONCE_STATIC_INIT;
volatile LONG g_thinkCancelled = 0;    // set by StopComputerPlayer, read by the thread
volatile LONG g_movesInFlight = 0;     // move threads created and not yet finished
DWORD g_turnStartTime = 0;

// One move on its way to the move thread, by value: a later PlayMove cannot change it, and the
// turn it was meant for travels with it, so a move that arrives late is refused.
struct PendingMove {
    int32_t square, value, nodes;
    int32_t side;     // the side to move when the move was chosen
    int32_t empties;  // empty squares then: the turn it belongs to
};

bool ComputerPlays(int side) {
    return side == 1 ? g_settings.black.isComputer != 0 : g_settings.white.isComputer != 0;
}

// Waits for a thread to end while answering messages sent to this thread's windows.
void WaitAnswering(HANDLE thread) {
    for (;;) {
        const DWORD got = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (got != WAIT_OBJECT_0 + 1) return;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void __stdcall ThinkProgress(const char* text) {
    // A request that came just before the search began has not reached it: pass it on.
    if (g_thinkCancelled) {
        CancelThink();
        return;
    }
    SetStatusText(2, text);
}

DWORD WINAPI ComputerThinkThread(void*) {
    const BoardState board = g_board;  // the position does not change while the computer thinks
    char moves[64] = {};
    for (int i = 0; i < 60 && g_record.moves[i].square != 0; ++i)
        moves[i] = static_cast<char>(g_record.moves[i].square);
    ThinkResult result{0, 0, 0};
    ThinkBook(moves, &result, board.sideToMove);
    bool finished = true;
    if (!CanDrop(&board, result.move)) {
        const PlayerSettings& player = board.sideToMove == 1 ? g_settings.black : g_settings.white;
        const int32_t depth = EngineDepth(player.normalDepth, player.winDepth, player.perfectDepth,
                                          CountCells(board, 0));
        finished = !g_thinkCancelled && Think(&board, depth, &result, 0, ThinkProgress) != 0;
    }
    if (!finished || g_thinkCancelled) return 1;  // StopComputerPlayer tidies up

    SetStatusText(2, "");
    // The flag is cleared before the move is handed on: the move thread may start the next
    // computer player at once, which sets it again.
    g_workerBusy = 0;
    SetStudyMenuEnabled(true);
    if (result.move < 10 || result.move > 80)
        ReportError("エラー発生");
    else
        PlayMove(result.move, result.value, result.nodes);
    return 0;
}

BOOL CALLBACK InitThinkLock(INIT_ONCE*, void*, void**) {
    InitializeCriticalSection(&g_thinkLock);
    return TRUE;
}

CRITICAL_SECTION& ThinkLock() {
    InitOnceExecuteOnce(&g_thinkLockOnce, InitThinkLock, nullptr, nullptr);
    return g_thinkLock;
}

// Takes the thread out of the shared handle; the caller waits for it and closes it.
HANDLE TakeThinkThread(bool cancel) {
    EnterCriticalSection(&ThinkLock());
    HANDLE thread = g_thinkThread;
    g_thinkThread = nullptr;
    if (thread && cancel) {
        g_thinkCancelled = 1;
        CancelThink();
    }
    LeaveCriticalSection(&ThinkLock());
    return thread;
}

void StartComputerThinking() {
    // The previous player handed its move over and is returning.
    if (HANDLE previous = TakeThinkThread(false)) {
        WaitAnswering(previous);
        CloseHandle(previous);
    }
    EnterCriticalSection(&ThinkLock());
    if (!g_gameRunning) {  // stopped meanwhile
        LeaveCriticalSection(&ThinkLock());
        return;
    }
    g_thinkCancelled = 0;
    g_workerBusy = 1;
    SetStudyMenuEnabled(false);
    DWORD id;
    g_thinkThread = CreateThread(nullptr, 0, ComputerThinkThread, nullptr, 0, &id);
    if (g_thinkThread) SetThreadPriority(g_thinkThread, g_settings.thinkThreadPriority);
    const bool started = g_thinkThread != nullptr;
    LeaveCriticalSection(&ThinkLock());
    if (!started) {
        g_workerBusy = 0;
        SetStudyMenuEnabled(true);
        ReportError("思考スレッドの作成に失敗しました。");
    }
}

void ShowGameResult() {
    Redraw();
    const int black = CountCells(g_board, 1), white = CountCells(g_board, -1), margin = black - white;
    std::string text = "黒 : " + std::to_string(black) + "石\t白 : " + std::to_string(white) + "石\r\n\r\n";
    if (margin > 0)
        text += "黒の" + std::to_string(margin) + "石勝ち";
    else if (margin < 0)
        text += "白の" + std::to_string(-margin) + "石勝ち";
    else
        text += "引き分け";
    MessageBoxA(g_ui.main, text.c_str(), "終局", MB_OK);
    StopGame();
}

DWORD WINAPI MoveThread(void* argument) {
    const PendingMove move = *static_cast<PendingMove*>(argument);
    delete static_cast<PendingMove*>(argument);
    EnterCriticalSection(&g_moveLock);
    const DWORD moveTime = timeGetTime();
    // A move for a turn that is over (stopped, stepped away, or already answered) is dropped.
    if (g_gameRunning && g_board.sideToMove == move.side && CountCells(g_board, 0) == move.empties &&
        ReverseStones(&g_board, move.square)) {
        const int number = 60 - CountCells(g_board, 0);
        const RecordListUpdate update =
            RecordMove(g_record, number, -g_board.sideToMove, move.square, move.value,
                       static_cast<int32_t>(moveTime - g_turnStartTime), move.nodes, "");
        if (update == RecordListUpdate::kAppendRow)
            AppendRecordRow(number - 1);
        else
            RebuildRecordList();
        Redraw();
        NextTurn();
    }
    LeaveCriticalSection(&g_moveLock);
    InterlockedDecrement(&g_movesInFlight);
    return 0;
}

}  // namespace

void NextTurn() {
    UpdateTurnStatus();
    if (!g_gameRunning) return;
    g_turnStartTime = timeGetTime();
    if (MustPass(g_board)) {
        if (IsGameOver(g_board)) {
            ShowGameResult();
            return;
        }
        if (!(g_settings.black.isComputer && g_settings.white.isComputer))
            MessageBoxA(g_ui.main, g_board.sideToMove == 1 ? "黒：パスです" : "白：パスです", "パス", MB_OK);
        g_board.sideToMove = -g_board.sideToMove;
    }
    if (ComputerPlays(g_board.sideToMove)) {
        Sleep(1);
        StartComputerThinking();
    } else if (g_settings.designateAutoPlay && ForcedMove(g_board) != 0) {
        StartComputerThinking();
    }
}

void NewGame() {
    StopGame();
    ResetBoard(g_board);
    ClearRecord(g_record);
    RefreshPlayerNames(g_settings.black, g_settings.white, g_record);
    RebuildRecordList();
    StartGame();
    Redraw();
}

void ClickAt(int x, int y) {
    if (g_workerBusy || !g_gameRunning || g_movesInFlight) return;
    if (ComputerPlays(g_board.sideToMove) || x < 0 || y < 0 || x >= kBoardPixels || y >= kBoardPixels)
        return;
    const int cell = x / 50 + (y / 50) * 9 + 10;
    if (CanDrop(&g_board, cell)) PlayMove(cell, 0, 0);
}

void PlayMove(int square, int value, int nodes) {
    if (!g_gameRunning) return;
    auto* move = new PendingMove{square, value, nodes, g_board.sideToMove, CountCells(g_board, 0)};
    InterlockedIncrement(&g_movesInFlight);
    DWORD id;
    HANDLE thread = CreateThread(nullptr, 0, MoveThread, move, 0, &id);
    if (!thread) {
        delete move;
        InterlockedDecrement(&g_movesInFlight);
        ReportError("スレッドの作成に失敗しました。");
        return;
    }
    CloseHandle(thread);  // the move thread runs on its own; its end is counted above
}

void StopComputerPlayer() {
    if (HANDLE thread = TakeThinkThread(true)) {
        WaitAnswering(thread);
        CloseHandle(thread);
    }
}

LONG MovesInFlight() { return g_movesInFlight; }

bool WaitForMoveThreads(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (g_movesInFlight) {
        if (GetTickCount() - start > milliseconds) return false;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        Sleep(5);
    }
    return true;
}

void RunStudyCommand(UINT id) {
    switch (id) {
    case kCmdBestMove: RunModalWindow(g_ui.main, "BestMoveWnd"); return;
    case kCmdEvaluate: g_studyMode = 0; break;
    case kCmdOpenness: g_studyMode = 1; break;
    case kCmdWinSearch: g_studyMode = 2; break;
    default: g_studyMode = 3; break;
    }
    RunModalWindow(g_ui.main, "EvalWnd");
}

void RunFileCommand(UINT) {}

void RebuildRecordList() {
    if (!g_ui.kifuList || !g_settings.showKifu) return;
    SendMessageA(g_ui.kifuList, LVM_DELETEALLITEMS, 0, 0);
    const int moves = RecordedMoves(g_record);
    for (int row = 0; row < moves; ++row) AppendRecordRow(row);
}

void AppendRecordRow(int row) {
    if (!g_ui.kifuList || !g_settings.showKifu) return;
    const auto texts = RecordRowTexts(g_record.moves[row], row);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(texts[0].c_str());
    SendMessageA(g_ui.kifuList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (int column = 1; column < 5; ++column) {
        item.iSubItem = column;
        item.pszText = const_cast<char*>(texts[column].c_str());
        SendMessageA(g_ui.kifuList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(g_ui.kifuList, LVM_ENSUREVISIBLE, row, FALSE);
}

}  // namespace tavik::ui
