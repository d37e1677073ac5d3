// Think: the root of every search, and the normal (depth-limited) search.
//
// The root list is either the legal moves in MoveOrder (depths 1 to 3) or those moves sorted by
// a 3-ply look: each move, then a 2-ply AlphaBeta whose window is narrowed by the best look so
// far. The list is then searched move by move, with a progress report before each one.
//
// AlphaBeta is a plain negamax alpha-beta, fail-hard at interior nodes. Its moves are tried in
// ascending openness, equal openness keeping MoveOrder order: that order, the strict '>'
// comparisons and the exact rules for passes and finished games decide every returned value
// and node count, which callers rely on, so the search must not be "improved" by anything that
// changes which positions are scored (no bounds from earlier searches, no re-ordering).
//
// Positions are two bitboards from the mover's side; a move is made on a copy, never unmade.
// Nodes are counted where a position is scored: at depth 0, and at a finished game scored under
// the full window. The counter travels with the call so concurrent searches stay apart.
//
// A Think with helper threads splits nodes of depth SplitLimits::depth (its options) or more
// after their first child, and the root after its first move (parallel.h); results, counts and
// progress texts are taken back in this file's sequential order, so none of the above changes.
#include "search.h"

#include "endgame.h"
#include "eval.h"
#include "memo.h"
#include "move_order.h"
#include "parallel.h"

namespace ostrakon {
inline namespace OSTRAKON_ISA {

namespace {

// The legal moves of a node with their flips, handed out in ascending openness, ties in
// MoveOrder. Each move's key is openness * 64 + its position in the list (which is MoveOrder
// order), so keys are distinct and the smallest remaining key is always the next move of the
// stable sort. Picking lazily costs nothing extra when the first move already cuts off, which
// is most of the time at the nodes next to the leaves.
//
// A key fits in 15 bits (an openness of at most 8 for each of fewer than 63 turned discs), so the
// minimum is taken eight keys to an SSE2 register; the keys past the last move, and those
// handed out, hold kTaken, above every real key.
class MoveList {
public:
    MoveList(Bitboard own, Bitboard opp, Bitboard legal) {
        const EmptyNeighbours neighbours(~(own | opp));
        for (uint64_t order = ToOrderMask(legal); order; order &= order - 1) {
            const int sq = BitOfOrderIndex(LowestBit(order));
            flips_[n_] = Flips(own, opp, sq);
            square_[n_] = sq;
            key_[n_] = static_cast<int16_t>(neighbours.Sum(flips_[n_]) << 6 | n_);
            ++n_;
        }
        for (int i = n_; i < ((n_ + 7) & ~7); ++i) key_[i] = kTaken;
    }
    int Size() const { return n_; }

    // The next move in order: its square and flips.
    int Next(Bitboard& flips) {
        // the key carries the move's position, so a plain minimum finds it (no branches)
#if defined(__SSE2__)
        const auto at = [this](int i) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(key_ + i));
        };
        __m128i least = at(0);
        for (int i = 8; i < n_; i += 8) least = _mm_min_epi16(least, at(i));
        least = _mm_min_epi16(least, _mm_unpackhi_epi64(least, least));
        least = _mm_min_epi16(least, _mm_shufflelo_epi16(least, _MM_SHUFFLE(1, 0, 3, 2)));
        least = _mm_min_epi16(least, _mm_shufflelo_epi16(least, _MM_SHUFFLE(2, 3, 0, 1)));
        const int best = _mm_cvtsi128_si32(least) & 63;
#else
        int least = key_[0];
        for (int i = 1; i < n_; ++i) least = key_[i] < least ? key_[i] : least;
        const int best = least & 63;
#endif
        key_[best] = kTaken;
        flips = flips_[best];
        return square_[best];
    }

private:
    static constexpr int16_t kTaken = 0x7FFF;
    alignas(16) int16_t key_[64];
    Bitboard flips_[60];
    int square_[60];
    int n_ = 0;
};

// The children after the first, searched with the pool's help (parallel.h); alone when no
// split point is free. The list hands out the rest of the moves in the sequential order.
[[gnu::noinline]] int32_t SplitAlphaBeta(Bitboard own, Bitboard opp, MoveList& list, int depth,
                                         int32_t alpha, int32_t beta, SearchContext& context) {
    SplitPoint split;
    split.kind = SiblingKind::kNormal;
    split.depth = depth;
    split.alpha = alpha;
    split.beta = beta;
    for (int i = 1; i < list.Size(); ++i) {
        Bitboard flips;
        const int sq = list.Next(flips);
        split.task[split.count++].child = {opp ^ flips, own | flips | (Bitboard{1} << sq)};
    }
    WindowJudge judge(alpha, beta);
    if (SearchSiblings(split, judge, context)) return judge.Result();
    for (int i = 0; i < split.count; ++i) {
        const Position& c = split.task[i].child;
        const int32_t v = -AlphaBeta(c.own, c.opp, depth - 1, -beta, -alpha, context);
        if (v > alpha) {
            alpha = v;
            if (v >= beta) return v;
        }
    }
    return alpha;
}

}  // namespace

int32_t AlphaBeta(Bitboard own, Bitboard opp, int depth, int32_t alpha, int32_t beta,
                  SearchContext& context) {
    if (depth == 0) {
        // scored even when the game is over here
        context.Count();
        return Evaluate(own, opp);
    }
    const Bitboard legal = LegalMoves(own, opp) & kNonCentre;
    if (!legal) {
        // a pass does not use up depth
        if (LegalMoves(opp, own) & kNonCentre)
            return -AlphaBeta(opp, own, depth, -beta, -alpha, context);
        // the game is over: a finite alpha is returned as it stands, and only the full window
        // scores the position
        if (alpha != -kInfinity) return alpha;
        context.Count();
        return FinalScore(own, opp);
    }

    if (!(legal & (legal - 1))) {
        // a forced move is searched with the window as it is, whatever it returns
        const int sq = LowestBit(legal);
        const Bitboard flips = Flips(own, opp, sq);
        return -AlphaBeta(opp ^ flips, own | flips | legal, depth - 1, -beta, -alpha, context);
    }
    MoveList list(own, opp, legal);
    for (int i = 0; i < list.Size(); ++i) {
        Bitboard flips;
        const int sq = list.Next(flips);
        const Bitboard childOwn = opp ^ flips;
        const Bitboard childOpp = own | flips | (Bitboard{1} << sq);
        int32_t v;
        if (depth == 1) {
            // the children are leaves: the call for depth 0 would only count and evaluate
            context.Count();
            v = -Evaluate(childOwn, childOpp);
        } else {
            v = -AlphaBeta(childOwn, childOpp, depth - 1, -beta, -alpha, context);
        }
        if (v > alpha) {
            alpha = v;
            if (v >= beta) return v;
        }
        if (i == 0 && context.group && depth >= context.group->limits.depth && list.Size() > 2)
            return SplitAlphaBeta(own, opp, list, depth, alpha, beta, context);
    }
    return alpha;
}

int32_t SearchChild(SiblingKind kind, const Position& child, int depth, int32_t alpha, int32_t beta,
                    SearchContext& context) {
    switch (kind) {
        case SiblingKind::kNormal:
            return -AlphaBeta(child.own, child.opp, depth - 1, -beta, -alpha, context);
        case SiblingKind::kWinLoss:
            return -SolveWinLoss(child.own, child.opp, context);
        case SiblingKind::kPerfect:
            break;
    }
    return -SolvePerfect(child.own, child.opp, -beta, -alpha, context);
}

namespace {

struct RootList {
    int bit[60];
    int size = 0;
};

// Legal moves in MoveOrder.
RootList PlainRootList(Bitboard own, Bitboard opp) {
    RootList list;
    for (uint64_t order = ToOrderMask(LegalMoves(own, opp) & kNonCentre); order; order &= order - 1)
        list.bit[list.size++] = BitOfOrderIndex(LowestBit(order));
    return list;
}

// Legal moves sorted by a 3-ply look, best first; a move whose look equals an earlier one goes
// behind it. Each look's window is cut at the best look so far, so later looks may be bounds.
RootList OrderRootMoves(Bitboard own, Bitboard opp, SearchContext& context) {
    RootList list;
    int32_t look[60];
    int32_t best = -kInfinity;
    for (uint64_t order = ToOrderMask(LegalMoves(own, opp) & kNonCentre); order;
         order &= order - 1) {
        const int bit = BitOfOrderIndex(LowestBit(order));
        const Position child = Play(own, opp, bit);
        const int32_t v = -AlphaBeta(child.own, child.opp, 2, -kInfinity, -best, context);
        int j = list.size++;
        while (j > 0 && look[j - 1] < v) {
            look[j] = look[j - 1];
            list.bit[j] = list.bit[j - 1];
            --j;
        }
        look[j] = v;
        list.bit[j] = bit;
        if (v > best) best = v;
    }
    return list;
}

// Reports progress before each root move: "<mode>(深さ<first>) <percent>%".
class Progress {
public:
    Progress(ProgressCallback callback, const char* mode, int first, int total)
        : callback_(callback), mode_(mode), first_(first), total_(total) {}

    void Before(int index) const {
        if (callback_) ReportProgress(callback_, mode_, first_, 100 * index / total_);
    }

private:
    ProgressCallback callback_;
    const char* mode_;
    int first_;
    int total_;
};

struct RootOutcome {
    int bit = -1;  // -1: no move
    int32_t value = -kInfinity;
};

// How the root takes a move's value, the same in the sequential loops and for the results of
// a split. Answers true when the rest of the moves need no search (a win).
bool TakeRootValue(SiblingKind kind, int bit, int32_t v, RootOutcome& best) {
    if (kind != SiblingKind::kWinLoss) {
        // strict '>': among equal scores the earliest root move stays
        if (v > best.value) best = {bit, v};
        return false;
    }
    if (v == kDraw || v == -kDraw) {
        // a later draw replaces an earlier one
        best = {bit, kDraw};
    } else if (v == kWin) {
        best = {bit, kWin};
        return true;
    } else if (best.value != kDraw && best.bit < 0) {
        // the first losing move stands in only while nothing better is known
        best = {bit, -kWin};
    }
    return false;
}

// The root's moves after the first as the tasks of a split point: progress texts and results
// in the order of the list.
class RootJudge final : public SiblingJudge {
public:
    RootJudge(SiblingKind kind, const RootList& list, int first, const Progress& progress,
              RootOutcome& best)
        : kind_(kind), list_(list), first_(first), progress_(progress), best_(best) {}
    void Before(int index) override { progress_.Before(first_ + index); }
    Verdict Take(int index, int32_t v, int32_t& alpha) override {
        const int32_t before = best_.value;
        if (TakeRootValue(kind_, list_.bit[first_ + index], v, best_)) return kStop;
        if (kind_ == SiblingKind::kWinLoss || best_.value == before) return kContinue;
        alpha = best_.value;
        return kNewAlpha;
    }

private:
    SiblingKind kind_;
    const RootList& list_;
    int first_;  // the list's index of the split point's first task
    const Progress& progress_;
    RootOutcome& best_;
};

// Searches every root move in order, the first alone (the first three in the win/loss search,
// as at its other nodes) and, when the Think has helpers and the moves are big enough to
// share, the rest as a split point.
void SearchRoot(SiblingKind kind, Bitboard own, Bitboard opp, const RootList& list, int depth,
                bool splits, const Progress& progress, SearchContext& context, RootOutcome& best) {
    const int first =
        kind == SiblingKind::kWinLoss && context.group ? context.group->limits.winLossWait : 1;
    for (int i = 0; i < list.size; ++i) {
        if (i == first && splits && context.group && list.size > first + 1) {
            SplitPoint split;
            split.kind = kind;
            split.depth = depth;
            split.alpha = best.value;
            split.beta = kInfinity;
            for (int k = first; k < list.size; ++k)
                split.task[split.count++].child = Play(own, opp, list.bit[k]);
            RootJudge judge(kind, list, first, progress, best);
            if (SearchSiblings(split, judge, context)) return;
        }
        progress.Before(i);
        const int32_t v =
            SearchChild(kind, Play(own, opp, list.bit[i]), depth, best.value, kInfinity, context);
        if (TakeRootValue(kind, list.bit[i], v, best)) return;
    }
}

}  // namespace

namespace {

// A Think's helpers, from before its search to its end, whichever way it ends. Without a
// helper (one thread asked, or none could be made) the search runs on the calling thread.
class HelpedSearch {
public:
    HelpedSearch(const SearchOptions& options, SearchContext& context) : context_(context) {
        const int threads = options.threads > 0 ? options.threads : DefaultThreads();
        group_.limits = options.splits;
        group_.searchChild = SearchChild;
        if (threads <= 1 || !OpenGroup(group_, threads, context)) return;
        context.group = &group_;
    }
    ~HelpedSearch() {
        if (context_.group) CloseGroup(group_);
    }

private:
    SearchContext& context_;
    SearchGroup group_;
};

}  // namespace

bool ThinkInBuild(const BoardState& board, int32_t depth, bool forceSearch,
                  ProgressCallback callback, ThinkResult& result, const SearchOptions& options) {
    // A side to move other than +-1 names no player; nothing sensible can be written.
    if (!IsValidState(board)) return false;
    const int32_t side = board.sideToMove;
    const Position root = ToPosition(board);
    SearchContext context;

    const bool plainList = depth >= 1 && depth <= 3;
    if (!forceSearch) {
        // With one move or none the answer needs no search; the ordering look would only have
        // counted nodes that are not reported.
        const Bitboard legal = LegalMoves(root.own, root.opp) & kNonCentre;
        if (PopCount(legal) <= 1) {
            const RootList list = PlainRootList(root.own, root.opp);
            result.move = list.size ? CellOfBit(list.bit[0]) : 0;
            result.value = list.size ? 0 : -kInfinity * side;
            result.nodes = 0;
            return true;
        }
    }
    const RootList list =
        plainList ? PlainRootList(root.own, root.opp) : OrderRootMoves(root.own, root.opp, context);

    const HelpedSearch helped(options, context);
    RootOutcome best;
    const bool endgameSplits =
        PopCount(~(root.own | root.opp) & kNonCentre) >= options.splits.empty;
    if (depth > 0) {
        const Progress progress(callback, "通常探索中", depth, list.size);
        SearchRoot(SiblingKind::kNormal, root.own, root.opp, list, depth,
                   depth >= options.splits.depth, progress, context, best);
    } else if (depth == 0) {
        const Progress progress(callback, "必勝探索中", CountEmpty(board), list.size);
        SearchRoot(SiblingKind::kWinLoss, root.own, root.opp, list, 0, endgameSplits, progress,
                   context, best);
    } else {
        const Progress progress(callback, "完全探索中", CountEmpty(board), list.size);
        SearchRoot(SiblingKind::kPerfect, root.own, root.opp, list, 0, endgameSplits, progress,
                   context, best);
    }
    result.move = best.bit < 0 ? 0 : CellOfBit(best.bit);
    result.value = best.value * side;
    result.nodes = static_cast<int32_t>(context.nodes);
    return true;
}

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon
