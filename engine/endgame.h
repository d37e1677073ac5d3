// The two endgame solvers (endgame.cpp). Scores are from the view of the side owning `own`.
#ifndef OSTRAKON_ENDGAME_H
#define OSTRAKON_ENDGAME_H

#include "search_context.h"
#include "types.h"

namespace ostrakon {
inline namespace OSTRAKON_ISA {

// Win/loss/draw to the end of the game: kWin, -kWin, or +-kDraw.
int32_t SolveWinLoss(Bitboard own, Bitboard opp, SearchContext& context);

// Exact final score within the window (alpha, beta).
int32_t SolvePerfect(Bitboard own, Bitboard opp, int32_t alpha, int32_t beta,
                     SearchContext& context);

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon

#endif
