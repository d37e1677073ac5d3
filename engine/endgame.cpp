// The two endgame solvers: win/loss/draw and perfect (exact final disc difference).
//
// Both try moves in plain MoveOrder order, without openness sorting, and always score a
// finished position whatever the window. A board is "full" when none of the 60 non-centre
// squares is empty; only those squares are ever played.
//
// Exactness: each counted node is a finished position, so shortcuts are allowed only where they
// score and count exactly as the plain recursion would. A move that fills the last non-centre
// square leads to a child that has no move and is full: the child would count one node and
// return its final score, which is done here directly without the call.
#include "board.h"
#include "move_order.h"
#include "search.h"

namespace ostrakon {

namespace {

// Win/loss/draw class of a finished position from the view of the side owning `own`.
inline int32_t Classify(Bitboard own, Bitboard opp) {
    const int d = PopCount(own) - PopCount(opp);
    return d > 0 ? kWin : d == 0 ? kDraw : -kWin;
}

}  // namespace

int32_t SolveWinLoss(Bitboard own, Bitboard opp, NodeCounter& counter) {
    const Bitboard legal = LegalMoves(own, opp) & kNonCentre;
    if (legal) {
        int32_t result = -kWin;
        for (uint64_t order = ToOrderMask(legal); order; order &= order - 1) {
            const Bitboard move = Bitboard{1} << BitOfOrderIndex(LowestBit(order));
            const Bitboard flips = Flips(own, opp, move);
            const Bitboard childOwn = opp ^ flips;
            const Bitboard childOpp = own | flips | move;
            int32_t r;
            if ((~(childOwn | childOpp) & kNonCentre) == 0) {
                counter.Count();
                r = -Classify(childOwn, childOpp);
            } else {
                r = -SolveWinLoss(childOwn, childOpp, counter);
            }
            // keep looking after a draw, stop at the first win
            if (r == kDraw || r == -kDraw) result = kDraw;
            if (r == kWin) return kWin;
        }
        return result;
    }
    if (~(own | opp) & kNonCentre) {
        // pass; the opponent's reply keeps the count of empty squares, not a depth
        if (LegalMoves(opp, own) & kNonCentre) return -SolveWinLoss(opp, own, counter);
    }
    // full board, or neither side can move
    counter.Count();
    return Classify(own, opp);
}

int32_t SolvePerfect(Bitboard own, Bitboard opp, int32_t alpha, int32_t beta, NodeCounter& counter) {
    const Bitboard legal = LegalMoves(own, opp) & kNonCentre;
    if (legal) {
        for (uint64_t order = ToOrderMask(legal); order; order &= order - 1) {
            const Bitboard move = Bitboard{1} << BitOfOrderIndex(LowestBit(order));
            const Bitboard flips = Flips(own, opp, move);
            const Bitboard childOwn = opp ^ flips;
            const Bitboard childOpp = own | flips | move;
            int32_t v;
            if ((~(childOwn | childOpp) & kNonCentre) == 0) {
                counter.Count();
                v = -FinalScore(childOwn, childOpp);
            } else {
                v = -SolvePerfect(childOwn, childOpp, -beta, -alpha, counter);
            }
            if (v > alpha) {
                alpha = v;
                if (v >= beta) return v;
            }
        }
        return alpha;
    }
    if (~(own | opp) & kNonCentre) {
        if (LegalMoves(opp, own) & kNonCentre) return -SolvePerfect(opp, own, -beta, -alpha, counter);
    }
    counter.Count();
    return FinalScore(own, opp);
}

}  // namespace ostrakon
