// The hint search: its plan of passes, the values each square shows (read back from the board
// model and compared with the literal reference engine's search after each move, at the depth
// of the pass), and its threads: a new position cancels the old one's search, no pass of an old
// position arrives once Start or Stop has returned, and no thread outlives the object.
#include "hint_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "board_functions.h"
#include "live_threads.h"
#include "ostrakon_value.h"
#include "random_games.h"
#include "reference.h"

namespace {

using namespace tavik;

constexpr HintPass Normal(int depth) { return {HintKind::kEvaluation, depth}; }
constexpr HintPass Exact(int empty) { return {HintKind::kExact, empty}; }

std::string PassesText(const std::vector<HintPass>& passes) {
    std::string text;
    for (const HintPass& p : passes)
        text += (p.kind == HintKind::kExact ? "X" : "N") + std::to_string(p.depth) + " ";
    return text;
}

StudyDepths Depths(int normal, int perfect) {
    StudyDepths depths;
    depths.normalDepth = normal;
    depths.perfectDepth = perfect;
    return depths;
}

TEST(HintSearch, ThePlanSteps2PliesInTheStudyDepthsParityAndEndsWithTheStudysSearch) {
    struct Case {
        const char* what;
        int empty, normal, perfect;
        std::vector<HintPass> passes;
    } cases[] = {
        {"the start, default depths", 60, 7, 16, {Normal(3), Normal(5), Normal(7)}},
        {"an even study depth starts at 2",
         40,
         8,
         16,
         {Normal(2), Normal(4), Normal(6), Normal(8)}},
        {"the deepest study depth",
         40,
         10,
         18,
         {Normal(2), Normal(4), Normal(6), Normal(8), Normal(10)}},
        {"study depth 1", 40, 1, 16, {Normal(1)}},
        {"study depth 2", 40, 2, 16, {Normal(2)}},
        {"study depth 3: the first pass is the study's", 40, 3, 16, {Normal(3)}},
        {"a depth of 0 from the registry searches as 1", 40, 0, 16, {Normal(1)}},
        {"E = P + 1: normal passes only", 17, 7, 16, {Normal(3), Normal(5), Normal(7)}},
        {"E = P: the perfect pass last", 16, 7, 16, {Normal(3), Normal(5), Normal(7), Exact(16)}},
        {"E = P - 1", 15, 7, 16, {Normal(3), Normal(5), Normal(7), Exact(15)}},
        {"the strong preset at its perfect depth",
         18,
         9,
         18,
         {Normal(3), Normal(5), Normal(7), Normal(9), Exact(18)}},
        {"E = 8: a normal search of 7 still stops short of every end",
         8,
         7,
         16,
         {Normal(3), Normal(5), Normal(7), Exact(8)}},
        {"E = 7: no normal search of 7 plies", 7, 7, 16, {Normal(3), Normal(5), Exact(7)}},
        {"E = 3: no normal pass before the perfect one", 3, 7, 16, {Exact(3)}},
        {"E = 3, even depth", 3, 8, 16, {Normal(2), Exact(3)}},
        {"E = 1", 1, 7, 16, {Exact(1)}},
        {"no perfect depth (使用しない)", 10, 7, 0, {Normal(3), Normal(5), Normal(7)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PassesText(c.passes),
                  PassesText(PlanHintPasses(c.empty, Depths(c.normal, c.perfect))));
    }
}

TEST(HintSearch, ValueTexts) {
    constexpr int32_t kWin = OSTRAKON_VALUE_WIN, kDraw = OSTRAKON_VALUE_DRAW;
    struct Case {
        HintKind kind;
        int32_t value;
        std::string text;  // code page 932
    } cases[] = {
        // exact: black's final disc difference
        {HintKind::kExact, kWin + 6, "+6"},
        {HintKind::kExact, kWin + 64, "+64"},
        {HintKind::kExact, -kWin - 2, "-2"},
        {HintKind::kExact, kDraw, "0"},
        {HintKind::kExact, -kDraw, "0"},
        {HintKind::kExact, 0, "0"},  // a move that ends the game drawn
        // the normal search: as the evaluation window, results shortened
        {HintKind::kEvaluation, 154, "154"},
        {HintKind::kEvaluation, -25, "-25"},
        {HintKind::kEvaluation, 0, "0"},
        {HintKind::kEvaluation, kWin + 12,
         "\x8d\x95"
         "12"
         "\x8f\x9f"},  // 黒12勝
        {HintKind::kEvaluation, -kWin - 3, "白3勝"},
        {HintKind::kEvaluation, kWin, "黒勝"},
        {HintKind::kEvaluation, kDraw, "\x88\xf8\x95\xaa"},  // 引分
        {HintKind::kEvaluation, -kDraw, "引分"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, HintValueText(c.kind, c.value))
            << (c.kind == HintKind::kExact ? "exact " : "") << c.value;
}

// A 12-pixel font: a double-byte character of code page 932 is 12 pixels wide, a single byte at
// most 7. The square is 50 pixels, less the legal-move frame and a pixel of air on each side.
int TextWidth(const std::string& text) {
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const bool doubleByte = (lead >= 0x81 && lead <= 0x9f) || (lead >= 0xe0 && lead <= 0xfc);
        width += doubleByte ? 12 : 7;
        if (doubleByte) ++i;
    }
    return width;
}

TEST(HintSearch, EveryValueTextFitsASquare) {
    constexpr int kWidth = 44;
    constexpr int32_t kWin = OSTRAKON_VALUE_WIN, kDraw = OSTRAKON_VALUE_DRAW;
    std::vector<int32_t> values = {0, 1, -1, kDraw, -kDraw, kWin, -kWin, kDraw - 1, 1 - kDraw};
    for (int32_t margin = 1; margin <= 64; ++margin) {
        values.push_back(kWin + margin);
        values.push_back(-kWin - margin);
    }
    for (int32_t value : values) {
        for (HintKind kind : {HintKind::kEvaluation, HintKind::kExact}) {
            if (kind == HintKind::kExact &&
                ostrakon::ReadValue(value).kind == ostrakon::ValueMeaning::kNumber && value != 0)
                continue;  // the perfect search ends every game: only results and 0
            const std::string text = HintValueText(kind, value);
            EXPECT_LE(TextWidth(text), kWidth) << value << " " << text;
        }
    }
}

// The passes a search delivers, and any delivered for a generation older than the last
// Start or Stop that had returned when it came.
class Recorder {
public:
    HintSearch::Options Options() {
        HintSearch::Options options;
        options.threadStarted = [this] { ++threadStarts; };
        options.delivered = [this](const HintPassResult& result) {
            std::lock_guard<std::mutex> hold(lock_);
            if (result.generation < returned_.load()) ++stale_;
            passes_.push_back(result);
            startsWhenDelivered_ = threadStarts.load();
            arrived_.notify_all();
        };
        return options;
    }
    // Call with what Start answered, once it has returned (Stop: the generation after).
    void Returned(uint64_t generation) { returned_ = generation; }

    // Waits for the last pass of `generation`; false if it did not come in two minutes (a
    // hang guard only: it comes in milliseconds).
    bool WaitForLast(uint64_t generation) {
        return WaitFor([&] {
            return std::any_of(passes_.begin(), passes_.end(), [&](const HintPassResult& r) {
                return r.generation == generation && r.last;
            });
        });
    }
    bool WaitForPasses(uint64_t generation, size_t count) {
        return WaitFor([&] { return Of(generation).size() >= count; });
    }
    std::vector<HintPassResult> Of(uint64_t generation) {
        std::vector<HintPassResult> of;
        for (const HintPassResult& r : passes_)
            if (r.generation == generation) of.push_back(r);
        return of;
    }
    int Stale() {
        std::lock_guard<std::mutex> hold(lock_);
        return stale_;
    }
    std::vector<HintPassResult> All() {
        std::lock_guard<std::mutex> hold(lock_);
        return passes_;
    }

    // The threads started for passes when the latest pass was delivered: those of the passes so
    // far, since the next pass starts only after the delivery.
    int StartsWhenDelivered() {
        std::lock_guard<std::mutex> hold(lock_);
        return startsWhenDelivered_;
    }

    std::atomic<int> threadStarts{0};

private:
    template <class Ready>
    bool WaitFor(Ready ready) {
        std::unique_lock<std::mutex> hold(lock_);
        return arrived_.wait_for(hold, std::chrono::minutes(2), ready);
    }

    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<HintPassResult> passes_;
    std::atomic<uint64_t> returned_{0};
    int stale_ = 0;
    int startsWhenDelivered_ = 0;
};

std::string SquaresText(std::vector<HintSquare> squares) {
    std::sort(squares.begin(), squares.end(),
              [](const HintSquare& a, const HintSquare& b) { return a.cell < b.cell; });
    std::string text;
    for (const HintSquare& s : squares)
        text += std::to_string(s.cell) + ":" + std::to_string(s.value) + " " + s.text +
                (s.exact ? " exact" : "") + (s.best ? " best" : "") + "\n";
    return text;
}

// The middle game and the endgame of one game, 23 and 48 moves in.
const char kMiddleGame[] = "F5D6C3F4F6F3D3C4E3F2E2F1G4C2G3G2E1H3C5C6D2G6G5";
const char kEndgame[] =
    "F5D6C3F4F6F3D3C4E3F2E2F1G4C2G3G2E1H3C5C6D2G6G5D1H4G1B4E6B3A3B5H5H1H2H6A4H7B6C1G7H8E7F7D7A5A6"
    "E8D8";
// White to move, 11 empty squares; F7 leaves black without a move.
const char kPassDiagram[] = "--X---XO---XXXOOX--XXOOOXXXXXXOOXXXXOOXOXOXXOOXOXXOOX-OOXOOOOOOO";

TEST(HintSearch, EverySquareShowsTheReferencesValueAtTheDepthOfItsPass) {
    struct Case {
        const char* what;
        BoardState board;
        int normal, perfect;
    } cases[] = {
        {"the start", InitialBoard(), 7, 16},
        {"a middle game, white to move", tavik_test::AfterMoves(kMiddleGame), 5, 16},
        {"an endgame within the perfect depth", tavik_test::AfterMoves(kEndgame), 5, 12},
        {"F7 makes black pass: normal passes", tavik_test::Board(kPassDiagram, 'O'), 7, 10},
        {"F7 makes black pass: the perfect pass", tavik_test::Board(kPassDiagram, 'O'), 4, 11},
    };
    int whiteToMove = 0, exactPasses = 0, normalPasses = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int empty = reference::CountEmpty(c.board);
        const std::vector<HintPass> plan = PlanHintPasses(empty, Depths(c.normal, c.perfect));
        Recorder recorder;
        HintSearch search(recorder.Options());
        const uint64_t generation = search.Start(c.board, Depths(c.normal, c.perfect));
        ASSERT_NE(0u, generation);
        ASSERT_TRUE(recorder.WaitForLast(generation));
        const std::vector<HintPassResult> passes = recorder.Of(generation);
        std::vector<HintPass> delivered;
        for (const HintPassResult& r : passes) delivered.push_back(r.pass);
        ASSERT_EQ(PassesText(plan), PassesText(delivered));
        whiteToMove += c.board.sideToMove == -1;
        for (const HintPassResult& result : passes) {
            const bool exact = result.pass.kind == HintKind::kExact;
            SCOPED_TRACE((exact ? "exact " : "depth ") + std::to_string(result.pass.depth));
            (exact ? exactPasses : normalPasses) += 1;
            EXPECT_EQ(&result == &passes.back(), result.last);
            // Think's depth after the move: d plies in all, at least one after it.
            const int32_t depth = exact ? -1 : std::max(1, result.pass.depth - 1);
            std::vector<ThinkResult> rows;
            for (int cell = 10; cell <= 80; ++cell)
                if (tavik_test::IsPlayable(cell) && reference::CanDrop(c.board, cell))
                    rows.push_back(tavik_test::ReferenceMoveRow(c.board, cell, depth));
            // best for the side to move, the earliest square among equals
            const ThinkResult* best = &rows.front();
            for (const ThinkResult& row : rows)
                if (c.board.sideToMove == 1 ? row.value > best->value : row.value < best->value)
                    best = &row;
            std::vector<HintSquare> expected;
            for (const ThinkResult& row : rows)
                expected.push_back({row.move, row.value, HintValueText(result.pass.kind, row.value),
                                    exact, &row == best});
            EXPECT_EQ(SquaresText(expected), SquaresText(HintSquares(result.pass, result.rows)));
        }
        const std::optional<HintPassResult> latest = search.Latest();
        ASSERT_TRUE(latest.has_value());
        EXPECT_EQ(generation, latest->generation);
        EXPECT_EQ(PassesText({plan.back()}), PassesText({latest->pass}));
    }
    EXPECT_GT(whiteToMove, 0);
    EXPECT_GT(exactPasses, 1);
    EXPECT_GT(normalPasses, 5);
}

// A perfect search of every move with 22 empty squares takes far longer than any test: its pass
// ends only when it is cancelled. Study depth 3 puts one quick normal pass before it.
BoardState EndlessBoard() { return tavik_test::RandomPosition(42, 22, 22); }
const StudyDepths kEndless = Depths(3, 22);

// Waits until the endless pass of `generation` runs on all its threads: the quick pass is
// delivered, then each thread of the perfect pass has started (two minutes at most: a hang
// guard only).
void WaitForTheEndlessPass(Recorder& recorder, uint64_t generation) {
    ASSERT_TRUE(recorder.WaitForPasses(generation, 1));
    const int threads = static_cast<int>(std::min<size_t>(
        std::max(1u, std::thread::hardware_concurrency()), LegalMoves(EndlessBoard()).size()));
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (recorder.threadStarts < recorder.StartsWhenDelivered() + threads) {
        ASSERT_LT(std::chrono::steady_clock::now(), until) << "the perfect pass did not start";
        std::this_thread::yield();
    }
}

TEST(HintSearch, ANewPositionCancelsTheDeepPassAtOnce) {
    Recorder recorder;
    HintSearch search(recorder.Options());
    const uint64_t endless = search.Start(EndlessBoard(), kEndless);
    recorder.Returned(endless);
    ASSERT_NO_FATAL_FAILURE(WaitForTheEndlessPass(recorder, endless));

    const uint64_t start = search.Start(InitialBoard(), Depths(5, 16));
    recorder.Returned(start);
    const std::optional<HintPassResult> latest = search.Latest();
    EXPECT_TRUE(!latest || latest->generation == start) << "the old values are gone";
    // The perfect pass would run for hours: the new passes come only once it was cancelled.
    ASSERT_TRUE(recorder.WaitForLast(start));
    EXPECT_EQ(1u, recorder.Of(endless).size()) << "only the quick pass of the old position";
    EXPECT_EQ(2u, recorder.Of(start).size());
    EXPECT_EQ(0, recorder.Stale());
}

TEST(HintSearch, APassThatEndsJustAsANewPositionComesIsNeverDelivered) {
    // The Start comes after the pass's last search ended and before its delivery: the rows are
    // complete, and only the generation tells them from the new position's.
    Recorder recorder;
    HintSearch::Options options = recorder.Options();
    HintSearch* search = nullptr;
    std::atomic<uint64_t> next{0};
    options.passEnded = [&] {
        if (next == 0) next = search->Start(tavik_test::AfterMoves(kMiddleGame), Depths(3, 16));
    };
    HintSearch hints(options);
    search = &hints;
    const uint64_t first = hints.Start(InitialBoard(), Depths(5, 16));
    recorder.Returned(first);
    while (next == 0) std::this_thread::yield();
    ASSERT_TRUE(recorder.WaitForLast(next));
    EXPECT_EQ(0u, recorder.Of(first).size());
    const std::vector<HintPassResult> passes = recorder.Of(next);
    ASSERT_EQ(1u, passes.size());
    EXPECT_EQ(LegalMoves(tavik_test::AfterMoves(kMiddleGame)).size(), passes[0].rows.size());
}

TEST(HintSearch, AStartWaitsForTheDeliveryUnderWay) {
    // The first delivery lingers until the Start made meanwhile has returned, or for 200 ms:
    // a Start that returns while the old position's pass is still being delivered lets the
    // window paint an old value after the move.
    std::atomic<bool> first{true}, delivering{false}, startReturned{false}, overlapped{false};
    HintSearch::Options options;
    options.delivered = [&](const HintPassResult&) {
        if (!first.exchange(false)) return;
        delivering = true;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
        while (!startReturned && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        overlapped = startReturned.load();
        delivering = false;
    };
    HintSearch search(options);
    search.Start(InitialBoard(), Depths(5, 16));
    while (!delivering) std::this_thread::yield();
    search.Start(tavik_test::AfterMoves(kMiddleGame), Depths(5, 16));
    startReturned = true;
    while (delivering) std::this_thread::yield();
    EXPECT_FALSE(overlapped) << "Start returned during the old position's delivery";
}

// Waits until the process has `expected` threads; false if it still has others after ten
// seconds. A joined thread may be listed for a moment after the join has returned.
bool ThreadsComeTo(int expected) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (tavik_test::LiveThreads() != expected) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::yield();
    }
    return true;
}

// The engine makes its pool of helper threads at the first search of the process and keeps it.
void MakeTheEnginesPool() {
    Recorder recorder;
    HintSearch search(recorder.Options());
    ASSERT_TRUE(recorder.WaitForLast(search.Start(InitialBoard(), Depths(5, 16))));
}

TEST(HintSearch, StopAnswersWhenNoneOfItsSearchesRunsAndNoThreadOutlivesTheObject) {
    MakeTheEnginesPool();
    const int before = tavik_test::LiveThreads();
    {
        Recorder recorder;
        HintSearch::Options options = recorder.Options();
        std::mutex idsLock;
        std::vector<int32_t> ids;  // every thread that searched a pass
        options.threadStarted = [&, started = options.threadStarted] {
            std::lock_guard<std::mutex> hold(idsLock);
            ids.push_back(CurrentThreadId());
            started();
        };
        HintSearch search(options);
        for (int round = 0; round < 5; ++round) {
            SCOPED_TRACE(round);
            const uint64_t generation = search.Start(EndlessBoard(), kEndless);
            recorder.Returned(generation);
            ASSERT_NO_FATAL_FAILURE(WaitForTheEndlessPass(recorder, generation));
            search.Stop();
            recorder.Returned(generation + 1);
            // A request for a thread that runs no search is refused.
            std::lock_guard<std::mutex> hold(idsLock);
            for (int32_t id : ids) ASSERT_EQ(0, CancelThink(id)) << "still searching: " << id;
            EXPECT_FALSE(search.Latest().has_value());
        }
        EXPECT_TRUE(ThreadsComeTo(before + 1)) << "the worker alone: " << tavik_test::LiveThreads();
        // and it searches again
        const uint64_t again = search.Start(InitialBoard(), Depths(3, 16));
        ASSERT_TRUE(recorder.WaitForLast(again));
        EXPECT_EQ(0, recorder.Stale());
    }
    EXPECT_TRUE(ThreadsComeTo(before))
        << tavik_test::LiveThreads() << " threads, " << before << " before";
    // Destroyed while the endless pass runs: the destructor ends it. It runs on a thread of its
    // own here, so that a destructor waiting for the pass fails the test rather than hangs it.
    {
        auto recorder = std::make_shared<Recorder>();
        auto search = std::make_shared<HintSearch>(recorder->Options());
        ASSERT_NO_FATAL_FAILURE(
            WaitForTheEndlessPass(*recorder, search->Start(EndlessBoard(), kEndless)));
        auto destroyed = std::make_shared<std::promise<void>>();
        std::future<void> done = destroyed->get_future();
        std::thread([search = std::move(search), recorder, destroyed]() mutable {
            search.reset();
            destroyed->set_value();
        }).detach();
        ASSERT_EQ(std::future_status::ready, done.wait_for(std::chrono::minutes(2)))
            << "the destructor waits for the perfect pass";
    }
    EXPECT_TRUE(ThreadsComeTo(before))
        << tavik_test::LiveThreads() << " threads, " << before << " before";
}

TEST(HintSearch, ABurstOfStartsEndsWithTheLastPositionsPassesAndNoOldOne) {
    MakeTheEnginesPool();
    const int before = tavik_test::LiveThreads();
    const BoardState positions[] = {
        InitialBoard(),
        tavik_test::AfterMoves(kMiddleGame),
        tavik_test::AfterMoves(kEndgame),
        tavik_test::Board(kPassDiagram, 'O'),
        tavik_test::Board("OX" + std::string(62, '-'), 'X'),  // black must pass: no pass at all
    };
    const StudyDepths depths = Depths(5, 12);
    {
        Recorder recorder;
        HintSearch search(recorder.Options());
        uint64_t last = 0;
        for (int i = 0; i < 200; ++i) {
            SCOPED_TRACE(i);
            const uint64_t generation = search.Start(positions[i % 5], depths);
            ASSERT_GT(generation, last);
            last = generation;
            recorder.Returned(generation);
            const std::optional<HintPassResult> latest = search.Latest();
            ASSERT_TRUE(!latest || latest->generation == generation);
            // now and then let a pass arrive, so that Starts meet passes ending
            if (i % 7 == 3 && !LegalMoves(positions[i % 5]).empty()) {
                ASSERT_TRUE(recorder.WaitForPasses(generation, 1));
            }
            if (i % 50 == 49) {
                search.Stop();
                recorder.Returned(generation + 1);
                ASSERT_FALSE(search.Latest().has_value());
            }
        }
        const BoardState& board = positions[1];
        const uint64_t final = search.Start(board, depths);
        recorder.Returned(final);
        ASSERT_TRUE(recorder.WaitForLast(final));
        std::vector<HintPass> delivered;
        for (const HintPassResult& r : recorder.Of(final)) delivered.push_back(r.pass);
        EXPECT_EQ(PassesText(PlanHintPasses(reference::CountEmpty(board), depths)),
                  PassesText(delivered));
        EXPECT_EQ(LegalMoves(board).size(), recorder.Of(final).back().rows.size());
        EXPECT_EQ(0, recorder.Stale());
        EXPECT_TRUE(ThreadsComeTo(before + 1))
            << tavik_test::LiveThreads() << " threads, " << before;
    }
    EXPECT_TRUE(ThreadsComeTo(before))
        << tavik_test::LiveThreads() << " threads, " << before << " before";
}

}  // namespace
