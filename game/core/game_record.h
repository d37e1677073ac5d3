// The one game the program keeps: two player names and up to 60 moves with the data of the
// search that chose each. Its bytes are also the body of the game file, so the layout is a file
// format: packed, little-endian, every size and offset pinned below.
#ifndef TAVIK_GAME_CORE_GAME_RECORD_H
#define TAVIK_GAME_CORE_GAME_RECORD_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ostrakon.h"

namespace tavik {

constexpr int kNameBytes = 1025;  // 1024 bytes of code page 932 text and the terminator
constexpr int kCommentBytes = 516;
constexpr int kMoveEntries = 65;  // entries 0..59 hold moves, 60..64 stay zero
constexpr int kMaxMoves = 60;

#pragma pack(push, 1)
struct MoveEntry {
    int32_t side;       // +1 black, -1 white; 0 in an empty entry
    int32_t square;     // cell 10..80; 0 marks an empty entry
    int32_t value;      // the search's value, black's view; 0 for a click
    int32_t thinkTime;  // milliseconds from the start of the turn to the move
    int32_t nodes;      // the search's node count; 0 for a click
    char comment[kCommentBytes];
};

struct GameRecord {
    char blackName[kNameBytes];
    char whiteName[kNameBytes];
    uint8_t reserved[48];
    MoveEntry moves[kMoveEntries];
};
#pragma pack(pop)

static_assert(sizeof(MoveEntry) == 536);
static_assert(offsetof(MoveEntry, side) == 0 && offsetof(MoveEntry, square) == 4 &&
              offsetof(MoveEntry, value) == 8 && offsetof(MoveEntry, thinkTime) == 12 &&
              offsetof(MoveEntry, nodes) == 16 && offsetof(MoveEntry, comment) == 20);
static_assert(sizeof(GameRecord) == 36938);
static_assert(offsetof(GameRecord, whiteName) == 1025 && offsetof(GameRecord, reserved) == 2050 &&
              offsetof(GameRecord, moves) == 2098);

// Number of recorded moves: entries up to the first empty one.
int RecordedMoves(const GameRecord& record);

// The opening book's view of the game: the squares of the recorded moves in order, up to the
// first empty entry, and zeros behind them (so the line is also zero-terminated).
std::array<char, 64> BookLine(const GameRecord& record);

// Rebuilds the position after the first `count` recorded moves (none for count <= 0): each move
// is played with the engine and a forced pass after it is made at once, so the side to move
// comes from the replay, not from the record. A move the engine refuses (a damaged record)
// leaves the board as it is and the replay goes on.
void ReplayMoves(const GameRecord& record, int count, BoardState& board);

// What the record list must do after RecordMove.
enum class RecordListUpdate { kAppendRow, kRebuild };

// Stores a played move as move `number` (1..60), clears every later entry, and says whether the
// list gains one row or, because an old line was overwritten, must be rebuilt.
RecordListUpdate RecordMove(GameRecord& record, int number, int side, int square, int value,
                            int thinkTime, int nodes, const char* comment);

// Every byte zero, names included.
void ClearRecord(GameRecord& record);

// The move count each navigation command replays to, from the empty squares of the board shown.
enum class Navigation { kInitial, kBack, kForward, kLast };
int NavigationCount(Navigation command, int emptySquares);

}  // namespace tavik

#endif
