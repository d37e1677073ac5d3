// Micro-benchmarks of the engine's building blocks, for choosing between implementations:
//   build/native/bin/engine_micro_bench
// The figures that decide the engine's speed goals come from `tavik-cli bench`.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bitboard.h"
#include "board.h"
#include "eval.h"

namespace {

using namespace ostrakon;

// Random middle-game-like boards: about three quarters of the squares occupied.
std::vector<Position> Boards() {
    std::mt19937_64 rng(1);
    std::vector<Position> boards(4096);
    for (Position& p : boards) {
        const Bitboard occupied = rng() | rng();
        p.own = rng() & occupied;
        p.opp = occupied & ~p.own;
    }
    return boards;
}

void BM_LegalMoves(benchmark::State& state) {
    const std::vector<Position> boards = Boards();
    size_t i = 0;
    for (auto _ : state) {
        const Position& p = boards[i++ & 4095];
        benchmark::DoNotOptimize(LegalMoves(p.own, p.opp));
    }
}
BENCHMARK(BM_LegalMoves);

void BM_Flips(benchmark::State& state) {
    const std::vector<Position> boards = Boards();
    size_t i = 0;
    for (auto _ : state) {
        const Position& p = boards[i & 4095];
        benchmark::DoNotOptimize(Flips(p.own, p.opp, static_cast<int>(i++ % 64)));
    }
}
BENCHMARK(BM_Flips);

void BM_Openness(benchmark::State& state) {
    const std::vector<Position> boards = Boards();
    size_t i = 0;
    for (auto _ : state) {
        const Position& p = boards[i++ & 4095];
        benchmark::DoNotOptimize(Openness(p.own, p.opp, p.own & 0x00003C3C3C3C0000ULL));
    }
}
BENCHMARK(BM_Openness);

void BM_Evaluate(benchmark::State& state) {
    const std::vector<Position> boards = Boards();
    size_t i = 0;
    for (auto _ : state) {
        const Position& p = boards[i++ & 4095];
        benchmark::DoNotOptimize(Evaluate(p.own, p.opp));
    }
}
BENCHMARK(BM_Evaluate);

}  // namespace

BENCHMARK_MAIN();
