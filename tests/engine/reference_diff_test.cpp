// The shipped engine against the literal mailbox reference, on random positions from random
// legal games: every export must give the same answers, and Think the same move, value, node
// count and progress texts, in every mode, on one thread and with two and four threads as well
// as through the export with its defaults (every processor, the shipped split limits). On two
// and four threads nodes split at every level of these small trees: those searches are given
// the lowest split limits (SearchOptions, parallel.h). A failure prints the position, the seed
// and the thread count.
//
// Every case runs once per build of the search (search_build.h) that the processor runs: the
// builds must agree with the reference, and so with each other, exactly.
//
// TAVIK_REFERENCE_SCALE (a percentage, default 100) shrinks or grows the run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "board_functions.h"
#include "parallel.h"
#include "random_games.h"
#include "reference.h"
#include "search.h"
#include "search_build.h"

namespace {

using tavik_test::RandomPosition;
using tavik_tools::Diagram;

std::vector<std::string> gTexts;
void OSTRAKON_CALL RecordText(const char* text) { gTexts.push_back(text); }

int Scaled(int count) {
    const char* scale = std::getenv("TAVIK_REFERENCE_SCALE");
    const int percent = scale ? std::atoi(scale) : 100;
    return count * percent / 100 > 0 ? count * percent / 100 : 1;
}

std::string Trace(const BoardState& b, uint32_t seed, int depth, int force) {
    return Diagram(b) + " seed=" + std::to_string(seed) + " depth=" + std::to_string(depth) +
           " force=" + std::to_string(force);
}

// The trees compared here are small; searches with helpers split them wherever the search
// allows, so that results are taken back in order at every level, through passes, cut-offs and
// wins.
const ostrakon::SplitLimits kSplitEverywhere = {2, 7, 1};

void ExpectSameThink(const BoardState& b, int depth, int force) {
    const reference::ThinkOutput expected = reference::Think(b, depth, force);
    for (int threads : {0, 1, 2, 4}) {  // 0: the export
        SCOPED_TRACE("threads " + std::to_string(threads));
        gTexts.clear();
        ThinkResult actual{-7, -7, -7};
        const int32_t returned = threads == 0
                                     ? Think(&b, depth, &actual, force, RecordText)
                                     : ostrakon::ThinkCall(b, depth, actual, force != 0, RecordText,
                                                           {threads, kSplitEverywhere});
        EXPECT_EQ(expected.returned, returned);
        if (expected.written) {
            EXPECT_EQ(expected.result.move, actual.move);
            EXPECT_EQ(expected.result.value, actual.value);
            EXPECT_EQ(expected.result.nodes, actual.nodes);
        } else {
            EXPECT_EQ(-7, actual.move);
        }
        EXPECT_EQ(expected.progress, gTexts);
    }
}

void ExpectSameRules(const BoardState& b) {
    for (int cell = 0; cell <= 90; ++cell) {
        ASSERT_EQ(reference::CanDrop(b, cell) ? -1 : 0, CanDrop(&b, cell)) << "cell " << cell;
        ASSERT_EQ(reference::GetOpenness(b, cell), GetOpenness(&b, cell)) << "cell " << cell;
        BoardState expected = b, actual = b;
        const int32_t played = reference::ReverseStones(expected, cell) ? -1 : 0;
        ASSERT_EQ(played, ReverseStones(&actual, cell)) << "cell " << cell;
        ASSERT_EQ(0, std::memcmp(&expected, &actual, sizeof expected)) << "cell " << cell;
    }
    BoardState expected = b, actual = b;
    EXPECT_EQ(reference::EvalSituation(expected), EvalSituation(&actual));
    EXPECT_EQ(0, std::memcmp(&b, &actual, sizeof b))
        << "EvalSituation must leave the board as it was";
}

using ostrakon::SearchBuild;

class ReferenceDiff : public testing::TestWithParam<SearchBuild> {
protected:
    void SetUp() override {
        if (!ostrakon::UseSearchBuild(GetParam())) GTEST_SKIP() << "the processor cannot run it";
    }
};

INSTANTIATE_TEST_SUITE_P(Builds, ReferenceDiff,
                         testing::Values(SearchBuild::kPortable, SearchBuild::kAvx2),
                         [](const testing::TestParamInfo<SearchBuild>& build) {
                             return std::string(ostrakon::SearchBuildName(build.param));
                         });

// Positions that must pass and finished games have to be among those compared.
struct Kinds {
    int mustPass = 0;
    int finished = 0;
    void Note(const BoardState& b) {
        mustPass += tavik::IsForcedPass(b);
        finished += tavik::IsGameOver(b);
    }
};

// Depth d of the normal search is tried on positions where the reference stays quick; the
// cheaper shallow depths see the whole game.
TEST_P(ReferenceDiff, NormalSearchAllDepths) {
    const int count = Scaled(6000);
    Kinds kinds;
    for (int i = 0; i < count; ++i) {
        const uint32_t seed = 1000000 + i;
        const int depth = 1 + i % 6;
        const int force = (i / 6) % 2;
        const int maxEmpty = depth <= 3 ? 60 : depth == 4 ? 40 : depth == 5 ? 26 : 20;
        const BoardState b = RandomPosition(seed, 0, maxEmpty);
        kinds.Note(b);
        SCOPED_TRACE(Trace(b, seed, depth, force));
        ExpectSameRules(b);
        ExpectSameThink(b, depth, force);
        if (HasFatalFailure() || HasFailure()) return;
    }
    EXPECT_GT(kinds.mustPass, count / 500) << "too few positions that must pass";
    EXPECT_GT(kinds.finished, count / 500) << "too few finished games";
}

TEST_P(ReferenceDiff, WinLossSearch) {
    const int count = Scaled(2500);
    Kinds kinds;
    for (int i = 0; i < count; ++i) {
        const uint32_t seed = 2000000 + i;
        const int force = i % 2;
        const BoardState b = RandomPosition(seed, 0, 12);
        kinds.Note(b);
        SCOPED_TRACE(Trace(b, seed, 0, force));
        ExpectSameThink(b, 0, force);
        if (HasFailure()) return;
    }
    EXPECT_GT(kinds.mustPass, count / 500) << "too few positions that must pass";
    EXPECT_GT(kinds.finished, count / 500) << "too few finished games";
}

TEST_P(ReferenceDiff, PerfectSearch) {
    const int count = Scaled(2500);
    for (int i = 0; i < count; ++i) {
        const uint32_t seed = 3000000 + i;
        const int force = i % 2;
        const int depth = -1 - static_cast<int>(i % 3);  // every negative depth is perfect
        const BoardState b = RandomPosition(seed, 0, 12);
        SCOPED_TRACE(Trace(b, seed, depth, force));
        ExpectSameThink(b, depth, force);
        if (HasFailure()) return;
    }
}

// Boards no game reaches: discs scattered at random, empty centre squares (never played by the
// searches, but counted as empty in the texts), few empty squares so every mode stays quick.
TEST_P(ReferenceDiff, ScatteredBoardsInEveryMode) {
    const int count = Scaled(1500);
    std::mt19937 rng(11);
    for (int i = 0; i < count; ++i) {
        BoardState b = tavik::InitialBoard();
        const int empties = 1 + static_cast<int>(rng() % 10);
        for (int cell = 10; cell <= 80; ++cell) {
            if (tavik_test::IsPlayable(cell)) b.cells[cell] = rng() % 2 ? 1 : -1;
        }
        for (int k = 0; k < empties; ++k) {
            const int bit = static_cast<int>(rng() % 64);
            b.cells[10 + 9 * (bit / 8) + bit % 8] = 0;
        }
        b.sideToMove = rng() % 2 ? 1 : -1;
        const int depth = static_cast<int>(rng() % 5) - 1;  // perfect, win/loss, depths 1 to 3
        const int force = static_cast<int>(rng() % 2);
        SCOPED_TRACE(Trace(b, i, depth, force));
        ExpectSameRules(b);
        ExpectSameThink(b, depth, force);
        if (HasFailure()) return;
    }
}

}  // namespace
