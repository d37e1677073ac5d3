#include "game_record.h"

#include <cstring>

#include "board_functions.h"

namespace tavik {

int RecordedMoves(const GameRecord& record) {
    int count = 0;
    while (count < kMaxMoves && record.moves[count].square != 0) ++count;
    return count;
}

std::array<char, 64> BookLine(const GameRecord& record) {
    std::array<char, 64> line{};
    for (int i = 0; i < RecordedMoves(record); ++i) line[i] = static_cast<char>(record.moves[i].square);
    return line;
}

void ReplayMoves(const GameRecord& record, int count, BoardState& board) {
    board = InitialBoard();
    // Entry 60 is always empty, so a count of 61 stops there like any other end of the record.
    for (int i = 0; i < count && i < kMoveEntries; ++i) {
        const int32_t square = record.moves[i].square;
        if (square == 0) break;
        ReverseStones(&board, square);
        if (HasNoMove(board)) board.sideToMove = -board.sideToMove;
    }
}

RecordListUpdate RecordMove(GameRecord& record, int number, int side, int square, int value,
                            int thinkTime, int nodes, const char* comment) {
    // a move number comes from the board (60 - empty squares after the move), so 1..60
    if (number < 1 || number > kMaxMoves) return RecordListUpdate::kRebuild;
    MoveEntry& entry = record.moves[number - 1];
    const bool overwrites = entry.square != 0;
    entry.side = side;
    entry.square = square;
    entry.value = value;
    entry.thinkTime = thinkTime;
    entry.nodes = nodes;
    std::memset(entry.comment, 0, sizeof entry.comment);
    std::strncpy(entry.comment, comment ? comment : "", sizeof entry.comment - 1);
    // the later moves of the old line are gone: there is no branch history
    for (int i = number; i < kMaxMoves; ++i) std::memset(&record.moves[i], 0, sizeof(MoveEntry));
    return overwrites ? RecordListUpdate::kRebuild : RecordListUpdate::kAppendRow;
}

void ClearRecord(GameRecord& record) { std::memset(&record, 0, sizeof record); }

int NavigationCount(Navigation command, int emptySquares) {
    switch (command) {
        case Navigation::kInitial:
            return 0;
        case Navigation::kBack:
            return 59 - emptySquares;  // current move number - 1
        case Navigation::kForward:
            return 61 - emptySquares;  // current move number + 1
        case Navigation::kLast:
            return 60;
    }
    return 0;
}

}  // namespace tavik
