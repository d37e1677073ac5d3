#include "game_file.h"

#include <cstring>
#include <memory>

#include "board_functions.h"
#include "texts.h"

namespace tavik {

namespace {

// "編集した場合の動作は保証できません 編集しないでください" in code page 932: the notice at
// the head of every file, so that someone who opens one in an editor is warned.
constexpr char kNotice[] = "編集した場合の動作は保証できません 編集しないでください";
#if TAVIK_TEXTS_CP932
static_assert(sizeof kNotice - 1 == 55, "the notice is 55 bytes in code page 932");
#endif
constexpr int32_t kFormatVersion = 100;

bool AllZero(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

bool IsPlayable(int32_t cell) { return cell >= 10 && cell <= 80 && (cell - 10) % 9 != 8; }

GameFileCheck Fault(GameFileError error, int entry = -1) { return {error, entry}; }

}  // namespace

std::vector<uint8_t> EncodeGameFile(const GameRecord& record) {
    std::vector<uint8_t> file(kGameFileBytes, 0);
    std::memcpy(file.data(), kNotice, sizeof kNotice - 1);
    for (int i = 0; i < 4; ++i) file[129 + i] = static_cast<uint8_t>(kFormatVersion >> (8 * i));
    std::memcpy(file.data() + kGameFileHeaderBytes, &record, sizeof record);
    return file;
}

GameFileCheck DecodeGameFile(const uint8_t* data, size_t size, GameRecord& record) {
    // The header is written by every save but never interpreted on loading: files with another
    // notice are still games.
    if (size != kGameFileBytes) return Fault(GameFileError::kSize);
    // checked in a copy: the caller's record is touched only by the final copy
    const auto copy = std::make_unique<GameRecord>();
    GameRecord& scratch = *copy;
    std::memcpy(&scratch, data + kGameFileHeaderBytes, sizeof scratch);

    if (!std::memchr(scratch.blackName, 0, kNameBytes) ||
        !std::memchr(scratch.whiteName, 0, kNameBytes))
        return Fault(GameFileError::kName);

    BoardState board = InitialBoard();
    int entry = 0;
    for (; entry < kMaxMoves; ++entry) {
        const MoveEntry& move = scratch.moves[entry];
        const int32_t square = move.square, side = move.side;
        if (square == 0) break;
        if (!IsPlayable(square)) return Fault(GameFileError::kSquare, entry);
        if (side != 1 && side != -1) return Fault(GameFileError::kSide, entry);
        if (side != board.sideToMove) return Fault(GameFileError::kWrongSide, entry);
        if (!ReverseStones(&board, square)) return {GameFileError::kIllegalMove, entry, square};
        if (HasNoMove(board)) board.sideToMove = -board.sideToMove;
    }
    // the record ends at the first empty entry; it and everything after it are zero
    for (int rest = entry; rest < kMoveEntries; ++rest) {
        if (!AllZero(&scratch.moves[rest], sizeof(MoveEntry)))
            return Fault(GameFileError::kAfterEnd, rest);
    }
    std::memcpy(&record, &scratch, sizeof record);
    return {};
}

std::string DescribeGameFileCheck(const GameFileCheck& check) {
    const std::string at = check.entry >= 0 ? " (move " + std::to_string(check.entry + 1) + ")" : "";
    switch (check.error) {
        case GameFileError::kNone:
            return "a sound game file";
        case GameFileError::kSize:
            return "not a game file: it must be exactly 37071 bytes";
        case GameFileError::kName:
            return "a player name has no terminating zero";
        case GameFileError::kSquare:
            return "a move is on a cell that is no square of the board" + at;
        case GameFileError::kSide:
            return "a move's colour is neither black nor white" + at;
        case GameFileError::kWrongSide:
            return "a move is recorded for the side that is not to move" + at;
        case GameFileError::kIllegalMove:
            return "a move is not legal where it is played" + at;
        case GameFileError::kAfterEnd:
            return "data after the end of the move list" + at;
    }
    return "unknown";
}

std::string GameFileRefusalText(const GameFileCheck& check) {
    const std::string move = std::to_string(check.entry + 1) + "手目";
    std::string reason;
    switch (check.error) {
        case GameFileError::kNone: return "";
        case GameFileError::kSize: reason = "Tavikの対局ファイルではありません（大きさが37071バイトではありません）。"; break;
        case GameFileError::kName: reason = "対局者名が壊れています。"; break;
        case GameFileError::kSquare: reason = move + "の場所が盤上にありません。"; break;
        case GameFileError::kSide: reason = move + "の手番が黒でも白でもありません。"; break;
        case GameFileError::kWrongSide: reason = move + "が手番でない側の手になっています。"; break;
        case GameFileError::kIllegalMove: reason = move + "の" + SquareName(check.square) + "には打てません。"; break;
        case GameFileError::kAfterEnd: reason = "棋譜の終わりの後にデータがあります。"; break;
    }
    return "対局ファイルを読み込めませんでした。" + reason;
}

std::string GameFileUnreadableText() { return "対局ファイルを開くことができませんでした。"; }

std::string GameFileSaveFailureText(FileError error) {
    switch (error) {
        case FileError::kNone: return "";
        case FileError::kCreate: return "対局ファイルを保存できませんでした。ファイルを作成できません。";
        case FileError::kWrite:
            return "対局ファイルを保存できませんでした。書き込みに失敗しました（前のファイルは変わっていません）。";
        case FileError::kReplace:
            return "対局ファイルを保存できませんでした。前のファイルを置き換えられません（前のファイルは変わっていません）。";
    }
    return "";
}

}  // namespace tavik
