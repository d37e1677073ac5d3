#include "match.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>

#include "board_functions.h"
#include "computer_player.h"
#include "file_io.h"
#include "game_file.h"
#include "game_record.h"
#include "gtp.h"
#include "player_settings.h"
#include "position_text.h"
#include "texts.h"

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tavik_tools {

using tavik::InitialBoard;
using tavik::SquareName;

namespace {

using Clock = std::chrono::steady_clock;

// Our engine, answering in this process through the same protocol as any other.
class InProcessPlayer : public MatchPlayer {
public:
    InProcessPlayer(std::string name, ComputerDepths depths)
        : name_(std::move(name)),
          engine_(
              [depths](const BoardState& board, const std::vector<char>* line) {
                  return ComputerMove(board, line, depths);
              },
              "") {}
    const std::string& Name() const override { return name_; }
    bool Ask(const std::string& command, double, std::string& answer, std::string& error) override {
        const std::string reply = engine_.Handle(command);
        const std::string text = reply.size() >= 4 ? reply.substr(2, reply.size() - 4) : "";
        if (reply.rfind("= ", 0) == 0) {
            answer = text;
            return true;
        }
        error = text;
        return false;
    }

private:
    std::string name_;
    GtpEngine engine_;
};

#ifndef _WIN32
// Another engine as a child process on two pipes, started by the shell so that its command line
// may hold options. It gets a process group of its own, so a hung engine is killed with every
// process it started.
class ChildPlayer : public MatchPlayer {
public:
    explicit ChildPlayer(std::string command) : name_(std::move(command)) {
        // A child that dies makes our next write fail instead of ending this process.
        signal(SIGPIPE, SIG_IGN);
    }
    ~ChildPlayer() override { Stop(); }
    const std::string& Name() const override { return name_; }
    bool Broken() const override { return pid_ <= 0; }

    bool Restart(std::string& error) override {
        Stop();
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0) return Fail("cannot make a pipe", error);
        if (pipe(fromChild) != 0) {
            close(toChild[0]);
            close(toChild[1]);
            return Fail("cannot make a pipe", error);
        }
        const pid_t pid = fork();
        if (pid < 0) return Fail("cannot start a process", error);
        if (pid == 0) {
            setpgid(0, 0);
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, 2);  // the engine's chatter is not its answer
            for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);
            execl("/bin/sh", "sh", "-c", name_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        setpgid(pid, pid);
        close(toChild[0]);
        close(fromChild[1]);
        pid_ = pid;
        in_ = toChild[1];
        out_ = fromChild[0];
        pending_.clear();
        return true;
    }

    bool Ask(const std::string& command, double timeoutSeconds, std::string& answer,
             std::string& error) override {
        if (pid_ <= 0) return Fail("the engine is not running", error);
        const std::string line = command + "\n";
        for (size_t written = 0; written < line.size();) {
            const ssize_t n = write(in_, line.data() + written, line.size() - written);
            if (n <= 0) return Lost("the engine died", error);
            written += static_cast<size_t>(n);
        }
        // An answer ends with an empty line; anything before the first '=' or '?' line is not
        // an answer at all.
        const auto deadline = Clock::now() + std::chrono::duration<double>(timeoutSeconds);
        for (;;) {
            const std::string::size_type end = pending_.find("\n\n");
            if (end != std::string::npos) {
                std::string reply = pending_.substr(0, end);
                pending_.erase(0, end + 2);
                const size_t start = reply.find_first_not_of('\n');
                reply = start == std::string::npos ? "" : reply.substr(start);
                if (reply.empty() || (reply[0] != '=' && reply[0] != '?'))
                    return Lost("answered garbage: " + reply.substr(0, 80), error);
                // Past "=" or "?" and an optional number comes the text.
                size_t text = 1;
                while (text < reply.size() && std::isdigit(static_cast<unsigned char>(reply[text])))
                    ++text;
                while (text < reply.size() && reply[text] == ' ') ++text;
                (reply[0] == '=' ? answer : error) = reply.substr(text);
                return reply[0] == '=';
            }
            if (pending_.size() > 1 << 20) return Lost("answered more than a megabyte", error);
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return Lost("hung: no answer within the move time", error);
            pollfd wait{out_, POLLIN, 0};
            const int ready =
                poll(&wait, 1, static_cast<int>(std::min<int64_t>(left.count(), 1000)));
            if (ready <= 0) continue;  // a signal, or a second of the wait gone
            char buffer[4096];
            const ssize_t n = read(out_, buffer, sizeof buffer);
            if (n <= 0) return Lost("the engine died", error);
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] != '\r')
                    pending_ += buffer[i];  // engines built for Windows end lines so
            }
        }
    }

private:
    static bool Fail(const std::string& why, std::string& error) {
        error = why;
        return false;
    }
    bool Lost(const std::string& why, std::string& error) {
        Stop();
        return Fail(why, error);
    }
    void Stop() {
        if (in_ >= 0) close(in_);
        if (out_ >= 0) close(out_);
        in_ = out_ = -1;
        if (pid_ > 0) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }

    std::string name_;
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string pending_;
};
#endif

// The fault of one side ends the game: it loses, whatever the discs say.
GameOutcome& Forfeit(GameOutcome& game, int colour, const std::string& name,
                     const std::string& why) {
    game.winner = -colour;
    game.fault = (colour == 1 ? "black (" : "white (") + name + ") " + why;
    return game;
}

}  // namespace

std::unique_ptr<MatchPlayer> MakeMatchPlayer(const std::string& description, std::string& error) {
    if (description.rfind("tavik:", 0) == 0) {
        std::string preset = description.substr(6);
        ComputerDepths depths;
        const std::string noBook = ":no-book";
        if (preset.size() > noBook.size() &&
            preset.compare(preset.size() - noBook.size(), noBook.size(), noBook) == 0) {
            preset.erase(preset.size() - noBook.size());
            depths.book = false;
        }
        error = ParseComputerDepths(preset, depths);
        if (!error.empty()) return nullptr;
        return std::make_unique<InProcessPlayer>(description, depths);
    }
    if (description.rfind("gtp:", 0) == 0 && description.size() > 4) {
#ifndef _WIN32
        auto player = std::make_unique<ChildPlayer>(description.substr(4));
        if (!player->Restart(error)) return nullptr;
        return player;
#else
        error = "gtp: engines as child processes need the Linux build of tavik-cli";
        return nullptr;
#endif
    }
    error = "'" + description + "' is no player: tavik:PRESET or gtp:COMMAND";
    return nullptr;
}

GameOutcome PlayMatchGame(MatchPlayer& black, MatchPlayer& white, const std::vector<int>& opening,
                          double moveTimeoutSeconds) {
    GameOutcome game;
    MatchPlayer* players[2] = {&black, &white};
    auto player = [&](int colour) -> MatchPlayer& { return *players[colour == 1 ? 0 : 1]; };
    std::string answer, error;
    for (int colour : {1, -1}) {
        MatchPlayer& p = player(colour);
        if (p.Broken() && !p.Restart(error))
            return Forfeit(game, colour, p.Name(), "did not start: " + error);
        for (const char* command : {"boardsize 8", "clear_board"}) {
            if (!p.Ask(command, moveTimeoutSeconds, answer, error))
                return Forfeit(game, colour, p.Name(),
                               std::string("refused ") + command + ": " + error);
        }
    }
    BoardState board = InitialBoard();
    size_t next = 0;  // the next move of the opening
    for (;;) {
        const bool blackCan = tavik::HasMoveFor(board, 1), whiteCan = tavik::HasMoveFor(board, -1);
        if (!blackCan && !whiteCan) break;
        if (!tavik::HasMoveFor(board, board.sideToMove)) board.sideToMove = -board.sideToMove;
        const int colour = board.sideToMove;
        const char* name = colour == 1 ? "b" : "w";
        int cell;
        if (next < opening.size()) {
            cell = opening[next++];
            if (!CanDrop(&board, cell)) {
                game.fault = "the opening's move " + GtpVertex(cell) + " is not legal";
                return game;
            }
            if (!player(colour).Ask(std::string("play ") + name + " " + GtpVertex(cell),
                                    moveTimeoutSeconds, answer, error))
                return Forfeit(game, colour, player(colour).Name(),
                               "refused the opening's " + GtpVertex(cell) + ": " + error);
        } else {
            const auto start = Clock::now();
            const bool answered = player(colour).Ask(std::string("genmove ") + name,
                                                     moveTimeoutSeconds, answer, error);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            const int side = colour == 1 ? 0 : 1;
            game.totalThink[side] += seconds;
            game.longestThink[side] = std::max(game.longestThink[side], seconds);
            if (!answered)
                return Forfeit(game, colour, player(colour).Name(), "failed genmove: " + error);
            cell = ParseSquare(answer);
            if (cell == 0 || !CanDrop(&board, cell))
                return Forfeit(game, colour, player(colour).Name(),
                               "played an illegal move: '" + answer.substr(0, 40) + "'");
        }
        ReverseStones(&board, cell);
        game.moves.push_back(cell);
        MatchPlayer& other = player(-colour);
        if (!other.Ask(std::string("play ") + name + " " + GtpVertex(cell), moveTimeoutSeconds,
                       answer, error))
            return Forfeit(game, -colour, other.Name(),
                           "refused the legal move " + GtpVertex(cell) + ": " + error);
    }
    game.blackDiscs = tavik::CountCells(board, 1);
    game.whiteDiscs = tavik::CountCells(board, -1);
    game.winner = game.blackDiscs > game.whiteDiscs   ? 1
                  : game.blackDiscs < game.whiteDiscs ? -1
                                                      : 0;
    return game;
}

std::vector<int> RandomOpening(int plies, uint32_t seed) {
    std::mt19937 random(seed);
    for (;;) {
        BoardState board = InitialBoard();
        std::vector<int> moves;
        while (static_cast<int>(moves.size()) < plies) {
            if (!tavik::HasMoveFor(board, board.sideToMove)) board.sideToMove = -board.sideToMove;
            std::vector<int> legal;
            for (int cell = 10; cell <= 80; ++cell) {
                if (CanDrop(&board, cell)) legal.push_back(cell);
            }
            if (legal.empty()) break;
            const int cell = legal[random() % legal.size()];
            ReverseStones(&board, cell);
            moves.push_back(cell);
        }
        if (static_cast<int>(moves.size()) == plies &&
            (tavik::HasMoveFor(board, 1) || tavik::HasMoveFor(board, -1)))
            return moves;
    }
}

EloEstimate EstimateElo(int wins, int draws, int losses) {
    const double games = wins + draws + losses;
    EloEstimate e{0.5, 0, 0, 0};
    if (games <= 0) return e;
    e.score = (wins + 0.5 * draws) / games;
    auto elo = [](double score) {
        if (score <= 0) return -std::numeric_limits<double>::infinity();
        if (score >= 1) return std::numeric_limits<double>::infinity();
        return -400.0 * std::log10(1.0 / score - 1.0);
    };
    // The spread of one game's points around the mean, then of the mean of `games` of them.
    const double s = e.score;
    const double variance =
        (wins * (1 - s) * (1 - s) + draws * (0.5 - s) * (0.5 - s) + losses * s * s) / games;
    const double margin = 1.959964 * std::sqrt(variance / games);
    e.elo = elo(s);
    e.low = elo(s - margin);
    e.high = elo(s + margin);
    return e;
}

namespace {

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

std::string EloText(double elo) {
    if (std::isinf(elo)) return elo > 0 ? "+inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%+.0f", elo);
    return text;
}

bool SaveGame(const std::string& path, const GameOutcome& game, const std::string& blackName,
              const std::string& whiteName) {
    auto record = std::make_unique<tavik::GameRecord>();
    tavik::ClearRecord(*record);
    std::strncpy(record->blackName, tavik::CutToBytes(blackName, tavik::kNameBytes - 1).c_str(),
                 tavik::kNameBytes - 1);
    std::strncpy(record->whiteName, tavik::CutToBytes(whiteName, tavik::kNameBytes - 1).c_str(),
                 tavik::kNameBytes - 1);
    BoardState board = InitialBoard();
    for (int cell : game.moves) {
        if (!tavik::HasMoveFor(board, board.sideToMove)) board.sideToMove = -board.sideToMove;
        const int side = board.sideToMove;
        ReverseStones(&board, cell);
        tavik::RecordMove(*record, 60 - tavik::CountCells(board, 0), side, cell, 0, 0, 0, "");
    }
    const std::vector<uint8_t> file = tavik::EncodeGameFile(*record);
    return tavik::WriteFileReplacing(path, file.data(), file.size()) == tavik::FileError::kNone;
}

bool ReadCount(const std::string& text, int low, int high, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

int MatchCommand(const std::vector<std::string>& args, std::string& error) {
    const std::string usage =
        "usage: tavik-cli match A B --games N [--openings FILE | --random-openings K] [--seed S]"
        " [--out DIR] [--move-timeout SECONDS]  (A, B: tavik:PRESET or gtp:COMMAND)";
    if (args.size() < 2) {
        error = usage;
        return 2;
    }
    int games = 2, plies = 8, seed = 1, timeout = 600;
    std::string openingsFile, out;
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool hasValue = i + 1 < args.size();
        if (option == "--games" && hasValue) {
            if (!ReadCount(args[++i], 1, 100000, games))
                return error = "--games takes 1 to 100000", 2;
        } else if (option == "--random-openings" && hasValue) {
            if (!ReadCount(args[++i], 0, 40, plies))
                return error = "--random-openings takes 0 to 40 plies", 2;
        } else if (option == "--seed" && hasValue) {
            if (!ReadCount(args[++i], 0, 2147483647, seed))
                return error = "--seed takes a number", 2;
        } else if (option == "--move-timeout" && hasValue) {
            if (!ReadCount(args[++i], 1, 86400, timeout))
                return error = "--move-timeout takes 1 to 86400 s", 2;
        } else if (option == "--openings" && hasValue) {
            openingsFile = args[++i];
        } else if (option == "--out" && hasValue) {
            out = args[++i];
        } else {
            error = "unexpected argument '" + option + "'; " + usage;
            return 2;
        }
    }
    std::vector<std::vector<int>> openings;
    if (!openingsFile.empty()) {
        std::ifstream file(openingsFile);
        if (!file) return error = "cannot read '" + openingsFile + "'", 2;
        const auto record = std::make_unique<tavik::GameRecord>();
        for (std::string line; std::getline(file, line);) {
            line.erase(
                std::remove_if(line.begin(), line.end(),
                               [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
                line.end());
            if (line.empty() || line[0] == '#') continue;
            if (const std::string problem = ReadTranscript(line, *record); !problem.empty())
                return error = openingsFile + ": " + problem, 2;
            std::vector<int> moves;
            for (int j = 0; j < tavik::RecordedMoves(*record); ++j)
                moves.push_back(record->moves[j].square);
            openings.push_back(moves);
        }
        if (openings.empty()) return error = openingsFile + " holds no opening", 2;
    }
    std::unique_ptr<MatchPlayer> a = MakeMatchPlayer(args[0], error);
    if (!a) return 2;
    std::unique_ptr<MatchPlayer> b = MakeMatchPlayer(args[1], error);
    if (!b) return 2;

    int wins = 0, draws = 0, losses = 0;
    double total[2] = {0, 0}, longest[2] = {0, 0};  // A, B
    for (int g = 0; g < games; ++g) {
        const int pair = g / 2;
        const std::vector<int> opening =
            openingsFile.empty()
                ? RandomOpening(plies, static_cast<uint32_t>(seed) * 1000003u + pair)
                : openings[pair % openings.size()];
        const bool aBlack = g % 2 == 0;
        MatchPlayer& black = aBlack ? *a : *b;
        MatchPlayer& white = aBlack ? *b : *a;
        std::fprintf(stderr, "game %d/%d: %s (black) - %s (white)...\n", g + 1, games,
                     black.Name().c_str(), white.Name().c_str());
        const GameOutcome game = PlayMatchGame(black, white, opening, timeout);
        const int aColour = aBlack ? 1 : -1;
        if (game.winner == aColour) {
            ++wins;
        } else if (game.winner == 0) {
            ++draws;
        } else {
            ++losses;
        }
        for (int side = 0; side < 2; ++side) {
            const int who = (side == 0) == aBlack ? 0 : 1;  // black is A when A has black
            total[who] += game.totalThink[side];
            longest[who] = std::max(longest[who], game.longestThink[side]);
        }
        std::string openingText;
        for (int cell : opening) openingText += GtpVertex(cell);
        const char* result = game.winner == aColour ? "A wins"
                             : game.winner == 0     ? "draw"
                                                    : "B wins";
        std::printf("game %d  opening %s  black %s  %d-%d  %s  longest think A %s B %s%s%s\n",
                    g + 1, openingText.empty() ? "-" : openingText.c_str(), aBlack ? "A" : "B",
                    game.blackDiscs, game.whiteDiscs, result,
                    Seconds(game.longestThink[aBlack ? 0 : 1]).c_str(),
                    Seconds(game.longestThink[aBlack ? 1 : 0]).c_str(),
                    game.fault.empty() ? "" : "  forfeit: ", game.fault.c_str());
        std::fflush(stdout);
        if (!out.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "/game-%03d.tvk", g + 1);
            if (!SaveGame(out + name, game, black.Name(), white.Name()))
                std::fprintf(stderr, "cannot write %s%s\n", out.c_str(), name);
        }
    }
    const EloEstimate e = EstimateElo(wins, draws, losses);
    std::printf("A = %s\nB = %s\n", a->Name().c_str(), b->Name().c_str());
    std::printf("A: %d wins, %d draws, %d losses of %d; score %.1f %%\n", wins, draws, losses,
                games, 100 * e.score);
    std::printf("Elo of A against B: %s (95 %%: %s .. %s)\n", EloText(e.elo).c_str(),
                EloText(e.low).c_str(), EloText(e.high).c_str());
    std::printf("thinking: A %s in all, longest %s; B %s in all, longest %s\n",
                Seconds(total[0]).c_str(), Seconds(longest[0]).c_str(), Seconds(total[1]).c_str(),
                Seconds(longest[1]).c_str());
    return 0;
}

}  // namespace tavik_tools
