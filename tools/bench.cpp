// The speed gauge. Each bench position is searched in one of the modes the game uses (normal
// search at depth 7 in the middle game, win/loss at 16 empty squares, perfect at 14), and the
// total node count is printed as the signature: it changes only when the search's behaviour
// changes. A subset is searched again with the literal reference engine of the tests; its
// answers must match exactly, and the ratio of the two speeds on those same positions is the
// figure that matters (both are measured in this run, on this machine).
#include "bench.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "ostrakon.h"
#include "position_text.h"
#include "reference.h"
#include "search.h"
#include "study_command.h"

namespace tavik_tools {

namespace {

struct BenchPosition {
    const char* name;
    const char* diagram;  // A1..H8, X black, O white, - empty
    char side;
    int depth;            // > 0 normal search, 0 win/loss, < 0 perfect
    bool reference;       // also searched by the reference
    bool quick;           // part of the quick run
};

// Middle-game positions come from random legal games (28 to 36 empty squares); the endgame
// ones are well-known solved problems.
constexpr BenchPosition kPositions[] = {
#include "bench_positions.inc"
};

const char* ModeName(int depth) { return depth > 0 ? "normal" : depth == 0 ? "winloss" : "perfect"; }
int ModeIndex(int depth) { return depth > 0 ? 0 : depth == 0 ? 1 : 2; }

struct Timed {
    ThinkResult result;
    double seconds;
};

Timed EngineSearch(const BoardState& board, int depth, int threads) {
    Timed t{};
    const auto start = std::chrono::steady_clock::now();
    ostrakon::ThinkCall(board, depth, t.result, true, nullptr, threads);
    t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return t;
}

Timed ReferenceSearch(const BoardState& board, int depth) {
    Timed t{};
    const auto start = std::chrono::steady_clock::now();
    t.result = reference::Think(board, depth, 1).result;
    t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return t;
}

struct Totals {
    double nodes = 0, seconds = 0;                  // every position, engine
    double subsetNodes = 0, subsetEngine = 0, subsetReference = 0;
};

double PerSecond(double nodes, double seconds) { return seconds > 0 ? nodes / seconds : 0; }

}  // namespace

int RunBench(bool quick, int threads) {
    Totals totals[3];
    uint64_t signature = 0;
    bool mismatch = false;
    std::printf("%-10s %-8s %-5s %-16s %12s %9s %11s\n", "position", "mode", "move", "value", "nodes",
                "seconds", "reference");
    for (const BenchPosition& p : kPositions) {
        if (quick && !p.quick) continue;
        BoardState board;
        const std::string error = ParseDiagram(p.diagram, std::string(1, p.side), board);
        if (!error.empty()) {
            std::printf("%s: %s\n", p.name, error.c_str());
            return 1;
        }
        const Timed e = EngineSearch(board, p.depth, threads);
        Totals& t = totals[ModeIndex(p.depth)];
        t.nodes += e.result.nodes;
        t.seconds += e.seconds;
        signature += static_cast<uint32_t>(e.result.nodes);
        std::string refText = "-";
        if (p.reference) {
            const Timed r = ReferenceSearch(board, p.depth);
            const bool same = r.result.move == e.result.move && r.result.value == e.result.value &&
                              r.result.nodes == e.result.nodes;
            mismatch |= !same;
            t.subsetNodes += e.result.nodes;
            t.subsetEngine += e.seconds;
            t.subsetReference += r.seconds;
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.3f s%s", r.seconds, same ? "" : " MISMATCH");
            refText = buf;
        }
        std::printf("%-10s %-8s %-5s %-16s %12d %9.3f %11s\n", p.name, ModeName(p.depth),
                    SquareName(e.result.move).c_str(), ValueText(e.result.value).c_str(),
                    e.result.nodes, e.seconds, refText.c_str());
        std::fflush(stdout);
    }
    std::printf("\nNodes searched : %llu\n", static_cast<unsigned long long>(signature));
    std::printf("\n%-8s %14s %18s %18s %8s\n", "mode", "engine nodes/s", "engine (subset)",
                "reference (subset)", "ratio");
    for (int m = 0; m < 3; ++m) {
        const Totals& t = totals[m];
        if (t.seconds == 0 && t.nodes == 0) continue;
        const double subsetEngine = PerSecond(t.subsetNodes, t.subsetEngine);
        const double subsetReference = PerSecond(t.subsetNodes, t.subsetReference);
        std::printf("%-8s %14.0f %18.0f %18.0f %7.1fx\n", ModeName(m == 0 ? 1 : m == 1 ? 0 : -1),
                    PerSecond(t.nodes, t.seconds), subsetEngine, subsetReference,
                    subsetReference > 0 ? subsetEngine / subsetReference : 0.0);
    }
    if (mismatch) std::printf("\nMISMATCH: the engine and the reference disagree\n");
    if (!quick) {
        const unsigned processors = std::thread::hardware_concurrency();
        mismatch |= !BenchAnalysis(processors > 1 ? static_cast<int>(processors) : 2);
    }
    return mismatch ? 1 : 0;
}

}  // namespace tavik_tools
