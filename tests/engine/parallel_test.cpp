// The parallel search beyond the reference comparison: the default split limits on trees too
// big for the reference, searches cancelled at random moments while helpers run, what a
// cancelled search leaves in the memo, nodes that find no split point free, helpers kept out
// by the thread budget, and memo entries read while other threads write them.
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
#include "reference.h"
#include "search.h"
#include "search_context.h"

namespace {

using tavik_test::RecordProgressText;

struct Outcome {
    int32_t returned;
    ThinkResult result;
    std::vector<std::string> texts;
};

// A search on the memo as the searches before it left it.
Outcome SearchOnMemo(const BoardState& b, int depth, const ostrakon::SearchOptions& options,
                     ProgressCallback callback = nullptr) {
    Outcome o{0, {-7, -7, -7}, {}};
    const tavik_test::ProgressTexts recording(o.texts);
    o.returned = ostrakon::ThinkCall(b, depth, o.result, true, callback, options);
    return o;
}

// Every compared search starts from an empty memo: a search after another of the same position
// would otherwise take the earlier one's subtrees from its entries, and neither split them nor
// search them again.
Outcome Search(const BoardState& b, int depth, const ostrakon::SearchOptions& options,
               ProgressCallback callback = nullptr) {
    ostrakon::ClearMemo();
    return SearchOnMemo(b, depth, options, callback);
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
            const Outcome one = Search(b, c.depth, {1}, RecordProgressText);
            ASSERT_EQ(-1, one.returned);
            for (int threads : {2, 4}) {
                const Outcome many = Search(b, c.depth, {threads}, RecordProgressText);
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
        const Outcome o = Search(b, depth, {threads});
        canceller.join();
        ASSERT_TRUE(ostrakon::PoolIdle());
        if (o.returned == 0) {
            ++cancelled;
            EXPECT_EQ(-7, o.result.move);
            EXPECT_EQ(-7, o.result.nodes);
            continue;
        }
        ASSERT_EQ(-1, o.returned);
        const Outcome alone = Search(b, depth, {1});
        EXPECT_EQ(alone.result.move, o.result.move);
        EXPECT_EQ(alone.result.value, o.result.value);
        EXPECT_EQ(alone.result.nodes, o.result.nodes);
        if (HasFailure()) return;
    }
    EXPECT_GT(cancelled, count / 4) << "too few searches were cancelled while running";
    EXPECT_TRUE(ostrakon::MemoIdle());

    const BoardState b = tavik_test::RandomPosition(77, 15, 15);
    const Outcome alone = Search(b, 0, {1});
    const Outcome helped = Search(b, 0, {2});
    EXPECT_EQ(alone.result.nodes, helped.result.nodes);
    EXPECT_EQ(alone.result.value, helped.result.value);
}

// The progress call (counting from 1) at which the search asks to end itself: its root has
// searched moves before it, and the next one is cut off within a thousand positions, with its
// helpers in the middle of tasks.
int gCancelAtCall = 0;
void OSTRAKON_CALL CancelAtCall(const char*) {
    if (--gCancelAtCall == 0) ostrakon::CancelSearches(ostrakon::CurrentThreadId());
}

// A cancelled search ends many subtrees half searched. None of them may leave an entry (only
// a finished search stores, memo.h): the same search afterwards, on the memo the cancelled one
// left, must give the value and node count it gives on an empty memo.
TEST(ParallelSearch, ACancelledSearchLeavesNoUnfinishedEntry) {
    struct Case {
        int depth, threads;
    } cases[] = {{0, 1}, {0, 2}, {-1, 1}, {-1, 2}};
    // Positions of 14 empty squares whose side to move loses or draws, so that even the
    // win/loss search has root moves left at the second progress call.
    const uint32_t seeds[] = {603, 604, 609, 611};
    for (const Case& c : cases) {
        for (uint32_t seed : seeds) {
            const BoardState b = tavik_test::RandomPosition(seed, 14, 14);
            SCOPED_TRACE(tavik_tools::Diagram(b) + " depth " + std::to_string(c.depth) +
                         " threads " + std::to_string(c.threads));
            gCancelAtCall = 2;
            ASSERT_EQ(0, Search(b, c.depth, {c.threads}, CancelAtCall).returned) << "not cancelled";
            const Outcome after = SearchOnMemo(b, c.depth, {c.threads});
            const Outcome fresh = Search(b, c.depth, {1});
            EXPECT_EQ(fresh.result.move, after.result.move);
            EXPECT_EQ(fresh.result.value, after.result.value);
            EXPECT_EQ(fresh.result.nodes, after.result.nodes);
        }
    }
}

// No search the other tests make opens as many split points at once as the limit allows.
// With the limit lowered, nodes find none free and search their children alone, under split
// points that did open (as helpers' tasks, too): the answers must still be the reference's,
// on small trees split at every level. The limits are the searches' own: with none allowed,
// no helper ever enters a task.
TEST(ParallelSearch, NodesSearchAloneWhenNoSplitPointIsFree) {
    const int count = Scaled(40);
    for (int splits : {0, 1, 3}) {
        const ostrakon::SplitLimits limits = {2, 7, 1, splits};
        ostrakon::PoolBusyPeak(true);
        for (int i = 0; i < count; ++i) {
            const int depths[] = {5, 0, -1};
            const int depth = depths[i % 3];
            const BoardState b = depth > 0 ? tavik_test::RandomPosition(7000 + i, 24, 34)
                                           : tavik_test::RandomPosition(7000 + i, 11, 12);
            const int threads = i % 2 ? 4 : 2;
            SCOPED_TRACE(tavik_tools::Diagram(b) + " depth " + std::to_string(depth) + " threads " +
                         std::to_string(threads) + " split points " + std::to_string(splits));
            const reference::ThinkOutput expected = reference::Think(b, depth, 1);
            const Outcome o = Search(b, depth, {threads, limits});
            EXPECT_EQ(expected.result.move, o.result.move);
            EXPECT_EQ(expected.result.value, o.result.value);
            EXPECT_EQ(expected.result.nodes, o.result.nodes);
            if (HasFailure()) break;
        }
        if (splits == 0) {
            EXPECT_EQ(0, ostrakon::PoolBusyPeak(false)) << "a split point opened";
        }
    }
    EXPECT_TRUE(ostrakon::PoolIdle());
}

// The groups that the search of HelpersThatMayNotJoinSleep closes at its first progress call.
std::vector<ostrakon::SearchGroup*> gGroupsToClose;
void OSTRAKON_CALL CloseGroupsAtFirstCall(const char*) {
    for (ostrakon::SearchGroup* group : gGroupsToClose) ostrakon::CloseGroup(*group);
    gGroupsToClose.clear();
}

// Waits (10 s at most) until every helper sleeps; those that were looking for work look once
// more first.
void WaitUntilTheHelpersSleep() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ostrakon::PoolSleepingHelpers() < ostrakon::PoolThreads() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A helper that no Think may take sleeps, and wakes when a Think opens or closes and lets it
// in. Held back: while two searches fill two processors between them (as two analysis
// threads do; here two groups of two threads each, held open by the test), no helper may join
// a third search, and none may even look for work while it runs, so the helpers take no
// processor time from the searches. Once the two close, the helpers wake and help the search
// still running.
TEST(ParallelSearch, HelpersThatMayNotJoinSleep) {
    const BoardState b = tavik_test::RandomPosition(41, 17, 17);  // a win/loss search of ~0.1 s
    std::atomic<bool> never{false};
    const ostrakon::SearchContext holder(nullptr, nullptr, &never, 0, nullptr, 0);
    ostrakon::SearchGroup first, second;
    // helpers made before, and asleep since no search is open
    ASSERT_TRUE(ostrakon::OpenGroup(first, 2, holder));
    ostrakon::CloseGroup(first);
    WaitUntilTheHelpersSleep();
    ostrakon::PoolBusyPeak(true);
    const Outcome alone = Search(b, 0, {2});
    EXPECT_GE(ostrakon::PoolBusyPeak(true), 1) << "no helper woke when a search opened";

    ASSERT_TRUE(ostrakon::OpenGroup(first, 2, holder));
    ASSERT_TRUE(ostrakon::OpenGroup(second, 2, holder));
    WaitUntilTheHelpersSleep();
    const long long rounds = ostrakon::PoolHelperRounds();
    const Outcome held = Search(b, 0, {2});
    EXPECT_EQ(rounds, ostrakon::PoolHelperRounds())
        << "helpers looked for work they could not take";
    EXPECT_EQ(0, ostrakon::PoolBusyPeak(true)) << "a helper joined beyond the budget";

    gGroupsToClose = {&first, &second};
    const Outcome freed = Search(b, 0, {2}, CloseGroupsAtFirstCall);
    EXPECT_GE(ostrakon::PoolBusyPeak(false), 1) << "no helper woke when the budget let it in";
    for (const Outcome* o : {&held, &freed}) {
        EXPECT_EQ(-1, o->returned);
        EXPECT_EQ(alone.result.nodes, o->result.nodes);
    }
    EXPECT_TRUE(ostrakon::PoolIdle());
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
        {1, 2, 2, 3, true},  // four threads asked: three helpers
        {1, 3, 3, 3, false},
        {2, 1, 0, 3, true},  // two searches of four threads each: two helpers between them
        {2, 2, 1, 3, false},
        {1, 0, 0, 0, false},  // one thread asked: no helper ever
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.joins,
                  ostrakon::HelperMayJoin(c.openGroups, c.busy, c.helpersIn, c.helpersAllowed))
            << c.openGroups << " open, " << c.busy << " busy, " << c.helpersIn << "/"
            << c.helpersAllowed;
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
                Search(tavik_test::RandomPosition(seed++, 16, 17), 0, {2});
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

// Two threads store two positions that share a bucket, over and over, into the same entry:
// each its own values (even for the first position, odd for the second) with node counts that
// follow from them. A reader that takes the position from one store and the value from
// another would answer one position with the other's value; the sequence number, read again
// after the fields, must turn every such read into a miss.
TEST(Memo, ConcurrentStoresNeverMixTwoEntries) {
    ostrakon::SearchContext root;
    ASSERT_TRUE(root.HasMemo());
    using ostrakon::Bitboard;
    const uint64_t key = ostrakon::MemoKey(ostrakon::SearchKind::kPerfect, 0, -5, 5);
    struct Stored {
        Bitboard own, opp;
    };
    Stored position[2] = {{0x0000000810000000ULL, 0x0000001008000000ULL}, {}};
    const uint32_t bucket = ostrakon::SearchContext::Bucket(position[0].own, position[0].opp, key);
    std::mt19937_64 rng(5);
    do {
        const Bitboard discs = rng() | 0x0000001818000000ULL;
        const Bitboard mine = rng();
        position[1] = {discs & mine, discs & ~mine};
    } while (ostrakon::SearchContext::Bucket(position[1].own, position[1].opp, key) != bucket);
    const auto countOf = [](int32_t v) { return static_cast<uint32_t>(v) * 7919u + 13u; };
    std::atomic<bool> stop{false};
    // Each writer has an age of its own, so neither keeps the bucket's first entry from the
    // other: both write the same entry.
    auto writer = [&](int which) {
        ostrakon::SearchContext c(nullptr, root.Table(), root.CancelFlag(), root.Age() + 1 + which,
                                  nullptr, 0);
        for (int32_t v = which; !stop.load(std::memory_order_relaxed); v += 2) {
            c.nodes = countOf(v);
            c.Store(position[which].own, position[which].opp, key, v, 0);
        }
    };
    std::thread a(writer, 0), b(writer, 1);
    ostrakon::SearchContext reader(nullptr, root.Table(), root.CancelFlag(), root.Age(), nullptr,
                                   0);
    // A torn read needs a store to fall between two of the reader's loads, a window of a few
    // instructions: the reads go on long enough to meet it many times over.
    int hits = 0;
    for (int i = 0; i < 200000000; ++i) {
        const int which = i & 1;
        int32_t value = 0;
        const uint32_t before = reader.nodes;
        if (!reader.Probe(position[which].own, position[which].opp, key, value)) continue;
        ++hits;
        if ((value & 1) != which || reader.nodes - before != countOf(value)) {
            ADD_FAILURE() << "position " << which << " read with value " << value << " and count "
                          << reader.nodes - before;
            break;
        }
    }
    stop = true;
    a.join();
    b.join();
    EXPECT_GT(hits, 0);
}

}  // namespace
