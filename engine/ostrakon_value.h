// Think's values (ostrakon.h) read in C++: the one reading of the numbers for every program that
// shows or compares them. Header-only, and it needs nothing but the interface, so the game, the
// tools and the tests may all include it.
#ifndef OSTRAKON_OSTRAKON_VALUE_H
#define OSTRAKON_OSTRAKON_VALUE_H

#include <cstdint>

#include "ostrakon.h"

namespace ostrakon {

// What a value says, from black's point of view.
struct ValueMeaning {
    enum Kind { kNumber, kBlackWins, kWhiteWins, kDraw };
    Kind kind;
    // kBlackWins, kWhiteWins: the winner's disc margin, 0 for the win/loss search's bare win;
    // kNumber: the value itself; kDraw: 0.
    int32_t amount;
};

// The value Think gives when the side to move has no legal move (either sign: it follows the
// side to move).
inline bool IsNoMoveValue(int32_t value) {
    return value == OSTRAKON_VALUE_NO_MOVE || value == -OSTRAKON_VALUE_NO_MOVE;
}

// Every value has a meaning here: the no-move values read as wins by a wide margin, so a
// caller that may meet them asks IsNoMoveValue first. The win tests come before the draw's,
// which lies just below the win mark.
inline ValueMeaning ReadValue(int32_t value) {
    if (value >= OSTRAKON_VALUE_WIN) return {ValueMeaning::kBlackWins, value - OSTRAKON_VALUE_WIN};
    // cannot overflow: the most negative int32 leaves a margin below INT32_MAX
    if (value <= -OSTRAKON_VALUE_WIN) return {ValueMeaning::kWhiteWins, -OSTRAKON_VALUE_WIN - value};
    if (value == OSTRAKON_VALUE_DRAW || value == -OSTRAKON_VALUE_DRAW) return {ValueMeaning::kDraw, 0};
    return {ValueMeaning::kNumber, value};
}

}  // namespace ostrakon

#endif  // OSTRAKON_OSTRAKON_VALUE_H
