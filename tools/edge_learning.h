// Learning the edge table from exact game outcomes.
//
// Each round plays self-play games with the table of the round before (the hand-written rule
// table before the first), labels their positions, fits the table to every label gathered so
// far, and plays the new table against the one it came from. The rounds stop when the new table
// no longer wins that match (or after --rounds); the table printed is the last one that won.
//
// Positions. A game starts with a few uniformly random moves, then each side searches every
// move a few plies deep with the round's table and picks at random among the moves within a
// margin of the best. Every position with 12 to 50 empty squares where the side to move has a
// move is kept (the normal search evaluates at these stages); a position met before is dropped.
//
// Labels: the final disc difference, black's view.
//   - At --exact empty squares or fewer: the position's own perfect-play value, solved by the
//     engine's perfect search.
//   - Earlier: the value of the game's first position at --exact empty squares, that is the
//     result of the self-play game from there on, finished by perfect play. A deeper search's
//     value with an earlier table was the other choice; it would feed that table's own errors
//     back into its successor, while a game result is unbiased and its noise (the random moves
//     between the position and the solved one) averages out over many positions.
//
// Fit. With black's discs as "own", the evaluation is mobility + the four edges' entries, and
// the model is  label = a * evaluation: one scale a between evaluation units and discs. Fixed
// entries (edge_rules.h) are constants; every other entry belongs to a symmetry class (the edge,
// its mirror, and their colour inversions with the negated value) that is one unknown. Writing
// u = a * value per class makes the model linear in (a, u); least squares, with each class
// pulled towards its rule value by a ridge term of --ridge pseudo-positions, so an edge the data
// rarely sees keeps the rule's value. The values are then rounded and clamped to -160..+160.
//
// Determinism. Every game and match game has its own random stream from (seed, round, number);
// results are stored and merged in game order, the fit runs on one thread in a fixed order, and
// perfect-search values do not depend on threads. So the same options give the same table, byte
// for byte, on any number of processors and across stops and resumes.
//
// The folder. options.txt (the options that decide the result; a resume with others is
// refused), round-N/games-K.bin (chunks of games with their labels, written whole or not at
// all), round-N/table.inc (the round's fitted table), round-N/match.txt (its match), and
// edge_table.inc (the final table).
#ifndef TAVIK_TOOLS_EDGE_LEARNING_H
#define TAVIK_TOOLS_EDGE_LEARNING_H

namespace edges {

// `gen_edge_table learn ARGS`: the table goes to stdout, progress to stderr. Returns the exit
// status (2 for bad options or a folder made with other options).
int LearnCommand(int argc, char** argv);

}  // namespace edges

#endif  // TAVIK_TOOLS_EDGE_LEARNING_H
