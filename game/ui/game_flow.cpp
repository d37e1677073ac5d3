// Stopping a thinking computer player: the search is asked to end (CancelThink, which the
// engine polls every thousand positions, and a flag this file checks around it) and the thread
// is waited for, so it always ends by returning. Nothing is ever killed, so no lock of ours, the
// heap's, the C runtime's or the window system's can be left taken, and the engine's memo table
// is handed back. While it waits, the waiting thread answers messages sent to its windows, since
// the thinking thread may be in the middle of updating the status bar.
#include "game_flow.h"

#include <mmsystem.h>

#include <string>

#include "board_functions.h"
#include "commands.h"
#include "main_window.h"
#include "player_settings.h"
#include "report_error.h"
#include "texts.h"
#include "worker_threads.h"

namespace tavik::ui {

namespace {

// The engine's progress callback carries no context: the thinking thread names its flow here.
thread_local GameFlow* tThinkingFlow = nullptr;
thread_local const std::atomic<bool>* tThinkCancelled = nullptr;

struct MoveOnItsWay {
    GameFlow* flow;
    MainWindow* window;
    PendingMove move;
};

}  // namespace

GameFlow::GameFlow(MainWindow& window) : window_(window), session_(window.Session()) {}

bool GameFlow::ComputerPlays(int side) const {
    const AppSettings& settings = window_.Settings();
    return side == 1 ? settings.black.isComputer != 0 : settings.white.isComputer != 0;
}

void GameFlow::Start() {
    if (session_.Running()) return;
    // A move of a stopped game still on its way is dropped before the new turn begins.
    WaitForMoves(-1);
    session_.SetRunning(true);
    window_.Menus().SetEnabled(kCmdStart, false);
    window_.Menus().SetEnabled(kCmdStop, true);
    NextTurn();
}

void GameFlow::Stop() {
    session_.SetRunning(false);
    window_.Menus().SetEnabled(kCmdStart, true);
    window_.Menus().SetEnabled(kCmdStop, false);
    window_.UpdateTurnStatus();
    StopWorker();
}

void GameFlow::StopWorker() {
    StopComputerPlayer();
    session_.SetWorkerBusy(false);
    window_.Menus().SetStudyEnabled(true);
    window_.SetStatusText(2, "");
}

void GameFlow::NewGame() {
    ChangeGame([](BoardState& board, GameRecord& record) {
        ResetBoard(board);
        // The names stay empty until the players are confirmed again or the program restarts.
        ClearRecord(record);
    });
    window_.Records().Rebuild(session_.Record());
    Start();
    window_.Redraw();
}

void GameFlow::Navigate(Navigation where) {
    ChangeGame([where](BoardState& board, GameRecord& record) {
        ReplayMoves(record, NavigationCount(where, CountCells(board, 0)), board);
    });
    window_.Redraw();
}

bool GameFlow::WaitForMoves(int timeoutMs) { return session_.WaitForMoves(timeoutMs, AnswerSentMessages); }

void GameFlow::Click(int x, int y) {
    if (session_.WorkerBusy() || !session_.Running() || session_.MovesInFlight() != 0) return;
    const BoardState board = session_.Board();
    const int cell = CellAt(x, y);
    if (ComputerPlays(board.sideToMove) || cell == 0) return;
    if (CanDrop(&board, cell)) PlayMove(cell, 0, 0);
}

void GameFlow::PlayMove(int square, int value, int nodes) {
    const BoardState board = session_.Board();
    if (!session_.HandOverMove()) return;  // no game runs
    auto* onItsWay = new MoveOnItsWay{this, &window_, {square, value, nodes, board.sideToMove, CountCells(board, 0)}};
    DWORD id;
    HANDLE thread = CreateThread(nullptr, 0, MoveThread, onItsWay, 0, &id);
    if (!thread) {
        delete onItsWay;
        session_.MoveFinished();
        ReportError("スレッドの作成に失敗しました。");
        return;
    }
    CloseHandle(thread);  // the move thread runs on its own; the session counts it until it ends
}

DWORD WINAPI GameFlow::MoveThread(void* argument) {
    const MoveOnItsWay onItsWay = *static_cast<MoveOnItsWay*>(argument);
    delete static_cast<MoveOnItsWay*>(argument);
    GameFlow& flow = *onItsWay.flow;
    MainWindow& window = *onItsWay.window;
    GameSession& session = flow.session_;
    {
        GameSession::Turn turn(session);
        const DWORD moveTime = timeGetTime();
        // A move for a turn that is over (stopped, stepped away, or already answered) is dropped.
        if (const auto played = turn.Play(onItsWay.move, static_cast<int32_t>(moveTime - session.TurnStart()))) {
            if (played->update == RecordListUpdate::kAppendRow) {
                const MoveEntry entry =
                    session.Read([&](const BoardState&, const GameRecord& r) { return r.moves[played->number - 1]; });
                window.Records().AppendRow(played->number - 1, entry);
            } else {
                window.Records().Rebuild(session.Record());
            }
            window.Redraw();
            flow.NextTurn();
        }
    }
    session.MoveFinished();
    return 0;
}

void GameFlow::NextTurn() {
    window_.UpdateTurnStatus();
    if (!session_.Running()) return;
    session_.SetTurnStart(timeGetTime());
    BoardState board = session_.Board();
    if (MustPass(board)) {
        if (IsGameOver(board)) {
            ShowResult();
            return;
        }
        if (!(ComputerPlays(1) && ComputerPlays(-1)))
            MessageBoxA(window_.Handle(), PassText(board.sideToMove).c_str(), "パス", MB_OK);
        session_.Pass();
        board.sideToMove = -board.sideToMove;
    }
    if (ComputerPlays(board.sideToMove)) {
        Sleep(1);
        StartComputerThinking();
    } else if (window_.Settings().designateAutoPlay && ForcedMove(board) != 0) {
        StartComputerThinking();
    }
}

void GameFlow::ShowResult() {
    window_.Redraw();
    const BoardState board = session_.Board();
    MessageBoxA(window_.Handle(), ResultText(CountCells(board, 1), CountCells(board, -1)).c_str(), "終局", MB_OK);
    Stop();
}

void __stdcall GameFlow::ThinkProgress(const char* text) {
    // A request that came just before the search began has not reached it: pass it on.
    if (*tThinkCancelled) {
        CancelThink();
        return;
    }
    tThinkingFlow->window_.SetStatusText(2, text);
}

DWORD WINAPI GameFlow::ThinkThread(void* self) {
    static_cast<GameFlow*>(self)->ThinkAndPlay();
    return 0;
}

void GameFlow::ThinkAndPlay() {
    tThinkingFlow = this;
    tThinkCancelled = &thinkCancelled_;
    // The position does not change while the computer thinks: only its own move changes it.
    const BoardState board = session_.Board();
    const std::array<char, 64> line = session_.Read([](const BoardState&, const GameRecord& r) { return BookLine(r); });
    ThinkResult result{0, 0, 0};
    ThinkBook(line.data(), &result, board.sideToMove);
    bool finished = true;
    if (!CanDrop(&board, result.move)) {
        const AppSettings& settings = window_.Settings();
        const PlayerSettings& player = board.sideToMove == 1 ? settings.black : settings.white;
        const int32_t depth = EngineDepth(player.normalDepth, player.winDepth, player.perfectDepth,
                                          CountCells(board, 0));
        finished = !thinkCancelled_ && Think(&board, depth, &result, 0, ThinkProgress) != 0;
    }
    if (!finished || thinkCancelled_) return;  // StopComputerPlayer tidies up

    window_.SetStatusText(2, "");
    // The flag is cleared before the move is handed on: the move thread may start the next
    // computer player at once, which sets it again.
    session_.SetWorkerBusy(false);
    window_.Menus().SetStudyEnabled(true);
    if (result.move < 10 || result.move > 80)
        ReportError("エラー発生");
    else
        PlayMove(result.move, result.value, result.nodes);
}

HANDLE GameFlow::TakeThinkThread(bool cancel) {
    std::lock_guard<std::mutex> lock(thinkLock_);
    HANDLE thread = thinkThread_;
    thinkThread_ = nullptr;
    if (thread && cancel) {
        thinkCancelled_ = true;
        CancelThink();
    }
    return thread;
}

void GameFlow::StartComputerThinking() {
    // The previous player handed its move over and is returning.
    if (HANDLE previous = TakeThinkThread(false)) {
        WaitAnswering(previous);
        CloseHandle(previous);
    }
    bool started;
    {
        std::lock_guard<std::mutex> lock(thinkLock_);
        if (!session_.Running()) return;  // stopped meanwhile
        thinkCancelled_ = false;
        session_.SetWorkerBusy(true);
        window_.Menus().SetStudyEnabled(false);
        thinkThread_ = StartWorker(ThinkThread, this, window_.Settings().thinkThreadPriority);
        started = thinkThread_ != nullptr;
    }
    if (!started) {
        session_.SetWorkerBusy(false);
        window_.Menus().SetStudyEnabled(true);
        ReportError("思考スレッドの作成に失敗しました。");
    }
}

void GameFlow::StopComputerPlayer() {
    if (HANDLE thread = TakeThinkThread(true)) {
        WaitAnswering(thread);
        CloseHandle(thread);
    }
}

}  // namespace tavik::ui
