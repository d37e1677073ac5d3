// Think: root list, shortcuts, progress texts (exact code page 932 bytes), result values in
// every mode, concurrency, and solved problems from a public set.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "board_functions.h"
#include "memo.h"
#include "parallel.h"
#include "progress_texts.h"
#include "random_games.h"
#include "reference.h"
#include "search.h"

namespace {

using tavik_test::AfterMoves;
using tavik_test::Board;
using tavik::InitialBoard;
using tavik_tools::ParseSquare;

// Status texts as code page 932 bytes, written out so they do not depend on how the engine
// was compiled.
const std::string kNormal = "\x92\xca\x8f\xed\x92\x54\x8d\xf5\x92\x86";   // 通常探索中
const std::string kWinLoss = "\x95\x4b\x8f\x9f\x92\x54\x8d\xf5\x92\x86";  // 必勝探索中
const std::string kPerfect = "\x8a\xae\x91\x53\x92\x54\x8d\xf5\x92\x86";  // 完全探索中
const std::string kDepth = "(\x90\x5b\x82\xb3";                           // (深さ

std::string Status(const std::string& mode, int first, int percent) {
    return mode + kDepth + std::to_string(first) + ") " + std::to_string(percent) + "%";
}

using tavik_test::RecordProgressText;

struct Outcome {
    ThinkResult result;
    std::vector<std::string> texts;
};

Outcome Search(const BoardState& b, int depth, int force) {
    Outcome o{{-7, -7, -7}, {}};
    const tavik_test::ProgressTexts recording(o.texts);
    EXPECT_EQ(-1, Think(&b, depth, &o.result, force, RecordProgressText));
    return o;
}

// Black has exactly one move (A1); white has moves.
const char* kOneMove = "-OX-----" "--------" "--------" "--------"
                       "--------" "--------" "--------" "--------";
// Black has no move, white has (C1).
const char* kBlackPasses = "OX------" "--------" "--------" "--------"
                           "--------" "--------" "--------" "--------";

TEST(Think, DepthOneFromTheInitialPosition) {
    const Outcome o = Search(InitialBoard(), 1, 0);
    EXPECT_EQ(51, o.result.move);  // F5: the four replies are mirror images, the first stays
    EXPECT_EQ(4, o.result.nodes);
    const std::vector<std::string> texts = {Status(kNormal, 1, 0), Status(kNormal, 1, 25),
                                            Status(kNormal, 1, 50), Status(kNormal, 1, 75)};
    EXPECT_EQ(texts, o.texts);
    BoardState after = InitialBoard();
    ReverseStones(&after, 51);
    EXPECT_EQ(-EvalSituation(&after), o.result.value);
}

TEST(Think, ShortcutsWithOneMoveOrNone) {
    struct Case {
        const char* name;
        const char* diagram;
        int depth;
        int force;
        int move;
        int value;
        int nodes;
        size_t texts;
    } cases[] = {
        {"one move, depth 1", kOneMove, 1, 0, 10, 0, 0, 0},
        {"one move, depth 5", kOneMove, 5, 0, 10, 0, 0, 0},
        {"one move, perfect", kOneMove, -1, 0, 10, 0, 0, 0},
        {"no move", kBlackPasses, 3, 0, 0, -16777215, 0, 0},
        {"no move, forced", kBlackPasses, 3, 1, 0, -16777215, 0, 0},
        {"no move, forced win/loss", kBlackPasses, 0, 1, 0, -16777215, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = Search(Board(c.diagram, 'X'), c.depth, c.force);
        EXPECT_EQ(c.move, o.result.move);
        EXPECT_EQ(c.value, o.result.value);
        EXPECT_EQ(c.nodes, o.result.nodes);
        EXPECT_EQ(c.texts, o.texts.size());
    }
    // White to move with no move: the value is from black's view, so it flips sign.
    const Outcome white = Search(Board("XO------" "--------" "--------" "--------"
                                    "--------" "--------" "--------" "--------", 'O'), 2, 0);
    EXPECT_EQ(0, white.result.move);
    EXPECT_EQ(16777215, white.result.value);
}

TEST(Think, ForcedSearchOfTheOnlyMoveIsReal) {
    const Outcome o = Search(Board(kOneMove, 'X'), 1, 1);
    EXPECT_EQ(10, o.result.move);
    EXPECT_EQ(1, o.result.nodes);
    EXPECT_EQ(std::vector<std::string>{Status(kNormal, 1, 0)}, o.texts);
}

TEST(Think, FullBoardHasNoMove) {
    std::string diagram(64, 'X');
    diagram.replace(0, 30, 30, 'O');
    for (int depth : {3, 0, -1}) {
        const Outcome o = Search(Board(diagram, 'O'), depth, 1);
        EXPECT_EQ(0, o.result.move);
        EXPECT_EQ(16777215, o.result.value);
        EXPECT_TRUE(o.texts.empty());
    }
}

TEST(Think, PerfectSearchOneMoveFromTheEnd) {
    // Black fills H8, turning B8..G8: 37 black discs against 27 white.
    std::string diagram(27, 'O');
    diagram += std::string(29, 'X');
    diagram += "XOOOOOO-";
    const Outcome o = Search(Board(diagram, 'X'), -1, 1);
    EXPECT_EQ(80, o.result.move);
    EXPECT_EQ(65546, o.result.value);
    EXPECT_EQ(2, o.result.nodes);  // one in the ordering look, one in the search
    EXPECT_EQ(std::vector<std::string>{Status(kPerfect, 1, 0)}, o.texts);
}

TEST(Think, WinLossStopsAtTheFirstWinningMove) {
    // Black wins with either of C8 and F8; only the first root move is searched and reported.
    std::string diagram(56, 'X');
    diagram += "XO-OX-OX";
    const Outcome o = Search(Board(diagram, 'X'), 0, 1);
    EXPECT_EQ(65536, o.result.value);
    EXPECT_EQ(std::vector<std::string>{Status(kWinLoss, 2, 0)}, o.texts);
    const Outcome asWhite = Search(Board(std::string(56, 'O') + "OX-XO-XO", 'O'), 0, 1);
    EXPECT_EQ(-65536, asWhite.result.value);
}

TEST(Think, EndgameTextsNameTheEmptySquaresIncludingTheCentre) {
    // An empty centre square is never played but still counts as empty in the text.
    std::string diagram(56, 'X');
    diagram += "XO-OX-OX";
    diagram[27] = '-';  // D4
    const Outcome o = Search(Board(diagram, 'X'), -1, 1);
    ASSERT_FALSE(o.texts.empty());
    EXPECT_EQ(Status(kPerfect, 3, 0), o.texts[0]);
}

// Each search reports its own node count even while another search runs at the same time.
TEST(Think, ConcurrentSearchesCountTheirOwnNodes) {
    const BoardState a = AfterMoves("f5d6c3d3c4f4f6f3e6e7");
    const BoardState b = AfterMoves("f5f6e6f4e3c5c6");
    ThinkResult soloA{}, soloB{};
    Think(&a, 5, &soloA, 1, nullptr);
    Think(&b, 5, &soloB, 1, nullptr);
    bool sameA = true, sameB = true;
    std::thread t1([&] {
        for (int i = 0; i < 8; ++i) {
            ThinkResult r{};
            Think(&a, 5, &r, 1, nullptr);
            sameA &= r.nodes == soloA.nodes && r.move == soloA.move && r.value == soloA.value;
        }
    });
    std::thread t2([&] {
        for (int i = 0; i < 8; ++i) {
            ThinkResult r{};
            Think(&b, 5, &r, 1, nullptr);
            sameB &= r.nodes == soloB.nodes && r.move == soloB.move && r.value == soloB.value;
        }
    });
    t1.join();
    t2.join();
    EXPECT_TRUE(sameA);
    EXPECT_TRUE(sameB);
}

// A search that finds every memo table taken (here: held by two idle contexts) runs without one
// and must still give the same answers and counts. The tables are the test program's own
// copy's, so it is that copy that searches, with a helper.
TEST(Think, SearchWithoutAMemoTableIsExact) {
    const ostrakon::SearchContext first, second;
    ASSERT_TRUE(first.HasMemo() && second.HasMemo());
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        const BoardState b = tavik_test::RandomPosition(seed, 8, 12);
        for (int depth : {0, -1, 4}) {
            SCOPED_TRACE(tavik_tools::Diagram(b) + " depth " + std::to_string(depth));
            const reference::ThinkOutput expected = reference::Think(b, depth, 1);
            ThinkResult actual{};
            ASSERT_TRUE(ostrakon::ThinkPosition(b, depth, true, nullptr, actual, 2));
            EXPECT_EQ(expected.result.move, actual.move);
            EXPECT_EQ(expected.result.value, actual.value);
            EXPECT_EQ(expected.result.nodes, actual.nodes);
        }
    }
}

// Where a search of the test meets its first progress call; a search held there waits until
// the test lets it go on.
struct Gate {
    std::mutex lock;
    std::condition_variable changed;
    bool started = false;
    bool hold = false;
    bool released = false;

    void WaitStarted() {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [this] { return started; });
    }
    void Release() {
        const std::lock_guard<std::mutex> guard(lock);
        released = true;
        changed.notify_all();
    }
};
thread_local Gate* tGate = nullptr;  // the gate of this thread's search (a plain pointer: see progress_texts.h)

void OSTRAKON_CALL PassGate(const char*) {
    Gate* gate = tGate;
    if (!gate) return;
    std::unique_lock<std::mutex> guard(gate->lock);
    gate->started = true;
    gate->changed.notify_all();
    gate->changed.wait(guard, [gate] { return !gate->hold || gate->released; });
}

// The system's identifier of the calling thread, as the game gives it to CancelThink.
int32_t SystemThreadId() {
#ifdef _WIN32
    return static_cast<int32_t>(GetCurrentThreadId());
#else
    return static_cast<int32_t>(syscall(SYS_gettid));
#endif
}

// A search on a thread of its own: through the library's export (on every processor), or on
// the test program's own copy of the engine with `threads` threads.
struct SearchThread {
    SearchThread(const BoardState& board, int depth, int threads, bool hold) {
        gate.hold = hold;
        thread = std::thread([=] {
            id = SystemThreadId();
            tGate = &gate;
            answer = threads == 0 ? Think(&board, depth, &result, 1, PassGate)
                                  : ostrakon::ThinkCall(board, depth, result, true, PassGate, threads);
            tGate = nullptr;
        });
    }
    Gate gate;
    std::atomic<int32_t> id{0};
    ThinkResult result{-7, -7, -7};
    int32_t answer = 1;
    std::thread thread;
};

// A cancel names the thread whose search ends: that search stops within a thousand positions,
// with its helpers, answers 0 and leaves its result alone, while the search of another thread
// runs to its end with the reference's answer, and a cancel naming a thread that runs no
// search reaches nothing. Each case cancels one mode, one of the two searches with helpers.
// The last case goes through the exports, with the thread's system identifier as the game
// gives it; the others run on the test program's own copy of the engine, whose tables and
// pool are then checked: every table is free again, no split point open, no helper busy.
TEST(Think, CancelEndsOnlyTheSearchOfTheThreadNamed) {
    // 26 empty squares: every cancelled search takes far longer than the test waits for it.
    const BoardState deep = tavik_test::RandomPosition(7, 26, 26);
    struct Case {
        int depth, threads;  // of the cancelled search; 0 threads: through the exports
        BoardState other;    // the search that goes on, held at its first progress call meanwhile
        int otherDepth, otherThreads;
    } cases[] = {
        {-1, 2, tavik_test::RandomPosition(604, 14, 14), -1, 1},
        {0, 1, tavik_test::RandomPosition(611, 14, 14), 0, 2},
        {12, 2, AfterMoves("f5d6c3d3c4f4f6f3e6e7"), 6, 1},
        {-1, 0, AfterMoves("f5d6c3d3c4f4f6f3e6e7"), 6, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("cancelled depth " + std::to_string(c.depth) + " threads " + std::to_string(c.threads));
        SearchThread cancelled(deep, c.depth, c.threads, false);
        SearchThread other(c.other, c.otherDepth, c.otherThreads, true);
        cancelled.gate.WaitStarted();
        other.gate.WaitStarted();
        const bool exported = c.threads == 0;
        EXPECT_EQ(0, exported ? CancelThink(SystemThreadId())
                              : ostrakon::CancelSearches(SystemThreadId())) << "this thread runs no search";
        const int32_t reached = exported ? CancelThink(cancelled.id) : ostrakon::CancelSearches(cancelled.id);
        if (reached != (exported ? -1 : 1)) {
            // the search runs on for hours: end the program rather than wait for the time-out
            ADD_FAILURE() << "the cancel did not reach the search (answer " << reached << ")";
            std::fflush(stdout);
            std::_Exit(1);
        }
        cancelled.thread.join();  // a search that ignored the request would hang the test here
        EXPECT_EQ(0, cancelled.answer);
        EXPECT_EQ(-7, cancelled.result.move);
        EXPECT_EQ(-7, cancelled.result.nodes);
        other.gate.Release();
        other.thread.join();
        const reference::ThinkOutput expected = reference::Think(c.other, c.otherDepth, 1);
        EXPECT_EQ(-1, other.answer);
        EXPECT_EQ(expected.result.move, other.result.move);
        EXPECT_EQ(expected.result.value, other.result.value);
        EXPECT_EQ(expected.result.nodes, other.result.nodes);
    }
    EXPECT_TRUE(ostrakon::MemoIdle());
    EXPECT_TRUE(ostrakon::PoolIdle());
}

// Solved endgame problems: the perfect search and the win/loss search must agree with the
// published result (win, draw or loss). Their margins give empty squares left at the end to the
// winner, ours counts discs only, so our margin may only be smaller.
TEST(Think, SolvedProblemsAtFourteenEmptySquares) {
    std::ifstream file(TAVIK_DATA_DIR "/ffo.txt");
    ASSERT_TRUE(file) << "missing " << TAVIK_DATA_DIR "/ffo.txt";
    std::string line;
    int checked = 0;
    while (std::getline(file, line) && checked < 7) {
        std::istringstream in(line);
        std::string diagram, side, score;
        in >> diagram >> side >> score;
        SCOPED_TRACE(line);
        const BoardState b = Board(diagram, side[0]);
        const int published = std::stoi(score);
        const int sign = b.sideToMove;
        const Outcome perfect = Search(b, -1, 1);
        const Outcome winLoss = Search(b, 0, 1);
        const int v = perfect.result.value * sign;  // side to move's view
        const int expectedClass = published > 0 ? 1 : published < 0 ? -1 : 0;
        const int perfectClass = v > 65535 ? 1 : v < -65535 ? -1 : 0;
        EXPECT_EQ(expectedClass, perfectClass);
        const int w = winLoss.result.value * sign;
        EXPECT_EQ(expectedClass, w == 65536 ? 1 : w == -65536 ? -1 : 0);
        // empty squares left at the end only widen the published margin
        if (perfectClass != 0) {
            EXPECT_LE(std::abs(v) - 65536, std::abs(published));
        }
        ++checked;
        BoardState played = b;
        ASSERT_EQ(-1, ReverseStones(&played, perfect.result.move));
    }
    EXPECT_EQ(7, checked);
}

}  // namespace
