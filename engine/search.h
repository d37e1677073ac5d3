#ifndef OSTRAKON_SEARCH_H
#define OSTRAKON_SEARCH_H

#include "board.h"
#include "memo.h"
#include "ostrakon.h"

namespace ostrakon {

// Negamax alpha-beta to `depth` plies with moves tried in ascending openness; scores are from
// the view of the side owning `own`.
int32_t AlphaBeta(Bitboard own, Bitboard opp, int depth, int32_t alpha, int32_t beta,
                  SearchContext& context);

// Win/loss/draw to the end of the game: kWin, -kWin, or +-kDraw.
int32_t SolveWinLoss(Bitboard own, Bitboard opp, SearchContext& context);

// Exact final score within the window (alpha, beta).
int32_t SolvePerfect(Bitboard own, Bitboard opp, int32_t alpha, int32_t beta, SearchContext& context);

// The whole of Think behind the export: answers false when it leaves `result` alone. `threads`
// is the number of threads searching (the caller and helpers): 1 keeps the search on the
// calling thread, 0 takes every processor. Results do not depend on it.
bool ThinkPosition(const BoardState& board, int32_t depth, bool forceSearch,
                   ProgressCallback callback, ThinkResult& result, int threads = 0);

// Think as exported: -1, or 0 when the search was ended by a cancel request (the result is
// then left as it was).
int32_t ThinkCall(const BoardState& board, int32_t depth, ThinkResult& result, bool forceSearch,
                  ProgressCallback callback, int threads = 0);

}  // namespace ostrakon

#endif
