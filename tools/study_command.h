// tavik-cli analyse and best: the study menu's analyses and best move from the command line,
// with the same rows and answers as the game's windows.
#ifndef TAVIK_TOOLS_STUDY_COMMAND_H
#define TAVIK_TOOLS_STUDY_COMMAND_H

#include <string>
#include <vector>

namespace tavik_tools {

// `args` are the words after the command. analyse: POSITION --mode eval|win|perfect|openness
// [--depth D] [--perfect-depth P] [--threads N]; prints the list as the window shows it, one
// row a line: SQUARE VALUE NODES (openness rows 0 nodes). best: POSITION [--depth D]
// [--perfect-depth P]; prints SQUARE VALUE NODES of the engine's answer ("--" when no move is
// legal). On bad input both answer false with one line in `error` and print nothing.
bool AnalyseCommand(const std::vector<std::string>& args, std::string& error);
bool BestCommand(const std::vector<std::string>& args, std::string& error);

// The analysis of all moves on one position with one thread and with `threads`, timed in one
// run: the line tavik-cli bench prints. Answers false when the two lists differ.
bool BenchAnalysis(int threads);

}  // namespace tavik_tools

#endif
