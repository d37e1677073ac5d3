#include "book_command.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "board_functions.h"
#include "book.h"
#include "game_record.h"
#include "ostrakon.h"
#include "position_text.h"
#include "texts.h"

namespace tavik_tools {

namespace {

// The move string ThinkBook takes: one byte per move, zero-filled to 64 bytes.
struct MoveString {
    char bytes[64] = {};
    int length = 0;
};

std::string ReadLine(const std::string& text, MoveString& moves, BoardState& board) {
    if (text == "start" || text == "-") {
        board = tavik::InitialBoard();
        return "";
    }
    const auto record = std::make_unique<tavik::GameRecord>();
    if (const std::string error = ReadTranscript(text, *record); !error.empty()) return error;
    moves.length = tavik::RecordedMoves(*record);
    for (int i = 0; i < moves.length; ++i)
        moves.bytes[i] = static_cast<char>(record->moves[i].square);
    tavik::ReplayMoves(*record, moves.length, board);
    return "";
}

bool ReadDraw(const std::string& text, uint32_t& draw) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || *end != '\0' || value > 0xFFFFFFFFull) return false;
    draw = static_cast<uint32_t>(value);
    return true;
}

void PrintMove(const char* label, const ThinkResult& result) {
    std::printf("%-7s%s (value %d, nodes %d)\n", label, tavik::SquareName(result.move).c_str(),
                result.value, result.nodes);
}

}  // namespace

bool BookCommand(const std::vector<std::string>& args, std::string& error) {
    if (args.empty()) {
        error = "book needs a line: start or a transcript like f5d6";
        return false;
    }
    MoveString moves;
    BoardState board;
    if (error = ReadLine(args[0], moves, board); !error.empty()) return false;

    bool haveDraw = false;
    uint32_t draw = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--draw" && i + 1 < args.size()) {
            if (!ReadDraw(args[i + 1], draw)) {
                error = "--draw takes a number from 0 to 4294967295";
                return false;
            }
            haveDraw = true;
            ++i;
        } else {
            error = "unexpected argument '" + args[i] + "'";
            return false;
        }
    }

    const int32_t side = board.sideToMove;
    std::printf("line   %s, %s to move\n", moves.length ? args[0].c_str() : "start",
                side == 1 ? "black" : "white");
    const ostrakon::BookLookup lookup =
        ostrakon::LookUpBook(ostrakon::ShippedBook(), moves.bytes, side);
    if (lookup.status == ostrakon::BookStatus::kEmptyLine) {
        std::printf("first move: always F5, the book is not consulted\n");
    } else if (lookup.status == ostrakon::BookStatus::kOutOfBook) {
        std::printf("out of book\n");
        return true;
    } else {
        std::printf("candidates (value for the side to move):\n");
        for (int i = 0; i < lookup.count; ++i) {
            const ostrakon::BookCandidate& c = lookup.candidates[i];
            std::printf("  %s %4d%s\n", tavik::SquareName(c.cell).c_str(), c.value,
                        c.value == lookup.best ? "  best" : "");
        }
        std::printf("best   %d, %d of %d candidates\n", lookup.best, lookup.ties, lookup.count);
    }

    ThinkResult result{};
    if (!haveDraw) {
        ::ThinkBook(moves.bytes, &result, side);
        PrintMove("move", result);
        if (lookup.ties > 1)
            std::printf("       (drawn from the clock, as the game does; --draw N picks by N)\n");
    } else if (ostrakon::ThinkBookWithDraw(ostrakon::ShippedBook(), moves.bytes, side, draw,
                                           result) == ostrakon::BookStatus::kNoPick) {
        std::printf("draw   %u: no candidate holds the best value (malformed book)\n", draw);
    } else {
        if (lookup.ties > 0)
            std::printf("draw   %u, %u mod %d\n", draw, draw % lookup.ties, lookup.ties);
        PrintMove("move", result);
    }
    return true;
}

}  // namespace tavik_tools
