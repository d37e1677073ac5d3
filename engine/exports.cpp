// The exported C interface: mailbox boards in, bitboards inside, -1/0 truth values out.
//
// Every export reads only the 64 playable cells and the side to move. A board with a cell other
// than 0/+-1 or a side other than +-1 is not a position; the exports then answer 0 (Think
// leaves the result alone) instead of computing from it.
#include <cstring>

#include "board.h"
#include "book.h"
#include "eval.h"
#include "move_order.h"
#include "ostrakon.h"
#include "search.h"
#include "search_context.h"
#include "win32.h"

using namespace ostrakon;

namespace {

constexpr int32_t kTrue = -1;
constexpr int32_t kFalse = 0;

// The bit of a playable cell, or -1 for a border cell or an index outside the board.
int PlayableBit(int32_t cell) {
    return cell >= 0 && cell <= 90 && IsPlayableCell(cell) ? BitOfCell(cell) : -1;
}

// Flips of the side to move playing `cell`; false when the move is not legal.
bool LegalFlips(const BoardState& board, int32_t cell, Position& pos, Bitboard& flips) {
    const int bit = PlayableBit(cell);
    if (bit < 0 || !IsValidState(board) || board.cells[cell] != 0) return false;
    pos = ToPosition(board);
    flips = Flips(pos.own, pos.opp, bit);
    return flips != 0;
}

void CopyText(char (&field)[256], const char* text) {
    std::strncpy(field, text, sizeof field - 1);
    field[sizeof field - 1] = '\0';
}

// Only a malformed book can leave the draw without a move; the tests prove the shipped one
// cannot, so this is a last word to the user, not a path the game takes.
void ReportBrokenBook() {
#ifdef _WIN32
    MessageBoxA(nullptr, "ERROR", "ERROR", MB_OK);
#endif
}

}  // namespace

extern "C" {

OSTRAKON_API int32_t OSTRAKON_CALL CanDrop(const BoardState* board, int32_t cell) {
    Position pos;
    Bitboard flips;
    return LegalFlips(*board, cell, pos, flips) ? kTrue : kFalse;
}

OSTRAKON_API int32_t OSTRAKON_CALL ReverseStones(BoardState* board, int32_t cell) {
    Position pos;
    Bitboard flips;
    if (!LegalFlips(*board, cell, pos, flips)) return kFalse;
    const Bitboard move = Bitboard{1} << BitOfCell(cell);
    const int32_t side = board->sideToMove;
    WritePosition({pos.own | flips | move, pos.opp ^ flips}, side, *board);
    board->sideToMove = -side;
    return kTrue;
}

OSTRAKON_API int32_t OSTRAKON_CALL GetOpenness(const BoardState* board, int32_t cell) {
    Position pos;
    Bitboard flips;
    return LegalFlips(*board, cell, pos, flips) ? Openness(pos.own, pos.opp, flips) : 0;
}

OSTRAKON_API int32_t OSTRAKON_CALL EvalSituation(BoardState* board) {
    if (!IsValidState(*board)) return 0;
    const Position pos = ToPosition(*board);
    return Evaluate(pos.own, pos.opp);
}

OSTRAKON_API int32_t OSTRAKON_CALL Think(const BoardState* board, int32_t depth,
                                         ThinkResult* result, int32_t forceSearch,
                                         ProgressCallback callback) {
    return ThinkCall(*board, depth, *result, forceSearch != 0, callback);
}

OSTRAKON_API int32_t OSTRAKON_CALL CancelThink(int32_t threadId) {
    return CancelSearches(threadId) ? kTrue : kFalse;
}

OSTRAKON_API int32_t OSTRAKON_CALL GetVersionInfo(VersionInfo* info) {
    info->majorVersion = 2;
    info->minorVersion = 1;
    CopyText(info->productName, "Reversi Think Module Library \"Ventrisk\"");
    CopyText(info->copyright, "Copyright (C) 2026 The Tavik developers. All rights reserved.");
    CopyText(info->productNameJapanese, "リバーシ思考ルーチンライブラリ 「Ventrisk」");
    CopyText(info->author, "The Tavik developers");
    return kTrue;
}

OSTRAKON_API int32_t OSTRAKON_CALL ThinkBook(const char* moves, ThinkResult* result, int32_t side) {
    ThinkResult out;
    if (ThinkBookWithDraw(ShippedBook(), moves, side, ClockDraw(), out) == BookStatus::kNoPick) {
        ReportBrokenBook();
        return 0;
    }
    *result = out;
    return out.move;
}

}  // extern "C"
