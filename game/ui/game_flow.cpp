// Stopping a thinking computer player: its searches, and no other thread's, are asked to end
// (SearchCancel: the engine polls the request every thousand positions, and this file checks
// the flag around the search) and the thread is waited for, so it always ends by returning. Nothing
// is ever killed, so no lock of ours, the heap's, the C runtime's or the window system's can be
// left taken, and the engine's memo table is handed back. While it waits, the waiting thread
// answers messages sent to its windows, since the thinking thread may be in the middle of updating
// the status bar.
#include "game_flow.h"

#include <mmsystem.h>

#include <string>

#include "board_functions.h"
#include "player_settings.h"
#include "report_error.h"
#include "texts.h"
#include "worker_threads.h"

namespace tavik::ui {

namespace {

// The engine's progress callback carries no context: the thinking thread names its flow here.
thread_local GameFlow* tThinkingFlow = nullptr;

struct MoveOnItsWay {
    GameFlow* flow;
    PendingMove move;
};

}  // namespace

GameFlow::GameFlow(GameSession& session, GameFlowHost& host) : host_(host), session_(session) {}

void GameFlow::UseSettings(const AppSettings& settings) {
    std::lock_guard<std::mutex> lock(settingsLock_);
    settings_.black = settings.black;
    settings_.white = settings.white;
    settings_.autoPlay = settings.designateAutoPlay != 0;
    settings_.priority = settings.thinkThreadPriority;
}

PlaySettings GameFlow::Settings() const {
    std::lock_guard<std::mutex> lock(settingsLock_);
    return settings_;
}

bool GameFlow::StudyAllowed() const {
    if (session_.WorkerBusy()) return false;
    if (!session_.Running()) return true;
    return session_.MovesInFlight() == 0 && !Settings().Computer(session_.Board().sideToMove);
}

void GameFlow::Start() {
    if (session_.Running()) return;
    UseSettings(host_.CurrentSettings());
    // A move of a stopped game still on its way is dropped before the new turn begins.
    WaitForMoves(-1);
    session_.SetRunning(true);
    host_.ShowGameRunning(true);
    NextTurn();
}

void GameFlow::Stop() {
    session_.SetRunning(false);
    host_.ShowGameRunning(false);
    host_.UpdateTurnStatus();
    StopWorker();
}

void GameFlow::StopWorker() {
    StopComputerPlayer();
    ReleaseStudy();
    host_.SetStatusText(2, "");
}

void GameFlow::ReleaseStudy() {
    session_.SetWorkerBusy(false);
    host_.EnableStudy(true);
}

void GameFlow::NewGame() {
    ChangeGame([](BoardState& board, GameRecord& record) {
        board = InitialBoard();
        // The names stay empty until the players are confirmed again or the program restarts.
        ClearRecord(record);
    });
    host_.RebuildRecordRows(session_.Record());
    Start();
    host_.Redraw();
}

void GameFlow::Navigate(Navigation where) {
    ChangeGame([where](BoardState& board, GameRecord& record) {
        ReplayMoves(record, NavigationCount(where, CountCells(board, 0)), board);
    });
    host_.Redraw();
}

bool GameFlow::WaitForMoves(int timeoutMs) {
    return session_.WaitForMoves(timeoutMs, AnswerSentMessages);
}

void GameFlow::Click(int x, int y) {
    if (session_.WorkerBusy() || !session_.Running() || session_.MovesInFlight() != 0) return;
    const BoardState board = session_.Board();
    const int cell = CellAt(x, y);
    if (Settings().Computer(board.sideToMove) || cell == 0) return;
    if (CanDrop(&board, cell)) PlayMove(cell, 0, 0);
}

bool GameFlow::PlayMove(int square, int value, int nodes) {
    const BoardState board = session_.Board();
    if (!session_.HandOverMove()) return false;  // no game runs
    auto* onItsWay =
        new MoveOnItsWay{this, {square, value, nodes, board.sideToMove, CountCells(board, 0)}};
    DWORD id;
    HANDLE thread = CreateThread(nullptr, 0, MoveThread, onItsWay, 0, &id);
    if (!thread) {
        delete onItsWay;
        session_.MoveFinished();
        ReportError("スレッドの作成に失敗しました。");
        return false;
    }
    CloseHandle(thread);  // the move thread runs on its own; the session counts it until it ends
    return true;
}

DWORD WINAPI GameFlow::MoveThread(void* argument) {
    const MoveOnItsWay onItsWay = *static_cast<MoveOnItsWay*>(argument);
    delete static_cast<MoveOnItsWay*>(argument);
    GameFlow& flow = *onItsWay.flow;
    GameFlowHost& host = flow.host_;
    GameSession& session = flow.session_;
    bool played = false;
    {
        GameSession::Turn turn(session);
        const DWORD moveTime = timeGetTime();
        // A move for a turn that is over (stopped, stepped away, or already answered) is dropped.
        if (const auto move =
                turn.Play(onItsWay.move, static_cast<int32_t>(moveTime - session.TurnStart()))) {
            if (move->update == RecordListUpdate::kAppendRow) {
                const MoveEntry entry = session.Read([&](const BoardState&, const GameRecord& r) {
                    return r.moves[move->number - 1];
                });
                host.AppendRecordRow(move->number - 1, entry);
            } else {
                host.RebuildRecordRows(session.Record());
            }
            host.Redraw();
            played = true;
        }
    }
    // The next turn may show a message box, which runs a message loop: no lock is held across
    // it. The move still counts as on its way, so no click, edit or other move comes between.
    if (played) flow.NextTurn();
    session.MoveFinished();
    return 0;
}

void GameFlow::NextTurn() {
    host_.UpdateTurnStatus();
    if (!session_.Running()) return;
    session_.SetTurnStart(timeGetTime());
    BoardState board = session_.Board();
    const PlaySettings settings = Settings();
    if (HasNoMove(board)) {
        if (IsGameOver(board)) {
            ShowResult();
            return;
        }
        if (!(settings.Computer(1) && settings.Computer(-1)))
            MessageBoxA(host_.Handle(), PassText(board.sideToMove).c_str(), "パス", MB_OK);
        session_.Pass();
        board.sideToMove = -board.sideToMove;
    }
    if (settings.Computer(board.sideToMove)) {
        Sleep(1);
        StartComputerThinking();
    } else if (settings.autoPlay && ForcedMove(board) != 0) {
        StartComputerThinking();
    } else {
        ReleaseStudy();  // a person's turn
    }
}

void GameFlow::ShowResult() {
    host_.Redraw();
    const BoardState board = session_.Board();
    MessageBoxA(host_.Handle(), ResultText(CountCells(board, 1), CountCells(board, -1)).c_str(),
                "終局", MB_OK);
    Stop();
}

void __stdcall GameFlow::ThinkProgress(const char* text) {
    // A request that came just before the search began has not reached it: pass it on.
    if (SearchCancel::PassOn()) return;
    tThinkingFlow->host_.SetStatusText(2, text);
}

DWORD WINAPI GameFlow::ThinkThread(void* self) {
    static_cast<GameFlow*>(self)->ThinkAndPlay();
    return 0;
}

void GameFlow::ThinkAndPlay() {
    tThinkingFlow = this;
    const SearchCancel::Scope scope(thinkCancel_);
    // The position does not change while the computer thinks: only its own move changes it.
    const BoardState board = session_.Board();
    const std::array<char, 64> line =
        session_.Read([](const BoardState&, const GameRecord& r) { return BookLine(r); });
    ThinkResult result{0, 0, 0};
    ThinkBook(line.data(), &result, board.sideToMove);
    bool finished = true;
    if (!CanDrop(&board, result.move)) {
        const PlaySettings settings = Settings();
        const PlayerSettings& player = board.sideToMove == 1 ? settings.black : settings.white;
        const int32_t depth = EngineDepth(player.normalDepth, player.winDepth, player.perfectDepth,
                                          CountCells(board, 0));
        finished = !thinkCancel_ && Think(&board, depth, &result, 0, ThinkProgress) != 0;
    }
    if (!finished || thinkCancel_) return;  // StopComputerPlayer tidies up

    host_.SetStatusText(2, "");
    // The study menu stays greyed while the move is on its way: the move thread's next turn
    // gives it back when a person is to move (or the next computer player keeps it).
    if (result.move < 10 || result.move > 80) {
        ReleaseStudy();
        ReportError("エラー発生");
    } else if (!PlayMove(result.move, result.value, result.nodes)) {
        ReleaseStudy();
    }
}

HANDLE GameFlow::TakeThinkThread(bool cancel) {
    std::lock_guard<std::mutex> lock(thinkLock_);
    HANDLE thread = thinkThread_;
    thinkThread_ = nullptr;
    if (thread && cancel) thinkCancel_.Cancel();
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
        thinkCancel_.Reset();
        session_.SetWorkerBusy(true);
        host_.EnableStudy(false);
        // Only now, with the worker marked busy, so the window starts no new move values
        // between this and the computer's search, which then has the processors to itself.
        host_.StopMoveValues();
        thinkThread_ = StartWorker(ThinkThread, this, Settings().priority);
        started = thinkThread_ != nullptr;
    }
    if (!started) {
        ReleaseStudy();
        ReportError(kThinkThreadFailure);
    }
}

void GameFlow::StopComputerPlayer() {
    if (HANDLE thread = TakeThinkThread(true)) {
        WaitAnswering(thread);
        CloseHandle(thread);
    }
}

}  // namespace tavik::ui
