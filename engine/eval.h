#ifndef OSTRAKON_EVAL_H
#define OSTRAKON_EVAL_H

#include "types.h"

namespace ostrakon {

// Static score from the point of view of the side owning `own`: the weighted mobility of both
// colours plus the four edges.
int32_t Evaluate(Bitboard own, Bitboard opp);

}  // namespace ostrakon

#endif
