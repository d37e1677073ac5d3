#ifndef OSTRAKON_EVAL_H
#define OSTRAKON_EVAL_H

#include "types.h"

namespace ostrakon {
inline namespace OSTRAKON_ISA {

// Static score from the point of view of the side owning `own`: the weighted mobility of both
// colours plus the four edges.
int32_t Evaluate(Bitboard own, Bitboard opp);

// The same evaluation with another edge table (6561 entries, colour antisymmetric): for the tool
// that learns the table, which must score positions exactly as the engine would with it.
int32_t EvaluateWithTable(const int32_t* edgeTable, Bitboard own, Bitboard opp);

// The table indexes of the four edges (row 1, row 8, column A, column H) read with `own` as
// black: the evaluation adds the entries at these.
void EdgeIndexes(Bitboard own, Bitboard opp, int index[4]);

}  // namespace OSTRAKON_ISA
}  // namespace ostrakon

#endif
