// The slow, literal rendering of the engine, used as the oracle for the bitboard engine.
//
// Every function below follows its algorithm step by step on the 91-cell mailbox: positions are
// whole BoardState copies, moves are played with ReverseStones and undone by copying the board
// back, candidate squares come from a scan of the move order, and nothing is cached. Speed is
// deliberately given up so that each line can be checked against the rules by reading it.
#include "reference.h"

#include <cstdio>

namespace reference {
namespace {

constexpr int kFirstCell = 0;
constexpr int kLastCell = 90;

// The interface's values. The window bound is the no-move value: a root without a move answers
// its "nothing yet".
constexpr int32_t kScoreInfinity = OSTRAKON_VALUE_NO_MOVE;
constexpr int32_t kScoreWin = OSTRAKON_VALUE_WIN;
constexpr int32_t kScoreDraw = OSTRAKON_VALUE_DRAW;

// Neighbour offsets: up-left, up, up-right, left, right, down-left, down, down-right.
const int kDirectionTable[8] = {-10, -9, -8, -1, 1, 8, 9, 10};

// The order in which candidate squares are visited; earlier squares win every tie.
const int kMoveOrder[60] = {
    10, 17, 80, 73,                      // corners
    55, 28, 12, 15, 35, 62, 78, 75,      // edge squares two from a corner
    76, 77, 53, 44, 14, 13, 37, 46,      // middle edge squares
    56, 66, 69, 61, 34, 24, 21, 29,      // second ring, off-diagonal
    38, 47, 67, 68, 52, 43, 23, 22,      // second ring, middle
    30, 57, 60, 33,                      // corners of the centre 4x4
    26, 16, 11, 19, 64, 74, 79, 71,      // edge squares next to a corner
    51, 42, 32, 31, 39, 48, 58, 59,      // ring around the centre
    70, 25, 20, 65,                      // diagonal neighbours of corners
};

// What a legal move on each cell is worth to its colour's mobility.
const int32_t kMobilityWeight[91] = {
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  // cells 0..9: border
    20, 3,  10, 10, 10, 10, 3,  20, 0,      // row 1, then border cell 18
    3,  0,  10, 10, 10, 10, 0,  3,  0,      // row 2, then border cell 27
    10, 10, 10, 10, 10, 10, 10, 10, 0,      // row 3
    10, 10, 10, 10, 10, 10, 10, 10, 0,      // row 4
    10, 10, 10, 10, 10, 10, 10, 10, 0,      // row 5
    10, 10, 10, 10, 10, 10, 10, 10, 0,      // row 6
    3,  0,  10, 10, 10, 10, 0,  3,  0,      // row 7, then border cell 72
    20, 3,  10, 10, 10, 10, 3,  20, 0,      // row 8, then border cell 81
    0,  0,  0,  0,  0,  0,  0,  0,  0,      // cells 82..90: border
};

// Value of every contents of an eight-cell edge from black's view; entry = key + 3280.
static const int32_t kEdge[6561] = {
#include "edge_table.inc"
};
constexpr int kEdgeKeyOffset = 3280;

// The four edges, each listed from its e0 cell to its e7 cell.
const int kEdgeCells[4][8] = {
    {10, 11, 12, 13, 14, 15, 16, 17},  // row 1: A1..H1
    {73, 74, 75, 76, 77, 78, 79, 80},  // row 8: A8..H8
    {10, 19, 28, 37, 46, 55, 64, 73},  // column A: A1..A8
    {17, 26, 35, 44, 53, 62, 71, 80},  // column H: H1..H8
};

// Progress formats in code page 932, written as bytes so that no compiler charset setting can
// change them: "通常探索中(深さ%d) %d", "必勝探索中(深さ%d) %d" and "完全探索中(深さ%d) %d" for
// the normal, win/loss/draw and perfect searches. A "%" follows the percentage.
const char kNormalFormat[] = "\x92\xca\x8f\xed\x92\x54\x8d\xf5\x92\x86(\x90\x5b\x82\xb3%d) %d";
const char kWinLossFormat[] = "\x95\x4b\x8f\x9f\x92\x54\x8d\xf5\x92\x86(\x90\x5b\x82\xb3%d) %d";
const char kPerfectFormat[] = "\x8a\xae\x91\x53\x92\x54\x8d\xf5\x92\x86(\x90\x5b\x82\xb3%d) %d";

// Positions scored since the last Think started.
int32_t nodeCounter = 0;

// A well-formed board never lets a walk leave the mailbox, because the border is neither colour.
// The check only keeps a corrupt sideToMove (one equal to -0xFFFF) from reading outside it.
bool InMailbox(int cell) {
    return cell >= kFirstCell && cell <= kLastCell;
}

bool IsPlayable(int cell) {
    return cell >= 10 && cell <= 80 && cell % 9 != 0;
}

// Multiplies the way a 32-bit machine does, so that a corrupt sideToMove cannot cause undefined
// behaviour here; for +1 and -1 this is the plain product.
int32_t WrapMultiply(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// The line test for one direction: does the run of opponent discs from `m` along `d` end on a
// disc of the side to move?
bool Brackets(const BoardState& b, int m, int d) {
    const int64_t s = b.sideToMove;
    // 1. Step while the cell reached holds an opponent disc, counting every step taken.
    int cell = m + d;
    int steps = 1;
    while (InMailbox(cell) && b.cells[cell] == -s) {
        cell += d;
        ++steps;
    }
    // 2. At least one opponent disc passed, and the walk stopped on one of our own.
    return steps >= 2 && InMailbox(cell) && b.cells[cell] == s;
}

// Whether the side to move has any legal move, asked square by square in move order.
bool HasLegalMove(const BoardState& b) {
    for (int q : kMoveOrder) {
        if (CanDrop(b, q)) {
            return true;
        }
    }
    return false;
}

// Disc difference over the 64 playable cells, from the view of the side to move.
int32_t DiscDifference(const BoardState& b) {
    int32_t sum = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        if (IsPlayable(cell)) {
            sum += b.cells[cell];
        }
    }
    return WrapMultiply(sum, b.sideToMove);
}

// Score of a finished game: the margin on top of the win base, a loss below its negation, or
// the draw value.
int32_t FinalScore(const BoardState& b) {
    const int32_t d = DiscDifference(b);
    if (d > 0) {
        return kScoreWin + d;
    }
    if (d < 0) {
        return d - kScoreWin;
    }
    return kScoreDraw;
}

// The win/loss/draw search only needs the sign of the final margin.
int32_t ClassifyFinal(const BoardState& b) {
    const int32_t d = DiscDifference(b);
    if (d > 0) {
        return kScoreWin;
    }
    if (d == 0) {
        return kScoreDraw;
    }
    return -kScoreWin;
}

int32_t EmptyNeighbours(const BoardState& b, int cell) {
    int32_t count = 0;
    for (int d : kDirectionTable) {
        if (InMailbox(cell + d) && b.cells[cell + d] == 0) {
            ++count;
        }
    }
    return count;
}

// Negamax alpha-beta on the heuristic score, from the view of the side to move of `position`.
// EvalSituation needs to flip the side to move, so the position is taken by reference; it is
// always a copy owned by the caller and comes back unchanged.
int32_t AlphaBeta(BoardState& position, int32_t depth, int32_t alpha, int32_t beta) {
    // 1. Out of depth: score the position as it stands, even if the game is over there.
    if (depth == 0) {
        ++nodeCounter;
        return EvalSituation(position);
    }

    // 2. Legal moves by ascending openness; an equal figure goes behind those already listed so
    //    that ties keep the move order.
    BoardState copy = position;
    int moves[60];
    int32_t openness[60];
    int moveCount = 0;
    for (int q : kMoveOrder) {
        const int32_t o = GetOpenness(copy, q);
        if (o == 0) {
            continue;
        }
        int at = moveCount;
        while (at > 0 && openness[at - 1] > o) {
            moves[at] = moves[at - 1];
            openness[at] = openness[at - 1];
            --at;
        }
        moves[at] = q;
        openness[at] = o;
        ++moveCount;
    }

    // 3. No legal move: fall through to the pass below.
    if (moveCount > 0) {
        // 4. A single move is played whatever it scores against the window.
        if (moveCount == 1) {
            ReverseStones(copy, moves[0]);
            return -AlphaBeta(copy, depth - 1, -beta, -alpha);
        }
        // 5. Try every move; a score at or above beta cuts the rest off.
        for (int i = 0; i < moveCount; ++i) {
            ReverseStones(copy, moves[i]);
            const int32_t v = -AlphaBeta(copy, depth - 1, -beta, -alpha);
            if (v > alpha) {
                alpha = v;
                if (v >= beta) {
                    return v;
                }
            }
            copy = position;
        }
        return alpha;
    }

    // 6. Pass. A pass does not use up depth.
    copy.sideToMove = -copy.sideToMove;
    if (HasLegalMove(copy)) {
        return -AlphaBeta(copy, depth, -beta, -alpha);
    }

    // 7. Neither side can move. A finite alpha already beats anything, so it comes back as it
    //    is; only an open window scores the final position, from the view of the side to move
    //    of the position this call was given (not of the passed copy).
    if (alpha != -kScoreInfinity) {
        return alpha;
    }
    ++nodeCounter;
    return FinalScore(position);
}

// Win/loss/draw search to the end of the game: +65536 win, -65536 loss, +-65535 draw.
int32_t SolveWinLoss(const BoardState& position) {
    // 1.
    int32_t result = -kScoreWin;
    bool moved = false;
    bool full = true;
    BoardState copy = position;

    // 2. Every legal square in move order; stop at the first win, remember a draw.
    for (int q : kMoveOrder) {
        if (ReverseStones(copy, q)) {
            const int32_t r = -SolveWinLoss(copy);
            if (r == kScoreDraw || r == -kScoreDraw) {
                result = kScoreDraw;
            }
            if (r == kScoreWin) {
                return kScoreWin;
            }
            copy = position;
            moved = true;
            full = false;
        } else if (copy.cells[q] == 0) {
            full = false;
        }
    }

    // 3. Only the move-order squares decide whether the board is full.
    if (full) {
        ++nodeCounter;
        return ClassifyFinal(position);
    }

    // 4.
    if (moved) {
        return result;
    }

    // 5. Pass.
    copy.sideToMove = -copy.sideToMove;
    if (HasLegalMove(copy)) {
        return -SolveWinLoss(copy);
    }

    // 6. Game over, judged from the side to move of the position this call was given.
    ++nodeCounter;
    return ClassifyFinal(position);
}

// Alpha-beta on the exact final score, moves in plain move order.
int32_t SolvePerfect(const BoardState& position, int32_t alpha, int32_t beta) {
    // 1.
    bool moved = false;
    bool full = true;
    BoardState copy = position;

    // 2.
    for (int q : kMoveOrder) {
        if (ReverseStones(copy, q)) {
            const int32_t v = -SolvePerfect(copy, -beta, -alpha);
            if (v > alpha) {
                alpha = v;
                if (v >= beta) {
                    return v;
                }
            }
            copy = position;
            moved = true;
            full = false;
        } else if (copy.cells[q] == 0) {
            full = false;
        }
    }

    // 3. A full board is always scored, whatever the window.
    if (full) {
        ++nodeCounter;
        return FinalScore(position);
    }

    // 4.
    if (moved) {
        return alpha;
    }

    // 5. Pass.
    copy.sideToMove = -copy.sideToMove;
    if (HasLegalMove(copy)) {
        return -SolvePerfect(copy, -beta, -alpha);
    }

    // 6. Game over, scored from the side to move of the position this call was given.
    ++nodeCounter;
    return FinalScore(position);
}

// Root ordering by a three-ply look: each legal square is played on the working board and the
// reply is searched two plies deep. The list is kept in descending order of the move's score,
// a newcomer going behind entries with an equal score.
int OrderRootMoves(BoardState& working, const BoardState& board, int moves[60]) {
    int32_t values[60];
    int count = 0;
    for (int q : kMoveOrder) {
        if (!ReverseStones(working, q)) {
            continue;
        }
        // The window only needs to show whether the move beats the best one listed so far.
        int32_t highest = -kScoreInfinity;
        for (int i = 0; i < count; ++i) {
            if (values[i] > highest) {
                highest = values[i];
            }
        }
        const int32_t v = -AlphaBeta(working, 2, -kScoreInfinity, -highest);
        int at = count;
        while (at > 0 && values[at - 1] < v) {
            moves[at] = moves[at - 1];
            values[at] = values[at - 1];
            --at;
        }
        moves[at] = q;
        values[at] = v;
        ++count;
        working = board;
    }
    return count;
}

std::string StatusText(const char* format, int firstNumber, int percent) {
    char text[64];
    std::snprintf(text, sizeof text, format, firstNumber, percent);
    return std::string(text) + "%";
}

void WriteResult(ThinkOutput& out, int32_t move, int32_t value, int32_t nodes) {
    out.written = true;
    out.result.move = move;
    out.result.value = value;
    out.result.nodes = nodes;
}

}  // namespace

bool CanDrop(const BoardState& b, int cell) {
    // 1. Only an empty cell can take a disc.
    if (b.cells[cell] != 0) {
        return false;
    }
    // 2. The first bracketing direction settles it.
    for (int d : kDirectionTable) {
        if (Brackets(b, cell, d)) {
            return true;
        }
    }
    // 3.
    return false;
}

bool ReverseStones(BoardState& b, int cell) {
    // 1.
    if (b.cells[cell] != 0) {
        return false;
    }
    const int32_t s = b.sideToMove;
    const int64_t opponent = -static_cast<int64_t>(s);
    // 2. Turn the opponent discs of every bracketing direction. The rays from one cell never
    //    share a square, so testing each on the current board is the same as testing them all
    //    on the board before the move.
    bool turned = false;
    for (int d : kDirectionTable) {
        if (!Brackets(b, cell, d)) {
            continue;
        }
        for (int c = cell + d; b.cells[c] == opponent; c += d) {
            b.cells[c] = s;
        }
        turned = true;
    }
    // 3. Nothing bracketed: not a move, and nothing was written.
    if (!turned) {
        return false;
    }
    // 4. Place the disc and hand the move over.
    b.cells[cell] = s;
    b.sideToMove = -s;
    return true;
}

int32_t EvalSituation(BoardState& b) {
    // 1.
    const int32_t s = b.sideToMove;

    // 2. Weighted mobility of both colours, whoever is to move.
    int32_t mobility = 0;
    for (int q : kMoveOrder) {
        b.sideToMove = 1;
        if (CanDrop(b, q)) {
            mobility += kMobilityWeight[q];
        }
        b.sideToMove = -1;
        if (CanDrop(b, q)) {
            mobility -= kMobilityWeight[q];
        }
    }

    // 3. The four edges, each read as a base-3 number with e0 as the most significant digit.
    int32_t edges = 0;
    for (const auto& edge : kEdgeCells) {
        int32_t key = 0;
        for (int cell : edge) {
            key = key * 3 + b.cells[cell];
        }
        edges += kEdge[key + kEdgeKeyOffset];
    }

    // 4. Black's view turned into the side to move's view.
    b.sideToMove = s;
    return WrapMultiply(s, mobility + edges);
}

int32_t GetOpenness(const BoardState& b, int cell) {
    // 1.
    if (b.cells[cell] != 0) {
        return 0;
    }
    // 2.
    int32_t count = 0;
    const int64_t s = b.sideToMove;
    // 3. For every disc the move would turn, from the move outward, count its empty neighbours.
    //    The move square itself is still empty, so it counts once per turning direction.
    for (int d : kDirectionTable) {
        if (!Brackets(b, cell, d)) {
            continue;
        }
        for (int c = cell + d; b.cells[c] == -s; c += d) {
            count += EmptyNeighbours(b, c);
        }
    }
    // 4.
    return count;
}

int CountEmpty(const BoardState& b) {
    int count = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        if (b.cells[cell] == 0) {
            ++count;
        }
    }
    return count;
}

ThinkOutput Think(const BoardState& b, int32_t depth, int32_t forceSearch) {
    ThinkOutput out;
    out.returned = -1;

    // 1. Fresh counter; root moves are played on a working copy that is restored from the
    //    caller's board after each one.
    nodeCounter = 0;
    BoardState working = b;

    // 2. The root list: plain move order for shallow searches, otherwise sorted by a short look.
    int rootMoves[60];
    int n = 0;
    if (depth >= 1 && depth <= 3) {
        for (int q : kMoveOrder) {
            if (CanDrop(working, q)) {
                rootMoves[n++] = q;
            }
        }
    } else {
        n = OrderRootMoves(working, b, rootMoves);
    }

    // 3. Nothing to choose between: answer at once. With a corrupt side to move the result is
    //    left untouched.
    if (forceSearch == 0 && n <= 1) {
        if (b.sideToMove != 1 && b.sideToMove != -1) {
            return out;
        }
        if (n == 1) {
            WriteResult(out, rootMoves[0], 0, 0);
        } else {
            WriteResult(out, 0, WrapMultiply(-kScoreInfinity, b.sideToMove), 0);
        }
        return out;
    }

    // 4. Search the root moves by mode, reporting progress before each one.
    int32_t best = -kScoreInfinity;
    int32_t bestMove = 0;
    if (depth > 0) {
        // Normal search: the first of equal scores stays.
        for (int k = 0; k < n; ++k) {
            const int m = rootMoves[k];
            out.progress.push_back(StatusText(kNormalFormat, depth, 100 * k / n));
            ReverseStones(working, m);
            const int32_t v = -AlphaBeta(working, depth - 1, -kScoreInfinity, -best);
            if (v > best) {
                best = v;
                bestMove = m;
            }
            working = b;
        }
    } else if (depth == 0) {
        // Win/loss/draw search: a win ends the search, a later draw replaces an earlier one,
        // and a loss is taken only while nothing better has been chosen.
        const int empty = CountEmpty(b);
        for (int k = 0; k < n; ++k) {
            const int m = rootMoves[k];
            out.progress.push_back(StatusText(kWinLossFormat, empty, 100 * k / n));
            // 1.
            ReverseStones(working, m);
            const int32_t v = -SolveWinLoss(working);
            if (v == kScoreDraw || v == -kScoreDraw) {
                // 2.
                best = kScoreDraw;
                bestMove = m;
            } else if (v == kScoreWin) {
                // 3.
                WriteResult(out, m, WrapMultiply(kScoreWin, b.sideToMove), nodeCounter);
                return out;
            } else if (best != kScoreDraw && bestMove == 0) {
                // 4.
                best = -kScoreWin;
                bestMove = m;
            }
            // 5.
            working = b;
        }
    } else {
        // Perfect search: the signed score of the best move is kept as it is, so a draw may
        // come back as -65535.
        const int empty = CountEmpty(b);
        for (int k = 0; k < n; ++k) {
            const int m = rootMoves[k];
            out.progress.push_back(StatusText(kPerfectFormat, empty, 100 * k / n));
            ReverseStones(working, m);
            const int32_t v = -SolvePerfect(working, -kScoreInfinity, -best);
            if (v > best) {
                best = v;
                bestMove = m;
            }
            working = b;
        }
    }

    // 5. The best move and its score from black's view.
    WriteResult(out, bestMove, WrapMultiply(best, b.sideToMove), nodeCounter);
    return out;
}

}  // namespace reference
