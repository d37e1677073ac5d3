#include "game_session.h"

#include <chrono>

#include "board_functions.h"

namespace tavik {

GameSession::GameSession() {
    board_ = InitialBoard();
    ClearRecord(record_);
}

BoardState GameSession::Board() const {
    std::lock_guard<std::mutex> lock(stateLock_);
    return board_;
}

GameRecord GameSession::Record() const {
    std::lock_guard<std::mutex> lock(stateLock_);
    return record_;
}

void GameSession::Pass() {
    std::lock_guard<std::mutex> lock(stateLock_);
    board_.sideToMove = -board_.sideToMove;
}

bool GameSession::HandOverMove() {
    ++movesInFlight_;
    if (running_) return true;
    MoveFinished();
    return false;
}

void GameSession::MoveFinished() {
    if (--movesInFlight_ == 0) {
        std::lock_guard<std::mutex> lock(flightLock_);
        landed_.notify_all();
    }
}

bool GameSession::WaitForMoves(int timeoutMs, const std::function<void()>& idle) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(flightLock_);
            // Short naps: between them `idle` answers what the move threads ask of this thread.
            landed_.wait_for(lock, std::chrono::milliseconds(2), [this] { return movesInFlight_ == 0; });
        }
        if (movesInFlight_ == 0) return true;
        if (timeoutMs >= 0 && Clock::now() >= deadline) return false;
        if (idle) idle();
    }
}

std::optional<PlayedMove> GameSession::Turn::Play(const PendingMove& move, int32_t thinkTime) {
    GameSession& s = session_;
    std::lock_guard<std::mutex> lock(s.stateLock_);
    if (!s.running_ || s.board_.sideToMove != move.side || CountCells(s.board_, 0) != move.empties ||
        !ReverseStones(&s.board_, move.square))
        return std::nullopt;
    const int number = 60 - CountCells(s.board_, 0);
    const RecordListUpdate update = RecordMove(s.record_, number, -s.board_.sideToMove, move.square,
                                               move.value, thinkTime, move.nodes, "");
    return PlayedMove{number, update};
}

}  // namespace tavik
