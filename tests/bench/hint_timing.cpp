// Figures for the hint search, printed, never asserted:
//   build/native/bin/hint_timing [runs]
// 1. From Start to each pass delivered, with the default study depths (7 plies, perfect from 16
//    empty squares), at the start, in the middle game and at 16 empty squares.
// 2. One analysis of every move per normal depth, at the start and in a middle game: what the
//    first pass may cost.
// 3. From a Start during an endless perfect pass to the new position's first pass: how soon a
//    cancelled search makes way.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "analysis.h"
#include "board_functions.h"
#include "hint_search.h"
#include "position_text.h"

namespace {

using namespace tavik;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

BoardState AfterMoves(const char* transcript) {
    BoardState board{};
    const std::string error = tavik_tools::ParseTranscript(transcript, board);
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    return board;
}

struct Named {
    const char* name;
    BoardState board;
};

// The arrival time of each pass of the latest Start.
class Stopwatch {
public:
    HintSearch::Options Options() {
        HintSearch::Options options;
        options.delivered = [this](const HintPassResult& result) {
            std::lock_guard<std::mutex> hold(lock_);
            arrivals_.push_back({result.generation, MsSince(start_), result.last});
            arrived_.notify_all();
        };
        return options;
    }
    // The times of the first `passes` passes (fewer if the last comes before).
    std::vector<double> Run(HintSearch& search, const BoardState& board, const StudyDepths& depths,
                            size_t passes) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            arrivals_.clear();
            start_ = Clock::now();
        }
        // A pass may come before Start has returned: the arrivals are told apart afterwards.
        const uint64_t generation = search.Start(board, depths);
        std::vector<double> times;
        std::unique_lock<std::mutex> hold(lock_);
        arrived_.wait(hold, [&] {
            times.clear();
            for (const Arrival& a : arrivals_) {
                if (a.generation != generation) continue;
                times.push_back(a.ms);
                if (a.last) return true;
            }
            return times.size() >= passes;
        });
        return times;
    }

private:
    struct Arrival {
        uint64_t generation;
        double ms;
        bool last;
    };
    std::mutex lock_;
    std::condition_variable arrived_;
    Clock::time_point start_;
    std::vector<Arrival> arrivals_;
};

std::string PassName(const HintPass& pass) {
    return (pass.kind == HintKind::kExact ? "perfect " : "depth ") + std::to_string(pass.depth);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const Named positions[] = {
        {"start", InitialBoard()},
        {"middle game (24 moves)", AfterMoves("F5D6C3F4F6F3D3C4E3F2E2F1G4C2G3G2E1H3C5C6D2G6G5D1")},
        {"16 empty squares",
         AfterMoves("F5D6C3F4F6F3D3C4E3F2E2F1G4C2G3G2E1H3C5C6D2G6G5D1H4G1B4E6B3A3B5H5H1H2H6A4H7"
                    "B6C1G7H8E7F7D7")},
    };
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::printf("%d processors, %d runs per figure\n\n", threads, runs);

    std::printf(
        "1. from Start to each pass (ms), study depths 7 / perfect 16: the position's first\n"
        "   search in this process, then the median of the runs (the engine's memo keeps\n"
        "   subtrees between searches)\n");
    const StudyDepths depths;
    Stopwatch stopwatch;
    HintSearch search(stopwatch.Options());
    for (const Named& position : positions) {
        const std::vector<HintPass> plan = PlanHintPasses(CountCells(position.board, 0), depths);
        std::vector<std::vector<double>> arrivals(plan.size());
        for (int run = 0; run < runs; ++run) {
            const std::vector<double> times =
                stopwatch.Run(search, position.board, depths, plan.size());
            for (size_t i = 0; i < times.size(); ++i) arrivals[i].push_back(times[i]);
        }
        std::printf("%s\n", position.name);
        for (size_t i = 0; i < plan.size(); ++i)
            std::printf("    %-12s first %9.2f   median %9.2f\n", PassName(plan[i]).c_str(),
                        arrivals[i].front(), Median(arrivals[i]));
    }

    std::printf("\n2. one analysis of every move per depth (ms, median; 8 and 9 once)\n%-24s",
                "depth");
    for (int depth = 1; depth <= 9; ++depth) std::printf("%9d", depth);
    std::printf("\n");
    for (int p = 0; p < 2; ++p) {
        std::printf("%-24s", positions[p].name);
        for (int depth = 1; depth <= 9; ++depth) {
            std::vector<double> times;
            for (int run = 0; run < (depth <= 7 ? runs : 1); ++run) {
                AnalysisOptions options = HintPassOptions({HintKind::kEvaluation, depth});
                options.threads = threads;
                SearchCancel cancel;
                const Clock::time_point start = Clock::now();
                AnalyseAllMoves(positions[p].board, options, cancel);
                times.push_back(MsSince(start));
            }
            std::printf("%9.2f", Median(times));
        }
        std::printf("\n");
    }

    std::printf(
        "\n3. a new position during an endless perfect pass: Start to its first pass (ms)\n");
    StudyDepths endless;
    endless.normalDepth = 3;
    endless.perfectDepth = 60;
    std::vector<double> waits;
    for (int run = 0; run < runs; ++run) {
        stopwatch.Run(search, positions[1].board, endless, 1);  // then the perfect pass runs
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        waits.push_back(stopwatch.Run(search, positions[0].board, depths, 1).front());
    }
    std::printf("%-24s  median %.2f, worst %.2f\n", "start after it", Median(waits),
                *std::max_element(waits.begin(), waits.end()));
    search.Stop();
    return 0;
}
