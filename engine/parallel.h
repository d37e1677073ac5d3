// The parallel search: sibling searches run speculatively on helper threads, and the results
// are taken in the sequential order, so every answer, node count and progress text is the one
// the search on a single thread gives.
//
// A node splits after its first child has been searched on the calling thread (the first
// child usually decides the window or cuts off). Its other children become the tasks of a
// split point, each searched with the window the node has at the split. The node's own thread
// then takes the results child by child in order, as the sequential loop would:
//  - a result is used only if it was computed with the window the sequential search gives
//    that child at that moment, i.e. the node's window did not change since its task was
//    claimed. When a result raises alpha, the window generation of the split point goes up:
//    every task claimed before is stale, its running searches end (they poll their task's
//    generation with the cancel request) and finished ones are thrown away, and the later
//    children are searched again with the new window;
//  - a cut-off, or a win in the win/loss search, ends the split point and every search under it.
// The node adds the nodes of each result it uses, and only those, to its own counter, so the
// count is exactly the sequential one. This rests on one invariant: the value and node count
// of a search are a function of (position, window, depth) alone. The memo keeps it (memo.h: an
// entry is a finished search of its key, and a hit adds its stored count), so the memo may be
// shared between threads and filled in any order, and thrown-away searches may even have
// stored: what they stored is still true.
//
// Threads: a fixed pool of helpers, made once and never ended, is shared by every Think of the
// process; each Think lets at most (threads - 1) of them help it. A helper that the thread
// budget (HelperMayJoin) lets into some open Think spins while it waits for a task, since
// tasks come and go within microseconds; one that no open Think may take sleeps until a Think
// opens or closes. A helper leaving a task frees only its own place in the budget, and it takes
// that place itself, so no other helper needs waking then. When the system refuses a thread,
// the search goes on with the helpers there are, or on the calling thread alone. A thread that
// waits for a result of its own split point searches, meanwhile, tasks of that split point or
// of split points below it, so no thread waits while there is work under it. All bookkeeping
// is under one lock and in fixed arrays: a search makes no heap allocation.
#ifndef OSTRAKON_PARALLEL_H
#define OSTRAKON_PARALLEL_H

#include <atomic>

#include "board.h"
#include "memo.h"
#include "search_context.h"

namespace ostrakon {

// Where nodes split. The limits change only the speed, never a result; they are part of a
// Think's options (search.h), and the tests lower them to split the small trees they can
// compare with the reference at every level.
struct SplitLimits {
    // Nodes this deep (normal search) or with this many empty squares (endgame solvers)
    // split; below, a task would be too small to pay for its bookkeeping.
    int depth = 4;
    int empty = 12;
    // A win/loss node stops at its first winning move, and anything searched beside it is
    // lost. Measured on full-loss trees: most winning nodes win by their third move, so a node
    // splits only once three moves have not won; by then it is likely to search all of them.
    int winLossWait = 3;
    // A node of this Think splits only while fewer split points than this are open in the
    // process (never more than kMaxSplits); a node that finds none free searches its children
    // alone. Far more than the searches ever open; the tests lower it to make the nodes search
    // alone.
    int splits = kMaxSplits;
    static constexpr int kMaxSplits = 512;
};

enum class SiblingKind : uint8_t { kNormal, kWinLoss, kPerfect };

// Searches `child`, a child of a node of `kind`, for a task of that node's split point, and
// answers its value from the node's side (search.h: SearchChild, the one function that does).
using ChildSearch = int32_t (*)(SiblingKind kind, const Position& child, int depth, int32_t alpha,
                                int32_t beta, SearchContext& context);

// The shared state of one Think that has helpers.
struct SearchGroup {
    // Set by the Think before OpenGroup: where its nodes split, and how a task's child is
    // searched.
    SplitLimits limits;
    ChildSearch searchChild = nullptr;
    MemoTable* table = nullptr;  // the Think's, and its cancel flag and memo age
    const std::atomic<bool>* cancel = nullptr;
    uint32_t age = 0;
    int helpersAllowed = 0;           // threads - 1
    int helpersIn = 0;                // helpers working for this Think now (under the lock)
    int priority = 0;                 // of the calling thread, given to the helpers (Windows)
    SearchGroup* nextOpen = nullptr;  // the pool's list of open groups (under the lock)
};

enum class TaskState : uint8_t { kFree, kRunning, kDone, kTaken };

struct SplitTask {
    Position child;
    int32_t value;
    uint32_t nodes;
    TaskState state;
};

// Lives on the stack of the thread whose node it splits, from the split to the node's return.
// Its link (search_context.h) names the task within which the node was reached (null at the
// root): when that task becomes stale, everything below it is useless too; and its window
// generation.
struct SplitPoint : SplitLink {
    static constexpr int kMaxTasks = 60;

    SearchGroup* group;

    SiblingKind kind;
    int depth;  // of the node, for the normal search
    // The node's window for tasks of the current generation (changed only under the lock).
    int32_t alpha, beta;

    int count = 0;
    SplitTask task[kMaxTasks];
    int freeTasks = 0;  // under the lock
    int helpers = 0;    // helper threads inside a task of this split point (under the lock)
    bool closed = false;
};

// How the node takes its children's results, in order.
class SiblingJudge {
public:
    enum Verdict { kContinue, kNewAlpha, kStop };
    // Called once per child, in order, before its result is taken (the root's progress text).
    // Defined in parallel.cpp, which makes it the class's key function: its table of virtual
    // functions is then emitted there alone, and not by each build of the search.
    virtual void Before(int);
    // Takes the value of child `index`; on kNewAlpha, `alpha` holds the node's new alpha.
    virtual Verdict Take(int index, int32_t value, int32_t& alpha) = 0;

protected:
    ~SiblingJudge() = default;
};

// The judges of the searches' nodes are code of the search, compiled in each of its builds.
inline namespace OSTRAKON_ISA {

// The alpha-beta node's rule (normal and perfect search): a value above alpha raises it, one
// at beta or above cuts off.
class WindowJudge final : public SiblingJudge {
public:
    WindowJudge(int32_t alpha, int32_t beta) : alpha_(alpha), beta_(beta) {}
    Verdict Take(int, int32_t value, int32_t& alpha) override {
        if (value <= alpha) return kContinue;
        alpha = alpha_ = value;
        return value < beta_ ? kNewAlpha : kStop;
    }
    // The node's value: fail-hard, the cut-off value or alpha as it ends.
    int32_t Result() const { return alpha_; }

private:
    int32_t alpha_;
    int32_t beta_;
};

// The win/loss node's rule: a win ends the node, a draw is remembered, the window never moves.
class WinLossJudge final : public SiblingJudge {
public:
    explicit WinLossJudge(int32_t result) : result_(result) {}
    Verdict Take(int, int32_t value, int32_t&) override {
        if (value == kDraw || value == -kDraw) result_ = kDraw;
        if (value != kWin) return kContinue;
        result_ = kWin;
        return kStop;
    }
    int32_t Result() const { return result_; }

private:
    int32_t result_;
};

}  // namespace OSTRAKON_ISA

// Searches the children of `split` (filled in: kind, depth, window, children) with the help of
// the pool, handing each result to `judge` in order until it says kStop or the children run
// out; each task's child is searched by the group's searchChild. Adds the used results' nodes
// to `context`. Answers false, having searched nothing, when no split point can be registered
// (the group's limits.splits are open); the caller then goes on alone.
bool SearchSiblings(SplitPoint& split, SiblingJudge& judge, SearchContext& context);

// The number of threads a Think uses when the caller gives none: every processor.
int DefaultThreads();

// Makes the pool big enough for `threads` threads per Think (the caller plus helpers), as far
// as the system gives threads, and opens `group` for them, with the memo table, cancel flag
// and age of the Think's root context (and the limits and child search the caller set in
// it); CloseGroup ends the help. Answers false, opening nothing, when the pool has no helper
// at all: the caller then searches alone. Both run outside the search proper.
bool OpenGroup(SearchGroup& group, int threads, const SearchContext& root);
void CloseGroup(SearchGroup& group);

// The one budget of threads that every search of the process shares: a helper may join a
// Think (`helpersIn` of its `helpersAllowed` already with it) only while the callers with
// helpers (`openGroups`, each searching itself) and the helpers inside tasks (`busyHelpers`)
// stay within the threads that Think asked for. Callers that already fill the processors, such
// as the analysis of every move with one search per processor, get no helpers on top; as their
// searches end, the last ones are helped again.
bool HelperMayJoin(int openGroups, int busyHelpers, int helpersIn, int helpersAllowed);

// Helper threads made so far; and whether no Think has helpers, no split point is open and no
// helper is inside a task (for tests).
int PoolThreads();
// The most helpers inside tasks at once since the last reset (`reset` starts a new count).
int PoolBusyPeak(bool reset);
// The priority of the thread that last began a task as a helper, read from the system
// (Windows; 0 elsewhere).
int PoolHelperPriority();
bool PoolIdle();
// How often helpers have looked at the pool under its lock, and how many sleep now (tests: a
// helper that may not join any Think must not keep looking).
long long PoolHelperRounds();
int PoolSleepingHelpers();
// Tests: the next `allowed` thread starts succeed and every later one fails as the system's
// refusal would (-1: none fails).
void RefuseThreadStartsAfter(int allowed);

}  // namespace ostrakon

#endif
