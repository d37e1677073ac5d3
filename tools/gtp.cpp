#include "gtp.h"

#include <cctype>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <sstream>

#include "board_functions.h"
#include "position_text.h"
#include "texts.h"

namespace tavik_tools {

using tavik::InitialBoard;
using tavik::SquareName;

namespace {

std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

}  // namespace

std::string GtpVertex(int cell) { return Lower(SquareName(cell)); }

namespace {

bool IsNumber(const std::string& text) {
    if (text.empty() || text.size() > 30) return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

// The command line as the protocol wants it read: control characters other than tabs and line
// ends dropped, a comment from '#' on dropped, tabs as spaces, then split into words.
std::vector<std::string> Words(const std::string& line) {
    std::string clean;
    for (char ch : line) {
        if (ch == '#') break;
        if (ch == '\t') ch = ' ';
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 32 || byte == 127) continue;
        clean += ch;
    }
    std::istringstream in(clean);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace

int ParseGtpColour(const std::string& text) {
    const std::string colour = Lower(text);
    if (colour == "black" || colour == "b") return 1;
    if (colour == "white" || colour == "w") return -1;
    return 0;
}

namespace {

// The colour that a move command's first argument names, or 0 with `error` set (too few
// arguments, or no colour).
int MoveColour(const std::vector<std::string>& args, size_t needed, std::string& error) {
    if (args.size() < needed) {
        error = "syntax error";
        return 0;
    }
    const int colour = ParseGtpColour(args[0]);
    if (colour == 0) error = "invalid color";
    return colour;
}

// A colour out of turn moves only after the colour to move was skipped for want of a move.
bool OutOfTurn(const BoardState& board, int colour) {
    return colour != board.sideToMove && tavik::HasMoveFor(board, board.sideToMove);
}

}  // namespace

const std::vector<std::string>& GtpEngine::Commands() {
    static const std::vector<std::string> commands = {"protocol_version",
                                                      "name",
                                                      "version",
                                                      "known_command",
                                                      "list_commands",
                                                      "quit",
                                                      "boardsize",
                                                      "clear_board",
                                                      "komi",
                                                      "play",
                                                      "genmove",
                                                      "undo",
                                                      "showboard",
                                                      "final_score",
                                                      "time_settings",
                                                      "time_left",
                                                      "set_position"};
    return commands;
}

GtpEngine::GtpEngine(GtpMoveChooser chooser, std::string version)
    : chooser_(std::move(chooser)), version_(std::move(version)) {
    history_.push_back({InitialBoard(), {}, true});
}

std::string GtpEngine::Handle(const std::string& line) {
    std::vector<std::string> words = Words(line);
    if (words.empty()) return "";
    std::string id;
    if (words[0].find_first_not_of("0123456789") == std::string::npos) {
        id = words[0];
        words.erase(words.begin());
        if (words.empty()) return "?" + id + " missing command\n\n";
    }
    const std::string command = words[0];
    words.erase(words.begin());
    std::string error;
    const std::string text = Run(command, words, error);
    if (!error.empty()) return "?" + id + " " + error + "\n\n";
    return "=" + id + " " + text + "\n\n";
}

std::string GtpEngine::Run(const std::string& command, const std::vector<std::string>& args,
                           std::string& error) {
    auto need = [&](size_t count) {
        if (args.size() >= count) return true;
        error = "syntax error";
        return false;
    };
    if (command == "protocol_version") return "2";
    if (command == "name") return "Tavik";
    if (command == "version") return version_;
    if (command == "known_command") {
        if (!need(1)) return "";
        for (const std::string& known : Commands()) {
            if (known == args[0]) return "true";
        }
        return "false";
    }
    if (command == "list_commands") {
        std::string text;
        for (const std::string& known : Commands()) text += (text.empty() ? "" : "\n") + known;
        return text;
    }
    if (command == "quit") {
        quit_ = true;
        return "";
    }
    if (command == "boardsize") {
        if (!need(1)) return "";
        if (args[0] != "8") error = "unacceptable size";
        return "";
    }
    if (command == "clear_board") {
        history_.assign(1, {InitialBoard(), {}, true});
        return "";
    }
    if (command == "komi") {
        if (!need(1)) return "";
        if (!IsNumber(args[0])) error = "komi not a float";
        return "";
    }
    // The preset decides how long a move takes; the clock's settings are taken and let be.
    if (command == "time_settings" || command == "time_left") {
        if (!need(3)) return "";
        for (size_t i = command == "time_left" ? 1 : 0; i < 3; ++i) {
            if (!IsNumber(args[i])) error = "syntax error";
        }
        if (command == "time_left" && ParseGtpColour(args[0]) == 0) error = "invalid color";
        return "";
    }
    if (command == "play") return Play(args, error);
    if (command == "genmove") return GenMove(args, error);
    if (command == "undo") {
        if (history_.size() < 2) {
            error = "cannot undo";
        } else {
            history_.pop_back();
        }
        return "";
    }
    if (command == "showboard") return "\n" + Picture(Board());
    if (command == "final_score") return FinalScore();
    if (command == "set_position") return SetPosition(args, error);
    error = "unknown command";
    return "";
}

std::string GtpEngine::Play(const std::vector<std::string>& args, std::string& error) {
    const int colour = MoveColour(args, 2, error);
    if (colour == 0) return "";
    Position next = history_.back();
    BoardState& board = next.board;
    if (Lower(args[1]) == "pass") {
        // Only a colour without a move may pass; the other colour is then to move.
        if (tavik::HasMoveFor(board, colour)) {
            error = "illegal move";
            return "";
        }
        board.sideToMove = -colour;
        history_.push_back(next);
        return "";
    }
    const int cell = ParseSquare(args[1]);
    if (cell == 0) {
        error = "invalid vertex";
        return "";
    }
    if (OutOfTurn(board, colour)) {
        error = "illegal move";
        return "";
    }
    board.sideToMove = colour;
    if (!ReverseStones(&board, cell)) {
        error = "illegal move";
        return "";
    }
    next.line.push_back(static_cast<char>(cell));
    history_.push_back(next);
    return "";
}

std::string GtpEngine::GenMove(const std::vector<std::string>& args, std::string& error) {
    const int colour = MoveColour(args, 1, error);
    if (colour == 0) return "";
    Position next = history_.back();
    BoardState& board = next.board;
    if (OutOfTurn(board, colour)) {
        error = "not " + args[0] + "'s turn";
        return "";
    }
    board.sideToMove = colour;
    if (!tavik::HasMoveFor(board, colour)) {
        board.sideToMove = -colour;
        history_.push_back(next);
        return "pass";
    }
    const int32_t cell = chooser_(board, next.fromStart ? &next.line : nullptr);
    if (!ReverseStones(&board, cell)) {
        error = "the engine found no move";
        return "";
    }
    next.line.push_back(static_cast<char>(cell));
    history_.push_back(next);
    return GtpVertex(cell);
}

std::string GtpEngine::SetPosition(const std::vector<std::string>& args, std::string& error) {
    if (args.size() < 2) {
        error = "syntax error (set_position DIAGRAM COLOR: 64 squares A1..H8 of X, O, -)";
        return "";
    }
    const int colour = ParseGtpColour(args[1]);
    if (colour == 0) {
        error = "invalid color";
        return "";
    }
    BoardState board{};
    const std::string problem = ParseDiagram(args[0], colour == 1 ? "X" : "O", board);
    if (!problem.empty()) {
        error = problem;
        return "";
    }
    history_.push_back({board, {}, false});
    return "";
}

std::string GtpEngine::FinalScore() const {
    int difference = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        const int32_t v = Board().cells[cell];
        if (v == 1 || v == -1) difference += v;
    }
    if (difference == 0) return "0";
    return (difference > 0 ? "B+" : "W+") + std::to_string(std::abs(difference));
}

int RunGtp(std::istream& in, std::ostream& out, GtpEngine& engine) {
    for (std::string line; !engine.QuitRequested() && std::getline(in, line);) {
        const std::string answer = engine.Handle(line);
        if (!answer.empty()) out << answer << std::flush;
    }
    return 0;
}

}  // namespace tavik_tools
