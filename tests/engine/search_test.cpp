// Think: root list, shortcuts, progress texts (exact code page 932 bytes), result values in
// every mode, concurrency, and solved problems from a public set.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "memo.h"
#include "progress_texts.h"
#include "random_games.h"
#include "reference.h"
#include "search.h"

namespace {

using tavik_test::AfterMoves;
using tavik_test::Board;
using tavik_tools::InitialBoard;
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
// and must still give the same answers and counts.
// It calls the test program's own copy of the engine with a helper, so that two pools live in
// one process: this one and the library's, which the cancel test below uses.
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

// A search asked to end stops within a thousand positions from any thread, leaves its result
// alone, hands its memo table back and does not touch a search started after the request.
TEST(Think, CancelEndsRunningSearchesOnly) {
    // 26 empty squares: every one of these searches takes far longer than the test waits.
    const BoardState deep = tavik_test::RandomPosition(7, 26, 26);
    for (int depth : {-1, 0, 12}) {
        SCOPED_TRACE(depth);
        ThinkResult result{-7, -7, -7};
        int32_t answer = 1;
        std::atomic<int32_t> thread{0};
        std::thread search([&] {
            thread = ostrakon::CurrentThreadId();
            answer = Think(&deep, depth, &result, 1, RecordProgressText);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(-1, CancelThink(thread));
        search.join();  // a search that ignored the request would hang the test here
        EXPECT_EQ(0, answer);
        EXPECT_EQ(-7, result.move);
        EXPECT_EQ(-7, result.nodes);
    }
    // Both tables are free again, and a search after the request runs to its end.
    {
        const ostrakon::SearchContext first, second;
        EXPECT_TRUE(first.HasMemo() && second.HasMemo());
    }
    const BoardState b = AfterMoves("f5d6c3d3c4f4f6f3e6e7");
    const reference::ThinkOutput expected = reference::Think(b, 5, 1);
    ThinkResult after{};
    EXPECT_EQ(-1, Think(&b, 5, &after, 1, nullptr));
    EXPECT_EQ(expected.result.nodes, after.nodes);
    EXPECT_EQ(expected.result.move, after.move);
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
