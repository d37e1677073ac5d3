#include "game_flow.h"

#include <windows.h>

#include <commctrl.h>

#include "board_functions.h"
#include "texts.h"
#include "ui.h"

namespace tavik::ui {

LONG g_studyMode = 0;

void NextTurn() { UpdateTurnStatus(); }

void NewGame() {
    StopGame();
    ResetBoard(g_board);
    ClearRecord(g_record);
    RefreshPlayerNames(g_settings.black, g_settings.white, g_record);
    RebuildRecordList();
    StartGame();
    Redraw();
}

void ClickAt(int x, int y) {
    if (g_workerBusy || !g_gameRunning) return;
    const bool computerToMove = g_board.sideToMove == 1 ? g_settings.black.isComputer != 0
                                                        : g_settings.white.isComputer != 0;
    if (computerToMove || x < 0 || y < 0 || x >= kBoardPixels || y >= kBoardPixels) return;
    const int cell = x / 50 + (y / 50) * 9 + 10;
    if (CanDrop(&g_board, cell)) PlayMove(cell, 0, 0);
}

void PlayMove(int, int, int) {}

void StopComputerPlayer() {}

void RunStudyCommand(UINT id) {
    switch (id) {
    case kCmdBestMove: RunModalWindow(g_ui.main, "BestMoveWnd"); return;
    case kCmdEvaluate: g_studyMode = 0; break;
    case kCmdOpenness: g_studyMode = 1; break;
    case kCmdWinSearch: g_studyMode = 2; break;
    default: g_studyMode = 3; break;
    }
    RunModalWindow(g_ui.main, "EvalWnd");
}

void RunFileCommand(UINT) {}

void RebuildRecordList() {
    if (!g_ui.kifuList || !g_settings.showKifu) return;
    SendMessageA(g_ui.kifuList, LVM_DELETEALLITEMS, 0, 0);
    const int moves = RecordedMoves(g_record);
    for (int row = 0; row < moves; ++row) AppendRecordRow(row);
}

void AppendRecordRow(int row) {
    if (!g_ui.kifuList || !g_settings.showKifu) return;
    const auto texts = RecordRowTexts(g_record.moves[row], row);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(texts[0].c_str());
    SendMessageA(g_ui.kifuList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (int column = 1; column < 5; ++column) {
        item.iSubItem = column;
        item.pszText = const_cast<char*>(texts[column].c_str());
        SendMessageA(g_ui.kifuList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(g_ui.kifuList, LVM_ENSUREVISIBLE, row, FALSE);
}

}  // namespace tavik::ui
