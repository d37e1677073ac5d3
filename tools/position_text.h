// Positions as text, for the command-line tool and the tests: a 64-character diagram (A1..H1,
// A2..H2, ..., A8..H8; X black, O white, - or . empty) with the side to move, or a transcript of
// moves from the initial position such as "f5d6c3d3" (any notation the game's paste takes).
#ifndef TAVIK_TOOLS_POSITION_TEXT_H
#define TAVIK_TOOLS_POSITION_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

#include "game_record.h"
#include "ostrakon.h"

namespace tavik_tools {

// Each parser answers an empty string on success, or one line saying what is wrong.
std::string ParseDiagram(const std::string& diagram, const std::string& side, BoardState& board);
// Plays the moves from the initial position; a side with no legal move passes by itself.
std::string ParseTranscript(const std::string& transcript, BoardState& board);
// The moves as a record, read by the game's own transcript reader; a blank transcript is the
// empty game. On refusal the record is left as it was.
std::string ReadTranscript(const std::string& transcript, tavik::GameRecord& record);

// A position from the command line's words at args[i...]: "start", a transcript, or a diagram
// and the side to move; `i` is moved past it.
std::string ReadPosition(const std::vector<std::string>& args, size_t& i, BoardState& board);

std::string Diagram(const BoardState& board);  // 64 characters, a space, X or O
std::string Picture(const BoardState& board);  // 8 lines with coordinates, for people
int ParseSquare(const std::string& name);      // cell of "f5" / "F5", or 0

// The engine's value in words: a number, or who wins by how much.
std::string ValueText(int32_t value);

}  // namespace tavik_tools

#endif
