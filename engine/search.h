// Think: the root of every search, and the normal (depth-limited) search (search.cpp).
#ifndef OSTRAKON_SEARCH_H
#define OSTRAKON_SEARCH_H

#include "board.h"
#include "ostrakon.h"
#include "parallel.h"
#include "search_context.h"

namespace ostrakon {

// How a Think searches; nothing here changes its answer, node count or progress texts.
struct SearchOptions {
    // The number of threads searching (the caller and helpers): 1 keeps the search on the
    // calling thread, 0 takes every processor.
    int threads = 0;
    // Where nodes split when the search has helpers (parallel.h).
    SplitLimits splits = {};
};

// The whole of Think behind the export: answers false when it leaves `result` alone. Runs
// the build of the search that search_build.h chooses.
bool ThinkPosition(const BoardState& board, int32_t depth, bool forceSearch,
                   ProgressCallback callback, ThinkResult& result,
                   const SearchOptions& options = {});

// Think as exported: -1, or 0 when the search was ended by a cancel request (the result is
// then left as it was).
int32_t ThinkCall(const BoardState& board, int32_t depth, ThinkResult& result, bool forceSearch,
                  ProgressCallback callback, const SearchOptions& options = {});

// Hands `callback` the progress text "<mode>(深さ<first>) <percent>%". Compiled once, with
// ThinkPosition: the C library's formatting may come as inline functions of its headers (it
// does with MinGW), which a build of the search must not define (types.h).
void ReportProgress(ProgressCallback callback, const char* mode, int first, int percent);

inline namespace OSTRAKON_ISA {

// Negamax alpha-beta to `depth` plies with moves tried in ascending openness; scores are from
// the view of the side owning `own`.
int32_t AlphaBeta(Bitboard own, Bitboard opp, int depth, int32_t alpha, int32_t beta,
                  SearchContext& context);

// The value of `child`, a child of a node of `kind` whose window is (alpha, beta), from the
// node's side: the normal search to the node's `depth` less one, the win/loss solver (which
// takes no window) or the perfect solver (endgame.h). The one place that picks the search of
// a kind, for the root's moves and for the tasks of split points (SearchGroup::searchChild).
int32_t SearchChild(SiblingKind kind, const Position& child, int depth, int32_t alpha, int32_t beta,
                    SearchContext& context);

// ThinkPosition in this build of the search; a Think runs in one build from start to end, its
// helpers' tasks included (SearchGroup::searchChild is this build's SearchChild).
bool ThinkInBuild(const BoardState& board, int32_t depth, bool forceSearch,
                  ProgressCallback callback, ThinkResult& result, const SearchOptions& options);

}  // namespace OSTRAKON_ISA

}  // namespace ostrakon

#endif
