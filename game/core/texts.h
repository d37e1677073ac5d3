// The texts the game shows for squares, values, record rows, the turn, passes and results, in
// code page 932.
#ifndef TAVIK_GAME_CORE_TEXTS_H
#define TAVIK_GAME_CORE_TEXTS_H

#include <array>
#include <cstdint>
#include <string>

#include "game_record.h"
#include "ostrakon.h"

namespace tavik {

// The first byte of a two-byte character in code page 932.
inline bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Column letter and row digit: cell 10 is "A1", 80 is "H8"; "--" for a cell that is no square
// (0, no move, among them).
std::string SquareName(int cell);

// An engine value: who wins by how many discs, a win, a draw, or the plain number.
std::string FormatValue(int32_t value);

// The five columns of row `row` of the record list: move number, colour mark and square,
// value, think time in ms, node count.
std::array<std::string, 5> RecordRowTexts(const MoveEntry& entry, int row);

// Status-bar text of the turn: "●B石 ○W石", then " 黒番" or " 白番" unless the game is over,
// then " 対局中" while a game runs.
std::string TurnStatusText(const BoardState& board, bool gameRunning);

// The pass message for the side that must pass: "黒：パスです" or "白：パスです".
std::string PassText(int side);

// The end of a game, disc counts only (squares left empty count for nobody):
// "黒 : B石<TAB>白 : W石", an empty line, then who won by how many discs, or "引き分け".
std::string ResultText(int blackDiscs, int whiteDiscs);

}  // namespace tavik

#endif
