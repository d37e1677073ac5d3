// tavik-cli: the engine from the command line, for people and scripts.
//
//   tavik-cli moves  POSITION                 legal moves with their openness
//   tavik-cli eval   POSITION                 static evaluation for the side to move
//   tavik-cli think  POSITION [MODE] [--force] [--threads N]
//                                             best move: MODE is --depth N (default 6),
//                                             --winloss or --perfect; N threads search
//                                             (default: every processor)
//   tavik-cli show   POSITION                 the board as a picture and as a diagram
//   tavik-cli analyse POSITION --mode M [--depth D] [--perfect-depth P] [--threads N]
//                                             every legal move as the study window lists it
//                                             (M: eval, win, perfect, openness)
//   tavik-cli best   POSITION [--depth D] [--perfect-depth P]   the study menu's best move
//   tavik-cli bench  [--quick] [--threads N]  the speed gauge and node signature
//   tavik-cli book   LINE [--draw N]          the opening book's candidates for a line
//   tavik-cli game   show|validate FILE       a game file's moves, or whether it is sound
//   tavik-cli game   make TRANSCRIPT FILE     a game file from a transcript
//   tavik-cli game   export FILE OUTPUT       the record as text or HTML through a template
//   tavik-cli gtp    [--preset P | --depth N --win W --perfect E] [--no-book]
//                                             the engine for other programs: GTP version 2 on
//                                             standard input and output (P: weak, normal, strong)
//   tavik-cli match  A B --games N [--openings FILE | --random-openings K] [--seed S]
//                    [--out DIR] [--move-timeout SECONDS]
//                                             a match between engines (tavik:PRESET, gtp:COMMAND)
//   tavik-cli version
//
// POSITION is "start", a transcript from the initial position ("f5d6c3d3"), or a 64-character
// diagram (A1..H8 by rows; X, O, -) followed by the side to move (X or O).
// Bad input gets one line on stderr and exit status 2.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "bench.h"
#include "board_functions.h"
#include "book_command.h"
#include "computer_player.h"
#include "game_command.h"
#include "gtp.h"
#include "match.h"
#include "ostrakon.h"
#include "position_text.h"
#include "search.h"
#include "search_build.h"
#include "study_command.h"
#include "texts.h"

using namespace tavik_tools;

namespace {

constexpr int kUsageError = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "tavik-cli: %s\n", message.c_str());
    return kUsageError;
}

const char* kUsage =
    "usage: tavik-cli moves|eval|show POSITION\n"
    "       tavik-cli think POSITION [--depth N | --winloss | --perfect] [--force] [--threads N]\n"
    "       tavik-cli analyse POSITION --mode eval|win|perfect|openness [--depth D] "
    "[--perfect-depth P]\n"
    "                     [--threads N]\n"
    "       tavik-cli best POSITION [--depth D] [--perfect-depth P]\n"
    "       tavik-cli bench [--quick] [--threads N]\n"
    "       tavik-cli book LINE [--draw N]   (LINE: start or a transcript like f5d6)\n"
    "       tavik-cli game show|validate FILE | game make TRANSCRIPT FILE [--black N] [--white N]\n"
    "       tavik-cli game export FILE OUTPUT [--program-dir DIR]   (DIR/templates/...)\n"
    "       tavik-cli gtp [--preset weak|normal|strong | --depth N --win W --perfect P] "
    "[--no-book]\n"
    "       tavik-cli match A B --games N [--openings FILE | --random-openings K] [--seed S]\n"
    "                     [--out DIR] [--move-timeout SECONDS]   (A, B: tavik:PRESET | "
    "gtp:COMMAND)\n"
    "       tavik-cli version\n"
    "POSITION: start | a transcript like f5d6c3 | 64 squares A1..H8 (X, O, -) and X or O\n";

int Moves(const BoardState& board) {
    int count = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        if (!CanDrop(&board, cell)) continue;
        std::printf("%s openness %d\n", tavik::SquareName(cell).c_str(), GetOpenness(&board, cell));
        ++count;
    }
    if (count == 0) std::printf(tavik::IsGameOver(board) ? "game over\n" : "no legal move: pass\n");
    return 0;
}

// A thread count for --threads: 1 to 64.
bool ReadThreads(const std::string& text, int& threads) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 64) return false;
    threads = static_cast<int>(value);
    return true;
}

int ThinkCommand(const BoardState& board, int depth, bool force, int threads) {
    ThinkResult result{};
    const auto start = std::chrono::steady_clock::now();
    ostrakon::ThinkCall(board, depth, result, force, nullptr, {threads});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("move   %s\n", tavik::SquareName(result.move).c_str());
    std::printf("value  %s (%d, black's view)\n", ValueText(result.value).c_str(), result.value);
    std::printf("nodes  %d\n", result.nodes);
    std::printf("time   %.3f s\n", seconds);
    return 0;
}

int Version() {
    VersionInfo info{};
    GetVersionInfo(&info);
    std::printf("%s %d.%d\n%s\n%s\n", info.productName, info.majorVersion, info.minorVersion,
                info.copyright, info.author);
    // which of the engine's builds searches here (a speed figure means little without it)
    std::printf("search build: %s\n", ostrakon::SearchBuildName(ostrakon::CurrentSearchBuild()));
    return 0;
}

// A number from `low` to `high` for an option.
bool ReadNumber(const std::string& text, int low, int high, int32_t& number) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high) return false;
    number = static_cast<int32_t>(value);
    return true;
}

int Gtp(const std::vector<std::string>& args) {
    ComputerDepths depths;
    if (const std::string error = ParseComputerDepths("normal", depths); !error.empty())
        return Fail(error);
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool hasValue = i + 1 < args.size();
        if (option == "--preset" && hasValue) {
            if (const std::string error = ParseComputerDepths(args[++i], depths); !error.empty())
                return Fail(error);
        } else if (option == "--depth" && hasValue) {
            if (!ReadNumber(args[++i], 1, 60, depths.normal))
                return Fail("--depth takes 1 to 60 plies");
        } else if (option == "--win" && hasValue) {
            if (!ReadNumber(args[++i], 0, 60, depths.win))
                return Fail("--win takes 0 to 60 empty squares");
        } else if (option == "--perfect" && hasValue) {
            if (!ReadNumber(args[++i], 0, 60, depths.perfect))
                return Fail("--perfect takes 0 to 60 empty squares");
        } else if (option == "--no-book") {
            depths.book = false;
        } else {
            return Fail("unexpected argument '" + option + "'");
        }
    }
    // The other side reads lines ended by "\n" alone, on every system.
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    VersionInfo info{};
    GetVersionInfo(&info);
    GtpEngine engine(
        [depths](const BoardState& board, const std::vector<char>* line) {
            return ComputerMove(board, line, depths);
        },
        std::to_string(info.majorVersion) + "." + std::to_string(info.minorVersion));
    return RunGtp(std::cin, std::cout, engine);
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    const std::string& command = args[0];
    if (command == "version") return Version();
    if (command == "gtp") return Gtp(args);
    if (command == "match") {
        std::string error;
        const int status = MatchCommand({args.begin() + 1, args.end()}, error);
        if (status != 0) std::fprintf(stderr, "tavik-cli: %s\n", error.c_str());
        return status;
    }
    if (command == "bench") {
        bool quick = false;
        int threads = 0;
        for (size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--threads" && i + 1 < args.size()) {
                if (!ReadThreads(args[++i], threads))
                    return Fail("--threads takes a number from 1 to 64");
            } else if (args[i] == "--quick") {
                quick = true;
            } else {
                return Fail("unknown bench option '" + args[i] + "'");
            }
        }
        return RunBench(quick, threads);
    }
    if (command == "game") {
        std::string error;
        const int status = GameCommand({args.begin() + 1, args.end()}, error);
        if (status != 0) {
            std::fprintf(stderr, "tavik-cli: %s\n", error.c_str());
        }
        return status;
    }
    if (command == "analyse" || command == "best") {
        std::string error;
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        return (command == "analyse" ? AnalyseCommand(rest, error) : BestCommand(rest, error))
                   ? 0
                   : Fail(error);
    }
    if (command == "book") {
        std::string error;
        return BookCommand({args.begin() + 1, args.end()}, error) ? 0 : Fail(error);
    }
    if (command != "moves" && command != "eval" && command != "think" && command != "show")
        return Fail(
            "unknown command '" + command +
            "' (moves, eval, think, show, analyse, best, bench, book, game, gtp, match, version)");

    size_t i = 1;
    BoardState board;
    if (const std::string error = ReadPosition(args, i, board); !error.empty()) return Fail(error);

    int depth = 6;
    bool force = false;
    int threads = 0;
    for (; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (command == "think" && option == "--depth" && i + 1 < args.size()) {
            char* end = nullptr;
            const long value = std::strtol(args[i + 1].c_str(), &end, 10);
            if (*end != '\0' || value < 1 || value > 60)
                return Fail("--depth takes a number of plies from 1 to 60");
            depth = static_cast<int>(value);
            ++i;
        } else if (command == "think" && option == "--winloss") {
            depth = 0;
        } else if (command == "think" && option == "--perfect") {
            depth = -1;
        } else if (command == "think" && option == "--force") {
            force = true;
        } else if (command == "think" && option == "--threads" && i + 1 < args.size()) {
            if (!ReadThreads(args[++i], threads))
                return Fail("--threads takes a number from 1 to 64");
        } else {
            return Fail("unexpected argument '" + option + "'");
        }
    }

    if (command == "moves") return Moves(board);
    if (command == "eval") {
        BoardState copy = board;
        std::printf("%d\n", EvalSituation(&copy));
        return 0;
    }
    if (command == "show") {
        std::printf("%s%s\n", Picture(board).c_str(), Diagram(board).c_str());
        return 0;
    }
    return ThinkCommand(board, depth, force, threads);
}

}  // namespace

int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
