// Value constants and small types shared by every part of the engine.
#ifndef OSTRAKON_TYPES_H
#define OSTRAKON_TYPES_H

#include <cstdint>

#include "ostrakon.h"

namespace ostrakon {

using Bitboard = uint64_t;

// Scores are from the point of view of the side to move at the position scored.
// The interface's values (ostrakon.h). kInfinity bounds every window and -kInfinity means
// "nothing yet": a root without a move answers it, as the no-move value.
constexpr int32_t kInfinity = OSTRAKON_VALUE_NO_MOVE;
constexpr int32_t kWin = OSTRAKON_VALUE_WIN;    // a won final position scores kWin + disc margin
constexpr int32_t kDraw = OSTRAKON_VALUE_DRAW;  // a drawn final position; -kDraw is a draw as well

}  // namespace ostrakon

#endif
