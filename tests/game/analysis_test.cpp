// The study functions against the literal reference engine: every row of every analysis (move,
// value and node count) is the reference's answer for the position after that move, searched
// with the depth the table names; the list is in order; on random positions with passes,
// game-ending moves, both sides to move and the perfect-depth boundaries, for one thread and
// for several. Also the best move likewise, the order of equal values, the texts (code page
// 932), and cancelling.
#include "analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "board_functions.h"
#include "random_games.h"
#include "reference.h"
#include "texts.h"

namespace {

using namespace tavik;

// What the reference engine says of the move `cell`: its openness, or its row as the study
// functions make one.
ThinkResult ReferenceRow(const BoardState& board, int cell, StudyMode mode, int32_t depth) {
    if (mode == StudyMode::kOpenness) return {cell, reference::GetOpenness(board, cell), 0};
    return tavik_test::ReferenceMoveRow(board, cell, depth);
}

std::string RowsText(const std::vector<ThinkResult>& rows) {
    std::string text;
    for (const ThinkResult& r : rows)
        text += std::to_string(r.move) + ":" + std::to_string(r.value) + "/" +
                std::to_string(r.nodes) + " ";
    return text;
}

// What the positions of a run covered, so a change of the random positions cannot quietly
// leave a case out.
// The engine answers a position whose side to move must pass with +-16777215, the sign
// depending on that side, so a pass of each colour is needed.
struct Coverage {
    int blackPasses = 0, whitePasses = 0, endsTheGame = 0, whiteToMove = 0, blackToMove = 0,
        rows = 0;
    void Look(const BoardState& board) {
        (board.sideToMove == 1 ? blackToMove : whiteToMove) += 1;
        for (int cell : LegalMoves(board)) {
            BoardState after = board;
            ReverseStones(&after, cell);
            if (LegalMoves(after).empty()) {
                BoardState passed = after;
                passed.sideToMove = -passed.sideToMove;
                if (!LegalMoves(passed).empty())
                    (after.sideToMove == 1 ? blackPasses : whitePasses) += 1;
                else
                    endsTheGame += 1;
            }
        }
    }
};

// Every legal move once, each with the reference's answer for a search of Think's `depth`, best
// first for the side to move (openness: smallest first), equal values in ascending cell order.
void ExpectReferenceRows(const BoardState& board, StudyMode mode, const StudyDepths& depths,
                         int32_t depth, Coverage& coverage) {
    std::vector<ThinkResult> expected;
    for (int cell = 10; cell <= 80; ++cell)
        if (tavik_test::IsPlayable(cell) && reference::CanDrop(board, cell))
            expected.push_back(ReferenceRow(board, cell, mode, depth));
    coverage.rows += static_cast<int>(expected.size());
    const bool smallestFirst = mode == StudyMode::kOpenness || board.sideToMove == -1;
    for (int threads : {1, 3}) {
        SCOPED_TRACE(tavik_tools::Diagram(board) + " threads " + std::to_string(threads));
        AnalysisOptions options;
        options.mode = mode;
        options.depths = depths;
        options.threads = threads;
        SearchCancel cancel;
        const auto rows = AnalyseAllMoves(board, options, cancel);
        ASSERT_TRUE(rows.has_value());
        std::vector<ThinkResult> byCell = *rows;
        std::sort(byCell.begin(), byCell.end(),
                  [](const ThinkResult& a, const ThinkResult& b) { return a.move < b.move; });
        ASSERT_EQ(RowsText(expected), RowsText(byCell));
        for (size_t i = 1; i < rows->size(); ++i) {
            const ThinkResult& before = (*rows)[i - 1];
            const ThinkResult& next = (*rows)[i];
            const bool inOrder = before.value == next.value ? before.move < next.move
                                 : smallestFirst            ? before.value < next.value
                                                            : before.value > next.value;
            ASSERT_TRUE(inOrder) << RowsText(*rows);
        }
    }
}

// Analyses of random positions; each row must be the reference's search of the position after
// its move with the depth named here.
TEST(Analysis, EveryRowIsTheReferencesSearchAfterItsMove) {
    constexpr int kRelative = 1000;  // a perfect depth of kRelative + k: the empty squares + k
    struct Case {
        const char* what;
        StudyMode mode;
        uint32_t firstSeed, lastSeed;
        int minEmpty, maxEmpty;
        int normal, perfect;  // the study depths
        int32_t depth;        // Think's, for each move's search
        bool passes, ends;    // passes of both colours, game-ending moves must be among them
    } cases[] = {
        {"win/loss", StudyMode::kWinLoss, 1, 100, 1, 11, 7, 16, 0, true, true},
        {"perfect", StudyMode::kPerfect, 1, 100, 1, 11, 7, 16, -1, true, true},
        // With E empty squares before the move the perfect search starts at P = E.
        {"evaluation, E = P + 1: D - 1 plies after the move", StudyMode::kEvaluate, 100, 130, 3, 12,
         3, kRelative - 1, 2, true, false},
        {"evaluation, E = P: perfect", StudyMode::kEvaluate, 100, 130, 3, 12, 3, kRelative, -1,
         true, false},
        {"evaluation, E = P - 1: perfect", StudyMode::kEvaluate, 100, 130, 3, 12, 3, kRelative + 1,
         -1, true, false},
        {"evaluation in the middle game", StudyMode::kEvaluate, 200, 215, 30, 56, 4, 16, 3, false,
         false},
        {"evaluation of depth 1: still one ply", StudyMode::kEvaluate, 200, 205, 30, 56, 1, 16, 1,
         false, false},
        {"evaluation of depth 2", StudyMode::kEvaluate, 200, 205, 30, 56, 2, 16, 1, false, false},
        {"openness", StudyMode::kOpenness, 200, 215, 30, 56, 4, 16, 0, false, false},
        {"the initial position: four equal values", StudyMode::kEvaluate, 1, 1, 60, 60, 7, 16, 6,
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Coverage coverage;
        for (uint32_t seed = c.firstSeed; seed <= c.lastSeed; ++seed) {
            const BoardState board = tavik_test::RandomPosition(seed, c.minEmpty, c.maxEmpty);
            coverage.Look(board);
            StudyDepths depths;
            depths.normalDepth = c.normal;
            depths.perfectDepth = c.perfect >= kRelative / 2
                                      ? reference::CountEmpty(board) + c.perfect - kRelative
                                      : c.perfect;
            ExpectReferenceRows(board, c.mode, depths, c.depth, coverage);
            if (HasFatalFailure()) return;
        }
        EXPECT_GT(coverage.rows, 3);
        if (c.passes) {
            EXPECT_GT(coverage.blackPasses, 0);
            EXPECT_GT(coverage.whitePasses, 0);
            EXPECT_GT(coverage.whiteToMove, 0);
            EXPECT_GT(coverage.blackToMove, 0);
        }
        if (c.ends) {
            EXPECT_GT(coverage.endsTheGame, 0);
        }
    }
    // The initial position's four moves, one per symmetry: equal values in cell order.
    AnalysisOptions options;
    SearchCancel cancel;
    const auto rows = AnalyseAllMoves(InitialBoard(), options, cancel);
    ASSERT_TRUE(rows && rows->size() == 4);
    EXPECT_EQ(31, (*rows)[0].move) << "D3 first";
}

// A move that ends the game: the final disc margin beyond the win mark, whatever the mode.
TEST(Analysis, AMoveThatEndsTheGameIsWorthItsFinalMargin) {
    struct Case {
        const char* what;
        const char* diagram;
        char side;
        int32_t value;  // of the only move, H8
    } cases[] = {
        {"black wins by 18", "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXOOOOOOOOOOOOOOOOOOOOOOOOOOOOOXO-",
         'X', 65554},
        {"white wins by 18", "OOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOOXXXXXXXXXXXXXXXXXXXXXXXXXXXXXOX-",
         'O', -65554},
        {"a draw is 0", "XXOOXXOOXXOOOXXXOXXXXOXOOOOOOXOXXXOXOOOOOOOXOXOXOXXOOXXOOXOXOXX-", 'X', 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BoardState board = tavik_test::Board(c.diagram, c.side);
        for (StudyMode mode : {StudyMode::kEvaluate, StudyMode::kWinLoss, StudyMode::kPerfect}) {
            AnalysisOptions options;
            options.mode = mode;
            SearchCancel cancel;
            const auto rows = AnalyseAllMoves(board, options, cancel);
            ASSERT_TRUE(rows && rows->size() == 1);
            EXPECT_EQ(80, (*rows)[0].move);
            EXPECT_EQ(c.value, (*rows)[0].value) << static_cast<int>(mode);
        }
    }
}

TEST(Analysis, SortingKeepsEqualValuesInCellOrder) {
    struct Case {
        const char* what;
        StudyMode mode;
        int side;
        std::vector<int32_t> values;  // of cells 10, 11, 12, ... in that order
        std::vector<int> cells;       // expected order
    } cases[] = {
        {"black: largest first", StudyMode::kEvaluate, 1, {3, 9, 3, -2, 9}, {11, 14, 10, 12, 13}},
        {"white: smallest first", StudyMode::kPerfect, -1, {3, 9, 3, -2, 9}, {13, 10, 12, 11, 14}},
        {"openness: smallest first for black",
         StudyMode::kOpenness,
         1,
         {5, 2, 5, 7},
         {11, 10, 12, 13}},
        {"openness: smallest first for white",
         StudyMode::kOpenness,
         -1,
         {5, 2, 5, 7},
         {11, 10, 12, 13}},
        {"results beside scores", StudyMode::kWinLoss, 1, {-65536, 65535, 65536}, {12, 11, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ThinkResult> rows;
        for (size_t i = 0; i < c.values.size(); ++i)
            rows.push_back({static_cast<int32_t>(10 + i), c.values[i], 0});
        SortRows(rows, c.mode, c.side);
        std::vector<int> cells;
        for (const ThinkResult& r : rows) cells.push_back(r.move);
        EXPECT_EQ(c.cells, cells);
    }
}

TEST(Analysis, Texts) {
    struct Case {
        std::string actual, expected;  // the expected bytes of code page 932
    } cases[] = {
        {StudyTitle(StudyMode::kEvaluate),
         "\x95\x5d\x89\xbf\x92\x6c\x8e\x5a\x8f\x6f"},  // 評価値算出
        {StudyTitle(StudyMode::kOpenness), "開放度算出"},
        {StudyTitle(StudyMode::kWinLoss), "必勝探索"},
        {StudyTitle(StudyMode::kPerfect), "完全探索"},
        {ValueHeading(StudyMode::kEvaluate), "評価値"},
        {ValueHeading(StudyMode::kOpenness), "\x8a\x4a\x95\xfa\x93\x78"},  // 開放度
        {ValueHeading(StudyMode::kPerfect), "評価値"},
        {MoveCaption(StudyMode::kEvaluate, 51, 6), "評価値算出 F5を探索中...(深さ6)"},
        {MoveCaption(StudyMode::kWinLoss, 10, 17), "必勝探索 A1を探索中...(深さ17)"},
        {MoveCaption(StudyMode::kPerfect, 80, 9), "完全探索 H8を探索中...(深さ9)"},
        {MoveCaption(StudyMode::kOpenness, 31, 0), "開放度算出 D3を探索中..."},
        {BestMoveSearchingText({7, 7}), "最善手探索中...(深さ7)"},
        {BestMoveText({0, 0, 0}),
         "\x92\x85\x8e\xe8\x89\xc2\x94\x5c\x93\x5f\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82"
         "\xf1"},
        {BestMoveText({51, 65542, 9}), "最善手はF5です\r\n評価値:黒6石勝ち"},
        {BestMoveText({58, -12, 9}), "最善手はD6です\r\n評価値:-12"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(Analysis, CaptionsNameTheMoveAndTheDepthOfEachSearch) {
    // A position with a move that leaves the opponent without one: that move is searched twice.
    BoardState board;
    bool passes = false;
    for (uint32_t seed = 1; seed < 400 && !passes; ++seed) {
        board = tavik_test::RandomPosition(seed, 6, 14);
        for (int cell : LegalMoves(board)) {
            BoardState after = board;
            ReverseStones(&after, cell);
            BoardState passed = after;
            passed.sideToMove = -passed.sideToMove;
            passes |= LegalMoves(after).empty() && !LegalMoves(passed).empty();
        }
    }
    ASSERT_TRUE(passes) << "no position where the opponent must pass";
    const int empty = reference::CountEmpty(board);
    struct Case {
        int normal, perfect;
        int shownDepth;  // in every caption of a move that does not pass
    } cases[] = {
        {7, empty + 1, empty - 1},  // the position before the move is within the perfect depth
        {7, empty, empty - 1},
        {7, empty - 1, 6},  // D - 1 plies after the move
        {1, empty - 1, 1},  // never fewer than one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.perfect);
        StudyDepths depths;
        depths.normalDepth = c.normal;
        depths.perfectDepth = c.perfect;
        for (int cell : LegalMoves(board)) {
            std::vector<std::string> captions;
            AnalyseMove(
                board, cell, StudyMode::kEvaluate, depths,
                [&](const std::string& text) { captions.push_back(text); }, nullptr);
            BoardState after = board;
            ReverseStones(&after, cell);
            const size_t searches = LegalMoves(after).empty() ? 2 : 1;
            ASSERT_EQ(searches, captions.size());
            for (const std::string& caption : captions)
                EXPECT_EQ(MoveCaption(StudyMode::kEvaluate, cell, c.shownDepth), caption);
        }
    }
}

TEST(Analysis, TheBestMoveAsTheReferenceFindsIt) {
    struct Case {
        const char* what;
        BoardState board;
        int normal, perfect;
        int32_t depth;  // the engine's: the normal depth, or -1 for the perfect search
        int shown;
    };
    const BoardState start = tavik::InitialBoard();
    const BoardState late = tavik_test::RandomPosition(5, 10, 10);
    const int lateEmpty = reference::CountEmpty(late);
    std::vector<Case> cases = {
        {"the start, default depths", start, 7, 16, 7, 7},
        {"E = P + 1: normal search", late, 4, lateEmpty - 1, 4, 4},
        {"E = P: perfect search", late, 4, lateEmpty, -1, lateEmpty},
        {"E = P - 1: perfect search", late, 4, lateEmpty + 1, -1, lateEmpty},
        {"a depth of 0 searches one ply", start, 0, 16, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StudyDepths depths;
        depths.normalDepth = c.normal;
        depths.perfectDepth = c.perfect;
        const BestMovePlan plan = PlanBestMove(c.board, depths);
        EXPECT_EQ(c.depth, plan.engineDepth);
        EXPECT_EQ(c.shown, plan.shownDepth);
        SearchCancel cancel;
        const auto found = FindBestMove(c.board, depths, cancel);
        ASSERT_TRUE(found);
        const ThinkResult expected = reference::Think(c.board, c.depth, -1).result;
        EXPECT_EQ(RowsText({expected}), RowsText({*found}));
    }
    // The side to move must pass: no move to show.
    BoardState stuck = tavik_test::Board(std::string("OX") + std::string(62, '-'), 'X');
    SearchCancel cancel;
    const auto none = FindBestMove(stuck, StudyDepths{}, cancel);
    ASSERT_TRUE(none);
    EXPECT_EQ(0, none->move);
    EXPECT_EQ("着手可能点がありません", BestMoveText(*none));
}

// A perfect search of every move with 22 empty squares takes far longer than the test: an
// analysis of it ends only when its searches are cancelled.
BoardState EndlessBoard() { return tavik_test::RandomPosition(42, 22, 22); }

AnalysisOptions EndlessAnalysis(std::atomic<int>& started, int threads) {
    AnalysisOptions options;
    options.mode = StudyMode::kPerfect;
    options.threads = threads;
    options.caption = [&started](const std::string&) { ++started; };
    return options;
}

// The progress callback of a search that must go on: its first call once armed, while that
// search is running, cancels another task.
std::atomic<SearchCancel*> gOtherTask{nullptr};
void OSTRAKON_CALL CancelTheOtherTask(const char*) {
    if (SearchCancel* other = gOtherTask.exchange(nullptr)) other->Cancel();
}

// A middle-game evaluation of every move, each row computed alone; the engine looks for a
// cancel request once every 1024 positions, and its longest search takes many times that.
struct Evaluation {
    BoardState board = tavik_test::RandomPosition(210, 30, 30);
    StudyDepths depths;
    std::vector<ThinkResult> alone;
    size_t longest = 0;
    Evaluation() {
        depths.normalDepth = 8;
        for (int cell : LegalMoves(board))
            alone.push_back(
                AnalyseMove(board, cell, StudyMode::kEvaluate, depths, nullptr, nullptr).value());
        for (size_t i = 0; i < alone.size(); ++i)
            if (alone[i].nodes > alone[longest].nodes) longest = i;
        EXPECT_GT(alone[longest].nodes, 20 * 1024);
    }
};

TEST(Analysis, CancellingATaskEndsOnlyItsSearchesAndTheNextAnalysisStartsClean) {
    const Evaluation evaluation;
    SearchCancel endlessCancel;
    std::atomic<int> started{0};
    const AnalysisOptions options = EndlessAnalysis(started, 2);
    std::optional<std::vector<ThinkResult>> endlessRows;
    std::thread endless(
        [&] { endlessRows = AnalyseAllMoves(EndlessBoard(), options, endlessCancel); });
    while (started < 2) std::this_thread::yield();

    // The same evaluation again, as a task of this thread, cancels the endless one from inside
    // its longest search.
    std::vector<std::optional<ThinkResult>> rows;
    {
        SearchCancel cancel;
        const SearchCancel::Scope scope(cancel);
        for (const ThinkResult& alone : evaluation.alone) {
            if (rows.size() == evaluation.longest) gOtherTask = &endlessCancel;
            rows.push_back(AnalyseMove(evaluation.board, alone.move, StudyMode::kEvaluate,
                                       evaluation.depths, nullptr, CancelTheOtherTask));
        }
    }
    if (SearchCancel* missed = gOtherTask.exchange(nullptr)) {
        missed->Cancel();
        ADD_FAILURE() << "no search called back";
    }
    endless.join();
    EXPECT_FALSE(endlessRows.has_value()) << "nothing is listed";
    EXPECT_LE(started.load(), 4) << "no move is started after the cancel";
    for (size_t i = 0; i < rows.size(); ++i) {
        const ThinkResult& alone = evaluation.alone[i];
        ASSERT_TRUE(rows[i].has_value())
            << "a search of the other task ended: " << SquareName(alone.move);
        EXPECT_EQ(RowsText({alone}), RowsText({*rows[i]}));
    }

    // The next analysis, from a fresh flag, runs to its end and lists what the reference finds.
    Coverage coverage;
    ExpectReferenceRows(tavik_test::RandomPosition(43, 8, 8), StudyMode::kPerfect, {}, -1,
                        coverage);
}

TEST(Analysis, ASearchEndedByAnotherRequestIsNeverARow) {
    // The search is ended by a request for its thread that its own task never made.
    std::atomic<int32_t> analysing{0};
    std::atomic<int> started{0};
    AnalysisOptions options = EndlessAnalysis(started, 1);
    options.threadStarted = [&] { analysing = CurrentThreadId(); };
    SearchCancel cancel;
    std::atomic<bool> done{false};
    std::optional<std::vector<ThinkResult>> rows;
    std::thread analysis([&] {
        rows = AnalyseAllMoves(EndlessBoard(), options, cancel);
        done = true;
    });
    int ended = 0;  // requests that found a search running
    while (!done) {
        if (analysing != 0 && CancelThink(analysing) != 0)
            ++ended;
        else
            std::this_thread::yield();
    }
    analysis.join();
    EXPECT_GT(ended, 0);
    EXPECT_FALSE(cancel.Cancelled());
    EXPECT_FALSE(rows.has_value()) << "nothing is listed";
}

// The engine's progress callback as the analyses give it.
void OSTRAKON_CALL PassOnTheCancel(const char*) { SearchCancel::PassOn(); }

TEST(Analysis, ACancelBeforeTheSearchBeginsStillEndsIt) {
    // Before the analysis starts: no move is searched.
    {
        std::atomic<int> started{0};
        SearchCancel cancel;
        cancel.Cancel();
        EXPECT_FALSE(
            AnalyseAllMoves(EndlessBoard(), EndlessAnalysis(started, 2), cancel).has_value());
        EXPECT_EQ(0, started.load());
    }
    // Between the task's check and the engine's start, when the engine has no search of the
    // thread to end: the first progress report passes it on. Not cancelled, the search would
    // finish.
    const Evaluation evaluation;
    SearchCancel cancel;
    const SearchCancel::Scope scope(cancel);
    const auto row = AnalyseMove(
        evaluation.board, evaluation.alone[evaluation.longest].move, StudyMode::kEvaluate,
        evaluation.depths, [&](const std::string&) { cancel.Cancel(); }, PassOnTheCancel);
    EXPECT_FALSE(row.has_value());
}

}  // namespace
