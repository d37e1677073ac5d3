// The texts the game shows for squares, values and record rows, in code page 932.
#ifndef TAVIK_GAME_CORE_TEXTS_H
#define TAVIK_GAME_CORE_TEXTS_H

#include <array>
#include <cstdint>
#include <string>

#include "game_record.h"

namespace tavik {

// The first byte of a two-byte character in code page 932.
inline bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Column letter and row digit: cell 10 is "A1", 80 is "H8".
std::string SquareName(int cell);

// An engine value: who wins by how many discs, a win, a draw, or the plain number.
std::string FormatValue(int32_t value);

// The five columns of row `row` of the record list: move number, colour mark and square,
// value, think time in ms, node count.
std::array<std::string, 5> RecordRowTexts(const MoveEntry& entry, int row);

}  // namespace tavik

#endif
