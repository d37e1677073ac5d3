// The two endgame solvers: win/loss/draw and perfect (exact final disc difference).
//
// Both try moves in plain MoveOrder order, without openness sorting, and always score a
// finished position whatever the window. A board is "full" when none of the 60 non-centre
// squares is empty; only those squares are ever played, so every mask of candidate squares
// below is cut to them.
//
// Every counted node is a finished position, and callers see the count, so each shortcut here
// scores and counts exactly what the plain recursion would:
//  - with one empty square left, the move (or the pass and the opponent's move) is played out
//    directly: one node, the final score of the filled board; with two, both moves lead
//    straight there;
//  - with few empty squares, the empty squares are taken once as a MoveOrder mask and handed
//    down, less the square played; each is tried directly (a square is legal exactly when it
//    turns something) instead of generating moves;
//  - above kFewEmpty empty squares, subtrees are memoised (memo.h): win/loss by position,
//    perfect by position and window.
// With helper threads, nodes with SplitLimits::empty empty squares (the Think's options) or
// more share their children out (parallel.h): perfect nodes after the first child, win/loss
// nodes after the first SplitLimits::winLossWait (three) that did not win.
#include "endgame.h"

#include "board.h"
#include "last_flip.h"
#include "memo.h"
#include "move_order.h"
#include "parallel.h"

namespace ostrakon {
inline namespace OSTRAKON_ISA {

namespace {

// Up to here, try every empty square instead of generating moves, and use no memo. From six
// empty squares on, a hit saves more than its probe and store cost, the table's cache misses
// included (the bench's endgames, instructions and simulated misses: a memo from seven on
// cost 7 % more in win/loss and 2 % in perfect; from five on it saved a few instructions but
// missed the cache about twice as often).
constexpr int kFewEmpty = 5;

inline int32_t ClassOfDiff(int d) { return d > 0 ? kWin : d == 0 ? kDraw : -kWin; }

// Win/loss/draw class of a finished position from the view of the side owning `own`.
inline int32_t Classify(Bitboard own, Bitboard opp) {
    return ClassOfDiff(PopCount(own) - PopCount(opp));
}

// The empty squares of a small node are walked as a MoveOrder mask (move_order.h): bit i stands
// for the i-th square of the order, so the lowest bit is the next square to try, and a child's
// squares are its parent's less one bit, with no list to copy.
inline int SquareOf(uint64_t order) { return BitOfOrderIndex(LowestBit(order)); }

inline bool CanMoveOn(Bitboard own, Bitboard opp, uint64_t order) {
    for (; order; order &= order - 1) {
        if (Flips(own, opp, SquareOf(order))) return true;
    }
    return false;
}

// Discs turned by each side moving onto the last empty square `sq`. With the rest of the
// board full (always so in a game, whose centre squares are never empty) they are counted by
// table, otherwise taken from the general flip generator.
inline int OwnLastFlips(Bitboard own, Bitboard opp, int sq, bool full) {
    return full ? LastFlipCount(own, sq) : PopCount(Flips(own, opp, sq));
}
inline int OppLastFlips(Bitboard own, Bitboard opp, int sq, bool full) {
    return full ? LastFlipCountOpponent(own, sq) : PopCount(Flips(opp, own, sq));
}

// One empty square `sq` left, side `own` to move: one position is scored whatever happens.
// `diff` is own discs minus opponent discs; a move turning f discs changes it by 1 + 2f.
[[gnu::always_inline]] inline int32_t WinLossLast(Bitboard own, Bitboard opp, int sq,
                                                  SearchContext& s) {
    s.Count();
    const bool full = (own | opp | (Bitboard{1} << sq)) == ~Bitboard{0};
    const int diff = PopCount(own) - PopCount(opp);
    if (const int f = OwnLastFlips(own, opp, sq, full)) {
        const int32_t r = -ClassOfDiff(-(diff + 1 + 2 * f));
        return r == -kDraw ? kDraw : r;  // a drawing reply makes the node a draw
    }
    if (const int f = OppLastFlips(own, opp, sq, full)) {
        // pass; the opponent fills the square
        const int32_t r = -ClassOfDiff(-(-diff + 1 + 2 * f));
        return -(r == -kDraw ? kDraw : r);
    }
    return ClassOfDiff(diff);
}

[[gnu::always_inline]] inline int32_t PerfectLast(Bitboard own, Bitboard opp, int sq, int32_t alpha,
                                                  int32_t beta, SearchContext& s) {
    s.Count();
    const bool full = (own | opp | (Bitboard{1} << sq)) == ~Bitboard{0};
    const int diff = PopCount(own) - PopCount(opp);
    if (const int f = OwnLastFlips(own, opp, sq, full)) {
        const int32_t v = -ScoreOfDiff(-(diff + 1 + 2 * f));
        return v > alpha ? v : alpha;
    }
    if (const int f = OppLastFlips(own, opp, sq, full)) {
        // pass; the opponent fills the square, searching with the window turned round
        const int32_t v = -ScoreOfDiff(-(-diff + 1 + 2 * f));
        return -(v > -beta ? v : -beta);
    }
    return ScoreOfDiff(diff);
}

// Two empty squares, `first` before `second` in MoveOrder: each move leads straight to the
// last square, so the leaves, the bulk of every endgame tree, cost no call of their own.
int32_t WinLossTwo(Bitboard own, Bitboard opp, int first, int second, SearchContext& s) {
    int32_t result = -kWin;
    bool moved = false;
    if (const Bitboard flips = Flips(own, opp, first)) {
        moved = true;
        const int32_t r =
            -WinLossLast(opp ^ flips, own | flips | (Bitboard{1} << first), second, s);
        if (r == kWin) return kWin;
        if (r == kDraw || r == -kDraw) result = kDraw;
    }
    if (const Bitboard flips = Flips(own, opp, second)) {
        moved = true;
        const int32_t r =
            -WinLossLast(opp ^ flips, own | flips | (Bitboard{1} << second), first, s);
        if (r == kWin) return kWin;
        if (r == kDraw || r == -kDraw) result = kDraw;
    }
    if (moved) return result;
    if (Flips(opp, own, first) || Flips(opp, own, second))
        return -WinLossTwo(opp, own, first, second, s);
    s.Count();
    return Classify(own, opp);
}

int32_t WinLossSmall(Bitboard own, Bitboard opp, uint64_t empties, SearchContext& s) {
    if (!(empties & (empties - 1))) return WinLossLast(own, opp, SquareOf(empties), s);
    const uint64_t rest = empties & (empties - 1);
    if (!(rest & (rest - 1))) return WinLossTwo(own, opp, SquareOf(empties), SquareOf(rest), s);
    int32_t result = -kWin;
    bool moved = false;
    for (uint64_t order = empties; order; order &= order - 1) {
        const int sq = SquareOf(order);
        const Bitboard flips = Flips(own, opp, sq);
        if (!flips) continue;
        moved = true;
        const int32_t r = -WinLossSmall(opp ^ flips, own | flips | (Bitboard{1} << sq),
                                        empties & ~(order & (0 - order)), s);
        // keep looking after a draw, stop at the first win
        if (r == kDraw || r == -kDraw) result = kDraw;
        if (r == kWin) return kWin;
    }
    if (moved) return result;
    if (CanMoveOn(opp, own, empties)) return -WinLossSmall(opp, own, empties, s);
    s.Count();
    return Classify(own, opp);
}

int32_t PerfectTwo(Bitboard own, Bitboard opp, int first, int second, int32_t alpha, int32_t beta,
                   SearchContext& s) {
    bool moved = false;
    if (const Bitboard flips = Flips(own, opp, first)) {
        moved = true;
        const int32_t v = -PerfectLast(opp ^ flips, own | flips | (Bitboard{1} << first), second,
                                       -beta, -alpha, s);
        if (v > alpha) {
            alpha = v;
            if (v >= beta) return v;
        }
    }
    if (const Bitboard flips = Flips(own, opp, second)) {
        moved = true;
        const int32_t v = -PerfectLast(opp ^ flips, own | flips | (Bitboard{1} << second), first,
                                       -beta, -alpha, s);
        if (v > alpha) {
            alpha = v;
            if (v >= beta) return v;
        }
    }
    if (moved) return alpha;
    if (Flips(opp, own, first) || Flips(opp, own, second))
        return -PerfectTwo(opp, own, first, second, -beta, -alpha, s);
    s.Count();
    return FinalScore(own, opp);
}

int32_t PerfectSmall(Bitboard own, Bitboard opp, uint64_t empties, int32_t alpha, int32_t beta,
                     SearchContext& s) {
    if (!(empties & (empties - 1))) return PerfectLast(own, opp, SquareOf(empties), alpha, beta, s);
    const uint64_t rest = empties & (empties - 1);
    if (!(rest & (rest - 1)))
        return PerfectTwo(own, opp, SquareOf(empties), SquareOf(rest), alpha, beta, s);
    bool moved = false;
    for (uint64_t order = empties; order; order &= order - 1) {
        const int sq = SquareOf(order);
        const Bitboard flips = Flips(own, opp, sq);
        if (!flips) continue;
        moved = true;
        const int32_t v = -PerfectSmall(opp ^ flips, own | flips | (Bitboard{1} << sq),
                                        empties & ~(order & (0 - order)), -beta, -alpha, s);
        if (v > alpha) {
            alpha = v;
            if (v >= beta) return v;
        }
    }
    if (moved) return alpha;
    if (CanMoveOn(opp, own, empties)) return -PerfectSmall(opp, own, empties, -beta, -alpha, s);
    s.Count();
    return FinalScore(own, opp);
}

// The moves of `order` (a MoveOrder mask) as the tasks of a split point: the children after
// the first of a node with enough empty squares (parallel.h).
void FillTasks(SplitPoint& split, Bitboard own, Bitboard opp, uint64_t order) {
    for (; order; order &= order - 1) {
        const int sq = BitOfOrderIndex(LowestBit(order));
        const Bitboard flips = Flips(own, opp, sq);
        split.task[split.count++].child = {opp ^ flips, own | flips | (Bitboard{1} << sq)};
    }
}

[[gnu::noinline]] int32_t SplitWinLoss(Bitboard own, Bitboard opp, uint64_t order, int32_t result,
                                       SearchContext& s) {
    SplitPoint split;
    split.kind = SiblingKind::kWinLoss;
    split.depth = 0;
    split.alpha = split.beta = 0;
    FillTasks(split, own, opp, order);
    WinLossJudge judge(result);
    if (SearchSiblings(split, judge, s)) return judge.Result();
    for (int i = 0; i < split.count; ++i) {
        const int32_t r = -SolveWinLoss(split.task[i].child.own, split.task[i].child.opp, s);
        if (r == kDraw || r == -kDraw) result = kDraw;
        if (r == kWin) return kWin;
    }
    return result;
}

[[gnu::noinline]] int32_t SplitPerfect(Bitboard own, Bitboard opp, uint64_t order, int32_t alpha,
                                       int32_t beta, SearchContext& s) {
    SplitPoint split;
    split.kind = SiblingKind::kPerfect;
    split.depth = 0;
    split.alpha = alpha;
    split.beta = beta;
    FillTasks(split, own, opp, order);
    WindowJudge judge(alpha, beta);
    if (SearchSiblings(split, judge, s)) return judge.Result();
    for (int i = 0; i < split.count; ++i) {
        const Position& c = split.task[i].child;
        const int32_t v = -SolvePerfect(c.own, c.opp, -beta, -alpha, s);
        if (v > alpha) {
            alpha = v;
            if (v >= beta) return v;
        }
    }
    return alpha;
}

// A node big enough to share its children out, when the search has helpers.
inline bool Splits(Bitboard own, Bitboard opp, Bitboard legal, const SearchContext& s) {
    return s.group && PopCount(~(own | opp) & kNonCentre) >= s.group->limits.empty &&
           PopCount(legal) > 2;
}

// Above kFewEmpty: moves from the move generator, visited in MoveOrder.
int32_t WinLossNode(Bitboard own, Bitboard opp, SearchContext& s) {
    const Bitboard legal = LegalMoves(own, opp) & kNonCentre;
    if (!legal) {
        if (LegalMoves(opp, own) & kNonCentre) return -SolveWinLoss(opp, own, s);
        s.Count();
        return Classify(own, opp);
    }
    int32_t result = -kWin;
    const int wait = s.group ? s.group->limits.winLossWait : 0;
    const bool splits = Splits(own, opp, legal, s) && PopCount(legal) > wait + 1;
    int searched = 0;
    for (uint64_t order = ToOrderMask(legal); order; order &= order - 1) {
        const int sq = BitOfOrderIndex(LowestBit(order));
        const Bitboard flips = Flips(own, opp, sq);
        const int32_t r = -SolveWinLoss(opp ^ flips, own | flips | (Bitboard{1} << sq), s);
        if (r == kDraw || r == -kDraw) result = kDraw;
        if (r == kWin) return kWin;
        if (splits && ++searched == wait)
            return SplitWinLoss(own, opp, order & (order - 1), result, s);
    }
    return result;
}

int32_t PerfectNode(Bitboard own, Bitboard opp, int32_t alpha, int32_t beta, SearchContext& s) {
    const Bitboard legal = LegalMoves(own, opp) & kNonCentre;
    if (!legal) {
        if (LegalMoves(opp, own) & kNonCentre) return -SolvePerfect(opp, own, -beta, -alpha, s);
        s.Count();
        return FinalScore(own, opp);
    }
    const bool splits = Splits(own, opp, legal, s);
    for (uint64_t order = ToOrderMask(legal); order; order &= order - 1) {
        const int sq = BitOfOrderIndex(LowestBit(order));
        const Bitboard flips = Flips(own, opp, sq);
        const int32_t v =
            -SolvePerfect(opp ^ flips, own | flips | (Bitboard{1} << sq), -beta, -alpha, s);
        if (v > alpha) {
            alpha = v;
            if (v >= beta) return v;
        }
        if (splits) return SplitPerfect(own, opp, order & (order - 1), alpha, beta, s);
    }
    return alpha;
}

}  // namespace

int32_t SolveWinLoss(Bitboard own, Bitboard opp, SearchContext& s) {
    const Bitboard empty = ~(own | opp) & kNonCentre;
    const int emptyCount = PopCount(empty);
    if (emptyCount == 0) {
        s.Count();
        return Classify(own, opp);
    }
    if (emptyCount <= kFewEmpty) return WinLossSmall(own, opp, ToOrderMask(empty), s);

    const uint64_t key = MemoKey(SearchKind::kWinLoss, 0, 0, 0);
    int32_t value;
    if (s.Probe(own, opp, key, value)) return value;
    const uint32_t before = s.nodes;
    value = WinLossNode(own, opp, s);
    s.Store(own, opp, key, value, before);
    return value;
}

int32_t SolvePerfect(Bitboard own, Bitboard opp, int32_t alpha, int32_t beta, SearchContext& s) {
    const Bitboard empty = ~(own | opp) & kNonCentre;
    const int emptyCount = PopCount(empty);
    if (emptyCount == 0) {
        s.Count();
        return FinalScore(own, opp);
    }
    if (emptyCount <= kFewEmpty) return PerfectSmall(own, opp, ToOrderMask(empty), alpha, beta, s);

    const uint64_t key = MemoKey(SearchKind::kPerfect, 0, alpha, beta);
    int32_t value;
    if (s.Probe(own, opp, key, value)) return value;
    const uint32_t before = s.nodes;
    value = PerfectNode(own, opp, alpha, beta, s);
    s.Store(own, opp, key, value, before);
    return value;
}

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon
