// The course of a game in the window: turns, clicks, the computer player's thread, and the
// commands that open the study windows and the file dialogs.
#ifndef TAVIK_GAME_UI_GAME_FLOW_H
#define TAVIK_GAME_UI_GAME_FLOW_H

#include <windows.h>

namespace tavik::ui {

// 0 evaluation of all moves, 1 openness, 2 win/loss search, 3 perfect search.
extern LONG g_studyMode;

void NextTurn();
void NewGame();
void ClickAt(int x, int y);
void PlayMove(int square, int value, int nodes);
void StopComputerPlayer();  // ends a thinking computer player, if one thinks, and waits for it
// Waits (answering sent messages) until no move thread is left; false after `milliseconds`.
bool WaitForMoveThreads(DWORD milliseconds);
LONG MovesInFlight();  // move threads created and not yet finished

// Tests watch the status bar through this; null in the game.
extern void (*g_statusObserverForTests)(int part, const char* text);
void RunStudyCommand(UINT id);
void RunFileCommand(UINT id);

// The game-record list: all rows anew, or the row of the move just recorded.
void RebuildRecordList();
void AppendRecordRow(int row);

}  // namespace tavik::ui

#endif
