// Value constants and small types shared by every part of the engine.
#ifndef OSTRAKON_TYPES_H
#define OSTRAKON_TYPES_H

#include <cstdint>

namespace ostrakon {

using Bitboard = uint64_t;

// Scores are from the point of view of the side to move at the position scored.
constexpr int32_t kInfinity = 16777215;  // bound of every window; -kInfinity = "nothing yet"
constexpr int32_t kWin = 65536;          // a won final position scores kWin + disc margin
constexpr int32_t kDraw = 65535;         // a drawn final position; -kDraw is a draw as well

}  // namespace ostrakon

#endif
