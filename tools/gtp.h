// The engine as other programs drive it: the Go Text Protocol, version 2, as Othello programs use
// it (boardsize 8, colours black and white, vertices a1..h8 with A1 the top-left square).
//
// One command line in, one answer out: "=[id] text" or "?[id] message", each followed by an empty
// line. The engine keeps the game as a stack of positions, so `undo` takes back exactly what one
// `play` or `genmove` did. A colour that has no legal move may be skipped silently, as engines
// that never send "pass" do: a `play` or `genmove` for the other colour is then taken as coming
// after that colour's pass.
#ifndef TAVIK_TOOLS_GTP_H
#define TAVIK_TOOLS_GTP_H

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "ostrakon.h"

namespace tavik_tools {

// Chooses a move (a cell 10..80) for the side to move of `board`, which has a legal move.
// `line` holds the cells of the moves played from the initial position (passes not written),
// or is null when the game did not start there (after set_position), so no opening book applies.
using GtpMoveChooser =
    std::function<int32_t(const BoardState& board, const std::vector<char>* line)>;

class GtpEngine {
public:
    GtpEngine(GtpMoveChooser chooser, std::string version);

    // The answer to one input line, with its closing empty line; "" for a line that holds no
    // command (empty, or a comment).
    std::string Handle(const std::string& line);
    bool QuitRequested() const { return quit_; }
    const BoardState& Board() const { return history_.back().board; }

    static const std::vector<std::string>& Commands();

private:
    struct Position {
        BoardState board;
        std::vector<char> line;  // moves from the initial position
        bool fromStart;          // false after set_position: the line means nothing to the book
    };

    // Each answers the text after "= ", or sets `error` to the message after "? ".
    std::string Run(const std::string& command, const std::vector<std::string>& args,
                    std::string& error);
    std::string Play(const std::vector<std::string>& args, std::string& error);
    std::string GenMove(const std::vector<std::string>& args, std::string& error);
    std::string SetPosition(const std::vector<std::string>& args, std::string& error);
    std::string FinalScore() const;

    GtpMoveChooser chooser_;
    std::string version_;
    std::vector<Position> history_;
    bool quit_ = false;
};

// Reads commands from `in` until `quit` or the end of the input, writing each answer to `out` at
// once (flushed, since the other side waits for it). Answers 0.
int RunGtp(std::istream& in, std::ostream& out, GtpEngine& engine);

// The vertex of a move as answers write it: a lower-case column letter and the row digit.
std::string GtpVertex(int cell);

// "black"/"b"/"white"/"w" in any case: +1 or -1; 0 for anything else.
int ParseGtpColour(const std::string& text);

}  // namespace tavik_tools

#endif
