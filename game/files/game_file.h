// The game file (.tvk): a 133-byte header (a notice and the format version 100) followed by
// the byte image of the game record, 37,071 bytes in all. The reader checks a file completely
// before anything of it reaches the caller's record, so a damaged file never leaves a mixture
// of two games or hands the engine a cell outside the board.
#ifndef TAVIK_GAME_FILES_GAME_FILE_H
#define TAVIK_GAME_FILES_GAME_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_io.h"
#include "game_record.h"

namespace tavik {

constexpr size_t kGameFileHeaderBytes = 133;
constexpr size_t kGameFileBytes = kGameFileHeaderBytes + sizeof(GameRecord);
static_assert(kGameFileBytes == 37071);

std::vector<uint8_t> EncodeGameFile(const GameRecord& record);

enum class GameFileError {
    kNone,
    kSize,         // not 37,071 bytes
    kName,         // a name field without its terminating zero
    kSquare,       // a move on a cell that is no playable square
    kSide,         // a move's side other than +1 or -1
    kWrongSide,    // the side does not match whose turn it is when the moves are replayed
    kIllegalMove,  // the move is not legal where it is played
    kAfterEnd,     // bytes other than zero in or after the first empty entry
};

struct GameFileCheck {
    GameFileError error = GameFileError::kNone;
    int entry = -1;      // the entry at fault, where one is
    int32_t square = 0;  // its square, for an illegal move
};

// Checks the file and, only when it is sound, copies its record over `record`.
GameFileCheck DecodeGameFile(const uint8_t* data, size_t size, GameRecord& record);

// One line saying what is wrong, for people (English, for the command-line tool).
std::string DescribeGameFileCheck(const GameFileCheck& check);

// The game's message for a file it refuses, in code page 932: that the file was not read, and
// why ("対局ファイルを読み込めませんでした。" and the reason; the game on the board stays).
std::string GameFileRefusalText(const GameFileCheck& check);
// The message for a file that could not be opened or read at all.
std::string GameFileUnreadableText();

// The game's message for a save that failed, in code page 932 (the file that was there stays).
std::string GameFileSaveFailureText(FileError error);

}  // namespace tavik

#endif
