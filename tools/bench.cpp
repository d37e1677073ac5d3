// The speed gauge. Each bench position is searched in one of the modes the game uses (normal
// search at depth 7 in the middle game, win/loss at 16 empty squares, perfect at 14, and one
// slow win/loss tree at 18), and the total node count is printed as the signature: it changes
// only when the search's behaviour changes. A subset is searched again with the literal
// reference engine of the tests; its answers must match exactly, and the ratio of the two
// speeds on those same positions is the figure that matters (both are measured in this run, on
// this machine). Last, every position is searched on one thread and on two, and the speed-up
// per mode is printed, again from times measured in this run; a few bigger endgame searches,
// of the size the strongest preset makes, have speed-up lines of their own.
#include "bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "memo.h"
#include "ostrakon.h"
#include "parallel.h"
#include "position_text.h"
#include "reference.h"
#include "search.h"
#include "search_build.h"
#include "study_command.h"
#include "texts.h"

namespace tavik_tools {

namespace {

struct BenchPosition {
    const char* name;
    const char* diagram;  // A1..H8, X black, O white, - empty
    char side;
    int depth;           // > 0 normal search, 0 win/loss, < 0 perfect
    bool reference;      // also searched by the reference
    bool quick;          // part of the quick run
    bool slow = false;   // a slow tree: figures of its own
    bool large = false;  // only in the speed-up lines (not in the signature)
};

// Middle-game positions come from random legal games (28 to 36 empty squares); the endgame
// ones are well-known solved problems.
constexpr BenchPosition kPositions[] = {
#include "bench_positions.inc"
};

// Modes as the figures group them: the slow trees apart from the other win/loss searches, and
// the large searches of the speed-up lines apart from the small ones.
constexpr const char* kModeNames[] = {"normal", "winloss",    "perfect",
                                      "slow",   "winloss-20", "perfect-18"};
constexpr int kModes = 6;
int ModeIndex(const BenchPosition& p) {
    if (p.slow) return 3;
    if (p.depth > 0) return 0;
    return (p.depth == 0 ? 1 : 2) + (p.large ? 3 : 0);
}

struct Timed {
    ThinkResult result;
    double seconds;
};

Timed EngineSearch(const BoardState& board, int depth, int threads) {
    Timed t{};
    const auto start = std::chrono::steady_clock::now();
    ostrakon::ThinkCall(board, depth, t.result, true, nullptr, {threads});
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
    double nodes = 0, seconds = 0;  // every position, engine
    double subsetNodes = 0, subsetEngine = 0, subsetReference = 0;
};

double PerSecond(double nodes, double seconds) { return seconds > 0 ? nodes / seconds : 0; }

// Every position on one thread and then on two, alternately, `rounds` times; per position the
// shortest time of each is kept, since on a shared machine the shortest run is the least
// disturbed one, and alternating lets both meet the same load. Per mode, the one-thread time
// over the two-thread time. Answers false when the two disagree on a move, value or node count.
bool PrintSpeedUps(bool quick) {
    const int rounds = quick ? 1 : 3;
    double one[kModes] = {}, two[kModes] = {};
    bool same = true;
    for (const BenchPosition& p : kPositions) {
        if (quick && !p.quick) continue;
        BoardState board;
        ParseDiagram(p.diagram, std::string(1, p.side), board);
        // Normal searches two plies deeper than above: at depth 7 they take milliseconds, and
        // the time to wake the helpers would be most of the figure.
        const int depth = p.depth > 0 ? p.depth + 2 : p.depth;
        double best[2] = {1e30, 1e30};
        for (int round = 0; round < rounds; ++round) {
            // each from an empty memo: a search repeated finds its whole tree there
            ostrakon::ClearMemo();
            const Timed a = EngineSearch(board, depth, 1);
            ostrakon::ClearMemo();
            const Timed b = EngineSearch(board, depth, 2);
            same &= a.result.move == b.result.move && a.result.value == b.result.value &&
                    a.result.nodes == b.result.nodes;
            best[0] = std::min(best[0], a.seconds);
            best[1] = std::min(best[1], b.seconds);
        }
        one[ModeIndex(p)] += best[0];
        two[ModeIndex(p)] += best[1];
    }
    std::printf(
        "\n%-10s %12s %12s %9s   (speed-up of 2 threads over 1, same positions, this run;"
        " shortest of %d runs each)\n",
        "mode", "1 thread", "2 threads", "speed-up", rounds);
    constexpr const char* kWhat[kModes] = {"depth 9", "16 empty", "14 empty",
                                           "slow-18", "20 empty", "17-19 empty"};
    for (int m = 0; m < kModes; ++m) {
        if (one[m] == 0) continue;
        std::printf("%-10s %10.3f s %10.3f s %8.2fx   %s\n", kModeNames[m], one[m], two[m],
                    two[m] > 0 ? one[m] / two[m] : 0.0, kWhat[m]);
    }
    if (!same) std::printf("\nMISMATCH: 2 threads and 1 disagree\n");
    return same;
}

}  // namespace

int RunBench(bool quick, int threads) {
    Totals totals[kModes];
    uint64_t signature = 0;
    bool mismatch = false;
    std::printf("%-10s %-8s %-5s %-16s %12s %9s %11s\n", "position", "mode", "move", "value",
                "nodes", "seconds", "reference");
    for (const BenchPosition& p : kPositions) {
        if ((quick && !p.quick) || p.large) continue;
        BoardState board;
        const std::string error = ParseDiagram(p.diagram, std::string(1, p.side), board);
        if (!error.empty()) {
            std::printf("%s: %s\n", p.name, error.c_str());
            return 1;
        }
        const Timed e = EngineSearch(board, p.depth, threads);
        Totals& t = totals[ModeIndex(p)];
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
        std::printf("%-10s %-8s %-5s %-16s %12d %9.3f %11s\n", p.name, kModeNames[ModeIndex(p)],
                    tavik::SquareName(e.result.move).c_str(), ValueText(e.result.value).c_str(),
                    e.result.nodes, e.seconds, refText.c_str());
        std::fflush(stdout);
    }
    std::printf("\nNodes searched : %llu\n", static_cast<unsigned long long>(signature));
    std::printf("\n%-8s %14s %18s %18s %8s\n", "mode", "engine nodes/s", "engine (subset)",
                "reference (subset)", "ratio");
    for (int m = 0; m < kModes; ++m) {
        const Totals& t = totals[m];
        if (t.seconds == 0 && t.nodes == 0) continue;
        const double subsetEngine = PerSecond(t.subsetNodes, t.subsetEngine);
        const double subsetReference = PerSecond(t.subsetNodes, t.subsetReference);
        if (t.subsetNodes == 0) {
            // no position of this group is searched by the reference
            std::printf("%-8s %14.0f %18s %18s %8s\n", kModeNames[m], PerSecond(t.nodes, t.seconds),
                        "-", "-", "-");
            continue;
        }
        std::printf("%-8s %14.0f %18.0f %18.0f %7.1fx\n", kModeNames[m],
                    PerSecond(t.nodes, t.seconds), subsetEngine, subsetReference,
                    subsetReference > 0 ? subsetEngine / subsetReference : 0.0);
    }
    std::printf(
        "(engine lines on %d threads, search build %s; slow: win/loss on the slow-18 tree)\n",
        threads > 0 ? threads : ostrakon::DefaultThreads(),
        ostrakon::SearchBuildName(ostrakon::CurrentSearchBuild()));
    if (mismatch) std::printf("\nMISMATCH: the engine and the reference disagree\n");
    mismatch |= !PrintSpeedUps(quick);
    if (!quick) {
        const unsigned processors = std::thread::hardware_concurrency();
        mismatch |= !BenchAnalysis(processors > 1 ? static_cast<int>(processors) : 2);
    }
    return mismatch ? 1 : 0;
}

}  // namespace tavik_tools
