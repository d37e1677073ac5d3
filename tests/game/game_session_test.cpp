// The game session without a window: which changes it accepts when, the moves it applies or
// drops, the moves on their way, and threads handing moves over while another stops the game,
// waits and rewinds it, as the window's navigation does.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "board_functions.h"
#include "game_session.h"

namespace {

using namespace tavik;

PendingMove MoveFor(const GameSession& session, int square, int value = 0, int nodes = 0) {
    const BoardState board = session.Board();
    return {square, value, nodes, board.sideToMove, CountCells(board, 0)};
}

TEST(GameSession, EditOnlyWhenStoppedAndNothingIsOnItsWay) {
    GameSession session;
    auto clear = [](BoardState& board, GameRecord&) { board.cells[41] = 0; };
    session.SetRunning(true);
    EXPECT_FALSE(session.Edit(clear)) << "a game runs";
    session.SetRunning(false);
    ASSERT_TRUE(session.Running() == false);
    session.SetRunning(true);
    ASSERT_TRUE(session.HandOverMove());
    session.SetRunning(false);
    EXPECT_FALSE(session.Edit(clear)) << "a move is on its way";
    EXPECT_EQ(1, session.Board().cells[41]);
    session.MoveFinished();
    EXPECT_TRUE(session.Edit(clear));
    EXPECT_EQ(0, session.Board().cells[41]);
}

TEST(GameSession, AMoveIsHandedOverOnlyWhileAGameRuns) {
    GameSession session;
    EXPECT_FALSE(session.HandOverMove());
    EXPECT_EQ(0, session.MovesInFlight());
    session.SetRunning(true);
    EXPECT_TRUE(session.HandOverMove());
    EXPECT_TRUE(session.HandOverMove());
    EXPECT_EQ(2, session.MovesInFlight());
    session.MoveFinished();
    session.MoveFinished();
    EXPECT_EQ(0, session.MovesInFlight());
}

TEST(GameSession, MovesMeantForAnotherTurnAreDropped) {
    struct Case {
        const char* what;
        bool running;
        int square;
        int sideChange;   // added to the side the move was chosen for
        int emptyChange;  // added to the empty squares it was chosen with
        bool played;
    } cases[] = {
        {"a legal move of this turn", true, 51, 0, 0, true},
        {"no game runs", false, 51, 0, 0, false},
        {"chosen for the other side", true, 51, -2, 0, false},
        {"chosen in another position", true, 51, 0, 1, false},
        {"an illegal square", true, 10, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameSession session;
        PendingMove move = MoveFor(session, c.square, 120, 4567);
        move.side += c.sideChange;
        move.empties += c.emptyChange;
        session.SetRunning(c.running);
        const BoardState before = session.Board();
        const auto played = GameSession::Turn(session).Play(move, 89);
        ASSERT_EQ(c.played, played.has_value());
        const BoardState after = session.Board();
        const GameRecord record = session.Record();
        if (!c.played) {
            EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
            EXPECT_EQ(0, RecordedMoves(record));
            continue;
        }
        EXPECT_EQ(1, played->number);
        EXPECT_EQ(RecordListUpdate::kAppendRow, played->update);
        EXPECT_EQ(1, after.cells[51]);
        EXPECT_EQ(-1, after.sideToMove);
        const MoveEntry entry = record.moves[0];
        EXPECT_EQ(1, entry.side);
        EXPECT_EQ(51, entry.square);
        EXPECT_EQ(120, entry.value);
        EXPECT_EQ(89, entry.thinkTime);
        EXPECT_EQ(4567, entry.nodes);
    }
}

TEST(GameSession, APlayAfterSteppingBackRewritesTheRecord) {
    GameSession session;
    session.SetRunning(true);
    for (int square : {51, 58, 30}) ASSERT_TRUE(GameSession::Turn(session).Play(MoveFor(session, square), 0));
    session.SetRunning(false);
    ASSERT_TRUE(session.Edit([](BoardState& board, GameRecord& record) { ReplayMoves(record, 1, board); }));
    session.SetRunning(true);
    const auto played = GameSession::Turn(session).Play(MoveFor(session, 60), 0);  // F6 instead of D6
    ASSERT_TRUE(played);
    EXPECT_EQ(2, played->number);
    EXPECT_EQ(RecordListUpdate::kRebuild, played->update);
    EXPECT_EQ(2, RecordedMoves(session.Record()));
}

TEST(GameSession, APassHandsTheTurnOver) {
    GameSession session;
    session.Pass();
    EXPECT_EQ(-1, session.Board().sideToMove);
    session.Pass();
    EXPECT_EQ(1, session.Board().sideToMove);
}

TEST(GameSession, WaitingForTheMovesOnTheirWay) {
    GameSession session;
    int idles = 0;
    EXPECT_TRUE(session.WaitForMoves(0, [&] { ++idles; }));
    session.SetRunning(true);
    ASSERT_TRUE(session.HandOverMove());
    EXPECT_FALSE(session.WaitForMoves(30, [&] { ++idles; }));
    EXPECT_GT(idles, 0) << "the waiting thread gets to answer what is asked of it";
    std::thread landing([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        session.MoveFinished();
    });
    EXPECT_TRUE(session.WaitForMoves(-1, nullptr));
    landing.join();
}

// Threads play random legal moves, each as the window's move threads do (hand over, then play
// in a turn), while this thread stops the game, waits for the moves on their way and rewinds
// the game to a random move. Every rewind must be accepted, and every look, taken at any time,
// must show a board that is the replay of the record up to the board's move number.
TEST(GameSession, RewindingWhileMovesArePlayed) {
    GameSession session;
    std::atomic<bool> done{false};
    std::atomic<int> played{0};
    auto player = [&](uint32_t seed) {
        std::mt19937 random(seed);
        while (!done) {
            const BoardState board = session.Board();
            std::vector<int> legal;
            for (int cell = 10; cell <= 80; ++cell)
                if (CanDrop(&board, cell)) legal.push_back(cell);
            if (legal.empty()) {
                std::this_thread::yield();
                continue;
            }
            if (!session.HandOverMove()) {
                std::this_thread::yield();
                continue;
            }
            const PendingMove move{legal[random() % legal.size()], 0, 0, board.sideToMove, CountCells(board, 0)};
            {
                GameSession::Turn turn(session);
                if (turn.Play(move, 0)) {
                    ++played;
                    const BoardState now = session.Board();
                    if (IsForcedPass(now)) session.Pass();
                }
            }
            session.MoveFinished();
        }
    };
    // The players end with the test, also when an assertion ends it early.
    struct Players {
        std::atomic<bool>& done;
        std::vector<std::thread> threads;
        ~Players() {
            done = true;
            for (std::thread& t : threads) t.join();
        }
    } players{done, {}};
    for (uint32_t seed = 1; seed <= 3; ++seed) players.threads.emplace_back(player, seed);

    std::mt19937 random(7);
    int rewinds = 0, mismatches = 0, refusals = 0;
    const auto agrees = [](const BoardState& board, const GameRecord& record, bool sideToo) {
        BoardState replayed;
        ReplayMoves(record, 60 - CountCells(board, 0), replayed);
        return sideToo ? std::memcmp(&board, &replayed, sizeof board) == 0
                       : std::memcmp(board.cells, replayed.cells, sizeof board.cells) == 0;
    };
    for (int i = 0; i < 2000; ++i) {
        session.SetRunning(true);
        for (int spin = static_cast<int>(random() % 200); spin > 0; --spin) std::this_thread::yield();
        mismatches += !session.Read([&](const BoardState& b, const GameRecord& r) { return agrees(b, r, false); });
        session.SetRunning(false);
        // A player that tries to hand a move over now counts it for an instant and takes it
        // back; the edit is refused in that instant and made at the next try.
        const int count = static_cast<int>(random() % 61);
        for (int tries = 0;; ++tries) {
            ASSERT_TRUE(session.WaitForMoves(-1, nullptr));
            if (session.Edit([&](BoardState& board, GameRecord& record) { ReplayMoves(record, count, board); }))
                break;
            ++refusals;
            ASSERT_LT(tries, 1000) << "iteration " << i;
        }
        ++rewinds;
        mismatches += !session.Read([&](const BoardState& b, const GameRecord& r) { return agrees(b, r, true); });
        if (i % 100 == 99)  // now and then a new game, or the players would run out of moves
            session.Edit([](BoardState& board, GameRecord& record) {
                board = InitialBoard();
                ClearRecord(record);
            });
    }
    std::printf("%d rewinds, %d moves played meanwhile, %d edits refused for an instant\n", rewinds,
                played.load(), refusals);
    EXPECT_EQ(0, mismatches);
    EXPECT_EQ(2000, rewinds);
    EXPECT_GT(played.load(), 1000) << "the players should have been playing all along";
}

}  // namespace
