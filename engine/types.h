// Value constants and small types shared by every part of the engine.
#ifndef OSTRAKON_TYPES_H
#define OSTRAKON_TYPES_H

#include <cstdint>

#include "ostrakon.h"

// The search, the evaluation and the move generation they use are compiled twice on x86-64:
// for any processor of the architecture, and for processors with AVX2, BMI2 and POPCNT
// (engine/CMakeLists.txt); each Think runs one of the two (search_build.h). Every function of
// that code lives in an inline namespace named after its build, so the two builds share no
// symbol. Were they to share one, the linker would keep a single definition of each inline
// function for both, and the portable build could end up calling code with instructions the
// processor does not have. Types, and all state (memo tables, helper threads, the list of
// running searches, the book), are the engine's alone and stay outside that namespace: the two
// builds use them alike.
#ifndef OSTRAKON_ISA
#define OSTRAKON_ISA portable
#endif

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
