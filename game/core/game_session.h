// The one game of a run of the program: the position on the board, the game record, whether a
// game runs and whether the computer thinks, the start of the current turn, the moves on their
// way to the board, and the locks that keep all of it consistent across the threads that play.
//
// Who changes what:
// - A move thread applies its move inside a Turn, which holds the move lock, so moves are
//   applied one after another. What follows the move (a pass, the next turn, their message
//   boxes) runs after the Turn, without the lock, while the move still counts as on its way:
//   no lock is held across a message box.
// - The user-interface thread changes the position or the record only through Edit, which
//   refuses unless the game is stopped and no move is on its way. So it stops the game first
//   (then no new move can be handed over) and waits for the moves already on their way
//   (WaitForMoves). It never takes the move lock: a move thread may hold that lock while it
//   waits for the user-interface thread (a redraw, a list row, a message box).
// - Every write, and every copy handed out, happens under the state lock, which is held only
//   for that write or copy and never across a call into a window. Any thread may read at any
//   time and sees a position that belongs to the record.
// Portable: the user-interface thread says through WaitForMoves's `idle` how it keeps
// answering the calls the move threads make into it while it waits.
#ifndef TAVIK_GAME_CORE_GAME_SESSION_H
#define TAVIK_GAME_CORE_GAME_SESSION_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "game_record.h"
#include "ostrakon.h"

namespace tavik {

// A move on its way to the board, by value: a later move cannot change it, and the turn it was
// chosen for travels with it, so a move that arrives for a turn that is over is dropped.
struct PendingMove {
    int32_t square, value, nodes;
    int32_t side;     // the side to move when the move was chosen
    int32_t empties;  // empty squares then
};

// What became of a move that was applied: its number (1..60) and what the record list must do.
struct PlayedMove {
    int number;
    RecordListUpdate update;
};

class GameSession {
public:
    GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    bool Running() const { return running_; }
    void SetRunning(bool running) { running_ = running; }
    bool WorkerBusy() const { return workerBusy_; }
    void SetWorkerBusy(bool busy) { workerBusy_ = busy; }
    uint32_t TurnStart() const { return turnStart_; }  // a millisecond clock value
    void SetTurnStart(uint32_t time) { turnStart_ = time; }

    BoardState Board() const;
    GameRecord Record() const;
    // `read(board, record)` under the state lock, for what needs both at once or only a part of
    // the record; its answer is passed on.
    template <class Reader>
    auto Read(Reader read) const {
        std::lock_guard<std::mutex> lock(stateLock_);
        return read(static_cast<const BoardState&>(board_),
                    static_cast<const GameRecord&>(record_));
    }

    // The user-interface thread's change: `change(board, record)` when no game runs and no move
    // is on its way; otherwise nothing happens and the answer is false.
    template <class Change>
    bool Edit(Change change) {
        if (running_ || movesInFlight_ != 0) return false;
        std::lock_guard<std::mutex> lock(stateLock_);
        change(board_, record_);
        return true;
    }

    // The turn's forced pass: the other side moves. From a move thread while its move is on its
    // way, or from the user-interface thread when no move is on its way.
    void Pass();

    // Hands a move over to a move thread: counted as on its way until MoveFinished, and only
    // while a game runs (false, and nothing counted, when none does). The count is raised
    // before the flag is read, so a stop that waits for the moves on their way cannot miss it.
    bool HandOverMove();
    void MoveFinished();
    int MovesInFlight() const { return movesInFlight_; }
    // Waits until no move is on its way, running `idle` between looks; false after `timeoutMs`
    // milliseconds (negative: no limit).
    bool WaitForMoves(int timeoutMs, const std::function<void()>& idle);

    // A move thread's turn: holds the move lock from construction to destruction.
    class Turn {
    public:
        explicit Turn(GameSession& session) : session_(session), lock_(session.moveLock_) {}
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        // Applies `move` if it is still meant for this turn (a game runs, the same side is to
        // move with the same number of empty squares, and the engine accepts the square) and
        // records it with `thinkTime`; nothing when it is not.
        std::optional<PlayedMove> Play(const PendingMove& move, int32_t thinkTime);

    private:
        GameSession& session_;
        std::lock_guard<std::mutex> lock_;
    };

private:
    mutable std::mutex stateLock_;
    std::mutex moveLock_;
    BoardState board_;
    GameRecord record_;
    std::atomic<bool> running_{false};
    std::atomic<bool> workerBusy_{false};
    std::atomic<uint32_t> turnStart_{0};
    std::atomic<int> movesInFlight_{0};
    std::mutex flightLock_;  // for the wake-up of WaitForMoves only
    std::condition_variable landed_;
};

}  // namespace tavik

#endif
