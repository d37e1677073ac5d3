// Helper threads that the system refuses to make. A program of its own: the engine's pool of
// helpers is made once per process and never shrinks, so only here does a search find it
// empty, and the cases below run in order on the same pool.
#include <gtest/gtest.h>

#include <string>

#include "memo.h"
#include "parallel.h"
#include "random_games.h"
#include "search.h"

namespace {

// A search whose helpers cannot all be made goes on with those there are, or on the calling
// thread alone, and answers as one thread does; a refused thread is not counted as a helper,
// so a later search asks the system again.
TEST(ThreadStart, SearchesGoOnWithTheHelpersThereAre) {
    struct Case {
        const char* what;
        int startsAllowed;  // -1: the system makes every thread asked for
        int poolAfter;      // helpers in the pool after a search of four threads
        bool helped;
    } cases[] = {
        {"no thread can be made", 0, 0, false},
        {"one of three can be made", 1, 1, true},
        {"the system makes threads again", -1, 3, true},
    };
    // a win/loss search of ~0.1 s, long enough for a helper to join it
    const BoardState b = tavik_test::RandomPosition(41, 17, 17);
    ostrakon::ClearMemo();
    ThinkResult alone{};
    ASSERT_EQ(-1, ostrakon::ThinkCall(b, 0, alone, true, nullptr, {1}));
    ASSERT_EQ(0, ostrakon::PoolThreads()) << "a search before this test made helpers";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ostrakon::RefuseThreadStartsAfter(c.startsAllowed);
        ostrakon::PoolBusyPeak(true);
        ostrakon::ClearMemo();
        ThinkResult result{};
        EXPECT_EQ(-1, ostrakon::ThinkCall(b, 0, result, true, nullptr, {4}));
        EXPECT_EQ(alone.move, result.move);
        EXPECT_EQ(alone.value, result.value);
        EXPECT_EQ(alone.nodes, result.nodes);
        EXPECT_EQ(c.poolAfter, ostrakon::PoolThreads());
        EXPECT_EQ(c.helped, ostrakon::PoolBusyPeak(false) > 0);
        EXPECT_TRUE(ostrakon::PoolIdle());
    }
    ostrakon::RefuseThreadStartsAfter(-1);
}

}  // namespace
