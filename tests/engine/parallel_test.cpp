// The parallel search beyond the reference comparison: the default split limits on trees too
// big for the reference, searches cancelled at random moments while helpers run, and memo
// entries read while other threads write them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include "memo.h"
#include "parallel.h"
#include "progress_texts.h"
#include "random_games.h"
#include "search.h"

namespace {

using tavik_test::RecordProgressText;

struct Outcome {
    int32_t returned;
    ThinkResult result;
    std::vector<std::string> texts;
};

Outcome Search(const BoardState& b, int depth, int threads, ProgressCallback callback = nullptr) {
    Outcome o{0, {-7, -7, -7}, {}};
    const tavik_test::ProgressTexts recording(o.texts);
    o.returned = ostrakon::ThinkCall(b, depth, o.result, true, callback, threads);
    return o;
}

int Scaled(int count) {
    const char* scale = std::getenv("TAVIK_REFERENCE_SCALE");
    const int percent = scale ? std::atoi(scale) : 100;
    return count * percent / 100 > 0 ? count * percent / 100 : 1;
}

// Trees of tens of thousands to millions of nodes, split as the game's searches are: the same
// result, node count and texts on 1, 2 and 4 threads.
TEST(ParallelSearch, DefaultSplitsGiveTheSequentialAnswer) {
    struct Case {
        int depth;
        int minEmpty, maxEmpty;
        uint32_t seeds;
    };
    const Case cases[] = {
        {7, 24, 36, 6},   // normal search
        {9, 36, 44, 2},   // deeper normal search, more window changes at the root
        {0, 15, 17, 6},   // win/loss
        {-1, 13, 15, 6},  // perfect
    };
    ostrakon::PoolBusyPeak(true);
    for (const Case& c : cases) {
        for (uint32_t seed = 1; seed <= c.seeds; ++seed) {
            const BoardState b = tavik_test::RandomPosition(500 + seed, c.minEmpty, c.maxEmpty);
            SCOPED_TRACE(tavik_tools::Diagram(b) + " depth " + std::to_string(c.depth));
            const Outcome one = Search(b, c.depth, 1, RecordProgressText);
            ASSERT_EQ(-1, one.returned);
            for (int threads : {2, 4}) {
                const Outcome many = Search(b, c.depth, threads, RecordProgressText);
                EXPECT_EQ(-1, many.returned) << threads << " threads";
                EXPECT_EQ(one.result.move, many.result.move) << threads << " threads";
                EXPECT_EQ(one.result.value, many.result.value) << threads << " threads";
                EXPECT_EQ(one.result.nodes, many.result.nodes) << threads << " threads";
                EXPECT_EQ(one.texts, many.texts) << threads << " threads";
            }
            EXPECT_TRUE(ostrakon::PoolIdle());
        }
    }
    // One search alone in the process is helped (the shared budget holds back only searches
    // that fill the processors between them).
    EXPECT_GE(ostrakon::PoolBusyPeak(false), 2) << "helpers inside tasks at once";
}

// Searches of a few milliseconds, each met by a cancel request at a random moment, most while
// helpers are inside tasks. A cancelled search leaves its result alone; a finished one is
// exact; afterwards no helper is inside a task, no split point is open, no memo table is
// leased and no entry is half written, and the next search is exact.
TEST(ParallelSearch, RandomCancelsLeaveNothingBehind) {
    const int count = Scaled(1000) < 100 ? 100 : Scaled(1000);
    std::mt19937 rng(2026);
    int cancelled = 0;
    for (int i = 0; i < count; ++i) {
        const int depths[] = {6, 0, -1};
        const int depth = depths[i % 3];
        const BoardState b = depth > 0 ? tavik_test::RandomPosition(9000 + i, 28, 40)
                                       : tavik_test::RandomPosition(9000 + i, 13, 15);
        const int threads = i % 4 == 0 ? 4 : 2;
        const auto delay = std::chrono::microseconds(rng() % 4000);
        SCOPED_TRACE(tavik_tools::Diagram(b) + " depth " + std::to_string(depth) + " threads " +
                     std::to_string(threads));
        std::thread canceller([delay] {
            std::this_thread::sleep_for(delay);
            ostrakon::CancelAllSearches();
        });
        const Outcome o = Search(b, depth, threads);
        canceller.join();
        ASSERT_TRUE(ostrakon::PoolIdle());
        if (o.returned == 0) {
            ++cancelled;
            EXPECT_EQ(-7, o.result.move);
            EXPECT_EQ(-7, o.result.nodes);
            continue;
        }
        ASSERT_EQ(-1, o.returned);
        const Outcome alone = Search(b, depth, 1);
        EXPECT_EQ(alone.result.move, o.result.move);
        EXPECT_EQ(alone.result.value, o.result.value);
        EXPECT_EQ(alone.result.nodes, o.result.nodes);
        if (HasFailure()) return;
    }
    EXPECT_GT(cancelled, count / 4) << "too few searches were cancelled while running";
    EXPECT_TRUE(ostrakon::MemoIdle());

    const BoardState b = tavik_test::RandomPosition(77, 15, 15);
    const Outcome alone = Search(b, 0, 1);
    const Outcome helped = Search(b, 0, 2);
    EXPECT_EQ(alone.result.nodes, helped.result.nodes);
    EXPECT_EQ(alone.result.value, helped.result.value);
}

// One budget for every search: searches that fill the processors between them get no helpers.
TEST(ParallelSearch, HelpersJoinOnlyWithinTheThreadsAsked) {
    struct Case {
        int openGroups, busy, helpersIn, helpersAllowed;
        bool joins;
    } cases[] = {
        {1, 0, 0, 1, true},   // the game's move on two processors: one helper
        {1, 1, 1, 1, false},  // and no second
        {2, 0, 0, 1, false},  // two analysis searches on two processors: none
        {3, 0, 0, 1, false},
        {1, 2, 2, 3, true},   // four threads asked: three helpers
        {1, 3, 3, 3, false},
        {2, 1, 0, 3, true},   // two searches of four threads each: two helpers between them
        {2, 2, 1, 3, false},
        {1, 0, 0, 0, false},  // one thread asked: no helper ever
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.joins, ostrakon::HelperMayJoin(c.openGroups, c.busy, c.helpersIn, c.helpersAllowed))
            << c.openGroups << " open, " << c.busy << " busy, " << c.helpersIn << "/" << c.helpersAllowed;
    }
}

#ifdef _WIN32
// The game lowers its thinking thread's priority so that the window stays responsive; the
// helpers of that search must not run above it. Each search here comes from a thread at
// another priority, so a helper still at the previous one is caught.
TEST(ParallelSearch, HelpersRunAtTheCallersPriority) {
    const int priorities[] = {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                              THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL};
    int seed = 40;
    for (const int priority : priorities) {
        SCOPED_TRACE("caller's priority " + std::to_string(priority));
        int peak = 0, seen = 99;
        std::thread caller([&] {
            ASSERT_TRUE(SetThreadPriority(GetCurrentThread(), priority));
            ostrakon::PoolBusyPeak(true);
            // win/loss searches of about 16 empty squares, until one was helped
            for (int tries = 0; tries < 20 && peak == 0; ++tries) {
                Search(tavik_test::RandomPosition(seed++, 16, 17), 0, 2);
                peak = ostrakon::PoolBusyPeak(false);
            }
            seen = ostrakon::PoolHelperPriority();
        });
        caller.join();
        ASSERT_GE(peak, 1) << "no search was helped";
        EXPECT_EQ(priority, seen);
    }
}
#endif

// Two threads store one key over and over with values whose node counts follow from them;
// a reader must never see the value of one store with the count of another.
TEST(Memo, ConcurrentStoresNeverMixTwoEntries) {
    ostrakon::SearchContext root;
    ASSERT_TRUE(root.HasMemo());
    const uint64_t key = ostrakon::MemoKey(ostrakon::SearchKind::kPerfect, 0, -5, 5);
    const ostrakon::Bitboard own = 0x0000000810000000ULL, opp = 0x0000001008000000ULL;
    std::atomic<bool> stop{false};
    auto writer = [&](int32_t first) {
        ostrakon::SearchContext c(nullptr, root.Table(), root.CancelFlag(), root.Age(), nullptr, 0);
        for (int32_t v = first; !stop.load(std::memory_order_relaxed); v += 2) {
            c.nodes = static_cast<uint32_t>(v) * 7919u + 13u;
            c.Store(own, opp, key, v, 0);
        }
    };
    std::thread a(writer, 0), b(writer, 1);
    ostrakon::SearchContext reader(nullptr, root.Table(), root.CancelFlag(), root.Age(), nullptr, 0);
    int hits = 0;
    // until enough reads have met stores (threads may start late under a sanitizer)
    for (int i = 0; i < 50000000 && hits < 100000; ++i) {
        int32_t value = 0;
        const uint32_t before = reader.nodes;
        if (!reader.Probe(own, opp, key, value)) continue;
        ++hits;
        if (reader.nodes - before != static_cast<uint32_t>(value) * 7919u + 13u) {
            ADD_FAILURE() << "value " << value << " read with the count of another store";
            break;
        }
    }
    stop = true;
    a.join();
    b.join();
    EXPECT_GT(hits, 0);
}

}  // namespace
