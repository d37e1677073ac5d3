// The menu commands of the game, by the identifiers their WM_COMMAND messages carry, in the
// order of the menus; and the study functions they open. Portable, so the mapping is tested
// without a window.
#ifndef TAVIK_GAME_CORE_COMMANDS_H
#define TAVIK_GAME_CORE_COMMANDS_H

namespace tavik {

enum Command : unsigned {
    kCmdStart = 1039,
    kCmdStop,
    kCmdNewGame,
    kCmdOpen,
    kCmdSave,
    kCmdPlayers,
    kCmdFirst,
    kCmdBack,
    kCmdForward,
    kCmdLast,
    kCmdExport,
    kCmdCopyRecord,
    kCmdSaveBitmap,
    kCmdCopyBoard,
    kCmdExit,
    kCmdBestMove,
    kCmdEvaluate,
    kCmdWinSearch,
    kCmdPerfectSearch,
    kCmdOpenness,
    kCmdAutoPlay,
    kCmdPriorityIdle,
    kCmdPriorityRealTime = kCmdPriorityIdle + 6,
    kCmdBoardGreen,
    kCmdBoardBlue,
    kCmdBoardMeadow,
    kCmdStoneGo,
    kCmdStoneFlat,
    kCmdShowMoves,
    kCmdShowKifu,
    kCmdManual,
    kCmdWebSite,
    kCmdVersion,
    // Items added after the first release take the numbers after the last one, so every
    // earlier command keeps its number; their menu places are the menus' business.
    kCmdPasteRecord,
    kCmdCopyPosition,
    kCmdShowMoveValues,
};
static_assert(kCmdAutoPlay == 1059 && kCmdPriorityRealTime == 1066 && kCmdVersion == 1076);
static_assert(kCmdPasteRecord == 1077 && kCmdCopyPosition == 1078);
static_assert(kCmdShowMoveValues == 1079);

// What the evaluation window lists for each move. Only ever held in memory: no file or
// registry value stores it.
enum class StudyMode { kEvaluate, kOpenness, kWinLoss, kPerfect };

// The mode a study command opens the evaluation window in; false for every other command (the
// best-move command opens a window of its own).
bool StudyModeOf(unsigned command, StudyMode& mode);

}  // namespace tavik

#endif
