#include "position_text.h"

#include <cctype>
#include <cstring>
#include <memory>

#include "board_functions.h"
#include "ostrakon_value.h"
#include "texts.h"
#include "transcript.h"

namespace tavik_tools {

using tavik::InitialBoard;
using tavik::SquareName;

std::string ParseDiagram(const std::string& diagram, const std::string& side, BoardState& board) {
    if (diagram.size() != 64)
        return "a board needs 64 squares (A1..H8), got " + std::to_string(diagram.size());
    BoardState b = InitialBoard();
    for (int i = 0; i < 64; ++i) {
        const char ch = diagram[i];
        const int cell = 10 + 9 * (i / 8) + i % 8;
        if (ch == 'X' || ch == 'x' || ch == '*') {
            b.cells[cell] = 1;
        } else if (ch == 'O' || ch == 'o') {
            b.cells[cell] = -1;
        } else if (ch == '-' || ch == '.') {
            b.cells[cell] = 0;
        } else {
            return std::string("bad square character '") + ch + "' at " + SquareName(cell) +
                   " (use X, O or -)";
        }
    }
    if (side == "X" || side == "x" || side == "black") {
        b.sideToMove = 1;
    } else if (side == "O" || side == "o" || side == "white") {
        b.sideToMove = -1;
    } else {
        return "bad side to move '" + side + "' (use X or O)";
    }
    board = b;
    return "";
}

namespace {

// The transcript reader's refusal in the tool's words.
std::string RefusalText(const tavik::TranscriptResult& result, const std::string& transcript) {
    const std::string move = "move " + std::to_string(result.moves + 1);
    switch (result.refusal) {
        case tavik::TranscriptRefusal::kTooLong:
            return "a transcript holds at most " + std::to_string(tavik::kMaxTranscriptBytes) +
                   " bytes";
        case tavik::TranscriptRefusal::kDiagram:
            return "a board diagram is not a transcript";
        case tavik::TranscriptRefusal::kNoMoves:
            return "no move in the transcript '" + transcript + "'";
        case tavik::TranscriptRefusal::kUnreadable:
            // a column letter left without its row: the transcript's pairs do not add up
            if (result.detail.size() == 1 && std::strchr("abcdefghABCDEFGH", result.detail[0]))
                return "a transcript is pairs like f5d6; '" + transcript + "' is not";
            return "bad square '" + result.detail + "' in the transcript";
        case tavik::TranscriptRefusal::kIllegalMove:
        case tavik::TranscriptRefusal::kAfterEnd:
            return move + " (" + result.detail + ") is not legal";
        case tavik::TranscriptRefusal::kPassNotForced:
            return move + ": a pass where there is a legal move";
        case tavik::TranscriptRefusal::kCountMismatch:
            return "the listing says " + result.detail + " moves but holds " +
                   std::to_string(result.moves);
        case tavik::TranscriptRefusal::kNone:
            break;
    }
    return "";
}

}  // namespace

std::string ReadTranscript(const std::string& transcript, tavik::GameRecord& record) {
    if (transcript.find_first_not_of(" \t\r\n\v\f") == std::string::npos) {
        tavik::ClearRecord(record);
        return "";
    }
    const tavik::TranscriptResult result = tavik::ParseTranscriptText(transcript, record);
    return result.ok ? "" : RefusalText(result, transcript);
}

std::string ParseTranscript(const std::string& transcript, BoardState& board) {
    const auto record = std::make_unique<tavik::GameRecord>();
    if (std::string error = ReadTranscript(transcript, *record); !error.empty()) return error;
    // the replay makes a forced pass after the last move as the reader made the others
    tavik::ReplayMoves(*record, tavik::RecordedMoves(*record), board);
    return "";
}

std::string Diagram(const BoardState& board) { return tavik::PositionDiagram(board); }

std::string Picture(const BoardState& board) {
    std::string text = "  A B C D E F G H\n";
    for (int r = 0; r < 8; ++r) {
        text += static_cast<char>('1' + r);
        for (int c = 0; c < 8; ++c) {
            const int32_t v = board.cells[10 + 9 * r + c];
            text += v == 1 ? " X" : v == -1 ? " O" : " -";
        }
        text += '\n';
    }
    return text + (board.sideToMove == 1 ? "X to move\n" : "O to move\n");
}

int ParseSquare(const std::string& name) {
    if (name.size() != 2) return 0;
    const int c = std::toupper(static_cast<unsigned char>(name[0])) - 'A';
    const int r = name[1] - '1';
    if (c < 0 || c > 7 || r < 0 || r > 7) return 0;
    return 10 + 9 * r + c;
}

std::string ValueText(int32_t value) {
    if (ostrakon::IsNoMoveValue(value)) return "no legal move";
    const ostrakon::ValueMeaning meaning = ostrakon::ReadValue(value);
    switch (meaning.kind) {
        case ostrakon::ValueMeaning::kBlackWins:
            return meaning.amount ? "black wins by " + std::to_string(meaning.amount)
                                  : "black wins";
        case ostrakon::ValueMeaning::kWhiteWins:
            return meaning.amount ? "white wins by " + std::to_string(meaning.amount)
                                  : "white wins";
        case ostrakon::ValueMeaning::kDraw:
            return "draw";
        case ostrakon::ValueMeaning::kNumber:
            break;
    }
    return std::to_string(value);
}

std::string ReadPosition(const std::vector<std::string>& args, size_t& i, BoardState& board) {
    if (i >= args.size()) return "missing position";
    const std::string& first = args[i];
    // Only a diagram holds these characters (a transcript has none of '-', '.', '*'; and 'O' and
    // 'X' are no column letters), so a short or long diagram is named as one.
    const bool diagram =
        first.size() >= 2 && first.find_first_not_of("XxOo-.*") == std::string::npos;
    if (diagram || first.size() == 64) {
        if (i + 1 >= args.size())
            return "a 64-square board needs the side to move after it (X or O)";
        const std::string error = ParseDiagram(first, args[i + 1], board);
        i += 2;
        return error;
    }
    ++i;
    if (first == "start" || first == "-") {
        board = InitialBoard();
        return "";
    }
    return ParseTranscript(first, board);
}

}  // namespace tavik_tools
