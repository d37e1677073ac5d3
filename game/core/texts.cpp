#include "texts.h"

#include "board_functions.h"
#include "ostrakon_value.h"

namespace tavik {

std::string SquareName(int cell) {
    const int index = cell - 10;
    if (index < 0 || index > 70 || index % 9 == 8) return "--";
    return {static_cast<char>('A' + index % 9), static_cast<char>('1' + index / 9)};
}

std::string FormatValue(int32_t value) {
    // The no-move values are not asked about: the game never shows them, and they read as wins.
    const ostrakon::ValueMeaning meaning = ostrakon::ReadValue(value);
    switch (meaning.kind) {
    case ostrakon::ValueMeaning::kBlackWins:
        return meaning.amount ? "黒" + std::to_string(meaning.amount) + "石勝ち" : "黒勝利";
    case ostrakon::ValueMeaning::kWhiteWins:
        return meaning.amount ? "白" + std::to_string(meaning.amount) + "石勝ち" : "白勝利";
    case ostrakon::ValueMeaning::kDraw: return "引き分け";
    case ostrakon::ValueMeaning::kNumber: break;
    }
    return std::to_string(value);
}

std::array<std::string, 5> RecordRowTexts(const MoveEntry& entry, int row) {
    const int32_t side = entry.side, square = entry.square;
    return {std::to_string(row + 1), (side == 1 ? "●" : "○") + SquareName(square),
            FormatValue(entry.value), std::to_string(entry.thinkTime) + "ms",
            std::to_string(entry.nodes) + "面"};
}

std::string TurnStatusText(const BoardState& board, bool gameRunning) {
    std::string text = "●" + std::to_string(CountCells(board, 1)) + "石 ○" +
                       std::to_string(CountCells(board, -1)) + "石";
    if (!IsGameOver(board)) text += board.sideToMove == 1 ? " 黒番" : " 白番";
    if (gameRunning) text += " 対局中";
    return text;
}

std::string PassText(int side) { return side == 1 ? "黒：パスです" : "白：パスです"; }

std::string ResultText(int blackDiscs, int whiteDiscs) {
    std::string text = "黒 : " + std::to_string(blackDiscs) + "石\t白 : " + std::to_string(whiteDiscs) +
                       "石\r\n\r\n";
    const int margin = blackDiscs - whiteDiscs;
    if (margin > 0) return text + "黒の" + std::to_string(margin) + "石勝ち";
    if (margin < 0) return text + "白の" + std::to_string(-margin) + "石勝ち";
    return text + "引き分け";
}

}  // namespace tavik
