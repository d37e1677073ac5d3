#ifndef TAVIK_TOOLS_BENCH_H
#define TAVIK_TOOLS_BENCH_H

namespace tavik_tools {

// Searches the fixed bench positions with the engine, and a subset with the literal reference;
// prints one line per search, the total node count (the signature) and the speed figures.
// Answers 0, or 1 when the engine and the reference disagree on a position.
// `threads` (0: every processor) is the number the engine's lines use.
int RunBench(bool quick, int threads);

}  // namespace tavik_tools

#endif
