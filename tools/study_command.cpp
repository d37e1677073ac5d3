#include "study_command.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "analysis.h"
#include "position_text.h"
#include "texts.h"

namespace tavik_tools {

namespace {

using tavik::StudyDepths;
using tavik::StudyMode;

bool ReadNumber(const std::string& text, long low, long high, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

struct StudyArgs {
    BoardState board;
    StudyMode mode = StudyMode::kEvaluate;
    bool modeGiven = false;
    StudyDepths depths;  // the game's defaults: 7 plies, perfect from 16 empty squares
    int threads = 0;     // 0: every processor
};

bool ReadStudyArgs(const std::vector<std::string>& args, bool analyse, StudyArgs& out, std::string& error) {
    size_t i = 0;
    error = ReadPosition(args, i, out.board);
    if (!error.empty()) return false;
    for (; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : "";
        if (analyse && option == "--mode" && hasValue) {
            const struct {
                const char* name;
                StudyMode mode;
            } modes[] = {{"eval", StudyMode::kEvaluate},
                         {"openness", StudyMode::kOpenness},
                         {"win", StudyMode::kWinLoss},
                         {"perfect", StudyMode::kPerfect}};
            out.modeGiven = false;
            for (const auto& m : modes)
                if (value == m.name) {
                    out.mode = m.mode;
                    out.modeGiven = true;
                }
            if (!out.modeGiven) return error = "--mode takes eval, win, perfect or openness", false;
        } else if (option == "--depth" && hasValue) {
            if (!ReadNumber(value, 1, 60, out.depths.normalDepth))
                return error = "--depth takes a number of plies from 1 to 60", false;
        } else if (option == "--perfect-depth" && hasValue) {
            if (!ReadNumber(value, 0, 60, out.depths.perfectDepth))
                return error = "--perfect-depth takes a number of empty squares from 0 to 60", false;
        } else if (analyse && option == "--threads" && hasValue) {
            if (!ReadNumber(value, 1, 64, out.threads)) return error = "--threads takes a number from 1 to 64", false;
        } else {
            return error = "unexpected argument '" + option + "'", false;
        }
        ++i;
    }
    if (analyse && !out.modeGiven) return error = "analyse needs --mode eval|win|perfect|openness", false;
    return true;
}

int Processors() {
    const unsigned count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : static_cast<int>(count);
}

void PrintRow(const ThinkResult& row) {
    std::printf("%s %d %d\n", tavik::SquareName(row.move).c_str(), row.value, row.nodes);
}

}  // namespace

bool AnalyseCommand(const std::vector<std::string>& args, std::string& error) {
    StudyArgs study;
    if (!ReadStudyArgs(args, true, study, error)) return false;
    tavik::AnalysisOptions options;
    options.mode = study.mode;
    options.depths = study.depths;
    options.threads = study.threads ? study.threads : Processors();
    tavik::SearchCancel cancel;
    const auto rows = tavik::AnalyseAllMoves(study.board, options, cancel);
    for (const ThinkResult& row : *rows) PrintRow(row);
    return true;
}

bool BestCommand(const std::vector<std::string>& args, std::string& error) {
    StudyArgs study;
    if (!ReadStudyArgs(args, false, study, error)) return false;
    tavik::SearchCancel cancel;
    PrintRow(*tavik::FindBestMove(study.board, study.depths, cancel));
    return true;
}

bool BenchAnalysis(int threads) {
    // A middle-game position with many moves: each is one full search at the study depth.
    BoardState board;
    ParseTranscript("f5d6c3d3c4f4c5b3c2e6", board);
    tavik::AnalysisOptions options;
    options.depths.normalDepth = 9;
    tavik::SearchCancel cancel;
    double seconds[2];
    std::vector<ThinkResult> lists[2];
    for (int run = 0; run < 2; ++run) {
        options.threads = run == 0 ? 1 : threads;
        const auto start = std::chrono::steady_clock::now();
        lists[run] = *tavik::AnalyseAllMoves(board, options, cancel);
        seconds[run] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    bool same = lists[0].size() == lists[1].size();
    long long nodes = 0;
    for (size_t i = 0; same && i < lists[0].size(); ++i) {
        same = lists[0][i].move == lists[1][i].move && lists[0][i].value == lists[1][i].value &&
               lists[0][i].nodes == lists[1][i].nodes;
        nodes += lists[0][i].nodes;
    }
    // each search of a move already uses every processor inside Think; the figure is what
    // spreading the moves over threads adds to that
    std::printf("\nanalysis of all %zu moves at depth %d (%lld nodes): 1 thread %.3f s, %d threads %.3f s, "
                "speed-up %.2fx (each search on every processor)%s\n",
                lists[0].size(), options.depths.normalDepth, nodes, seconds[0], threads, seconds[1],
                seconds[1] > 0 ? seconds[0] / seconds[1] : 0.0, same ? "" : "  MISMATCH between the lists");
    return same;
}

}  // namespace tavik_tools
