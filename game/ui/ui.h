// The window layer of the game: process-wide state and the operations the windows share. All
// windows, menus and GDI objects are made and destroyed on the user-interface thread; worker
// threads only call SetStatusText and Redraw, which are safe from any thread.
#ifndef TAVIK_GAME_UI_UI_H
#define TAVIK_GAME_UI_UI_H

#include <windows.h>

#include <string>

#include "app_settings.h"
#include "game_record.h"
#include "ostrakon.h"

namespace tavik::ui {

// Menu commands, in the order of the menus.
enum Command : UINT {
    kCmdStart = 1039, kCmdStop, kCmdNewGame, kCmdOpen, kCmdSave, kCmdPlayers,
    kCmdFirst, kCmdBack, kCmdForward, kCmdLast,
    kCmdExport, kCmdCopyRecord, kCmdSaveBitmap, kCmdCopyBoard, kCmdExit,
    kCmdBestMove, kCmdEvaluate, kCmdWinSearch, kCmdPerfectSearch, kCmdOpenness,
    kCmdAutoPlay, kCmdPriorityIdle, kCmdPriorityRealTime = kCmdPriorityIdle + 6,
    kCmdBoardGreen, kCmdBoardBlue, kCmdBoardMeadow, kCmdStoneGo, kCmdStoneFlat,
    kCmdShowMoves, kCmdShowKifu, kCmdManual, kCmdWebSite, kCmdVersion,
};
static_assert(kCmdAutoPlay == 1059 && kCmdPriorityRealTime == 1066 && kCmdVersion == 1076);

constexpr int kBoardPixels = 401;
constexpr int kStatusBarId = 70;
constexpr int kKifuListId = 1003;
constexpr UINT kMainMenuCount = 5;

enum FontKind { kFontVersion, kFontKifu, kFontEval, kFontBestMove, kFontPlayers, kFontCount };

struct UiState {
    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HWND status = nullptr;
    HWND kifu = nullptr;
    HWND kifuList = nullptr;
    HMENU menuBar = nullptr;
    HMENU popups[8] = {};  // game, study, settings, priority, board, stone, view, help
    HFONT fonts[kFontCount] = {};
    HBRUSH faceBrush = nullptr;
    HACCEL accelerators = nullptr;
    HDC backDc = nullptr;
    HBITMAP backBitmap = nullptr;
    HGDIOBJ backDisplaced = nullptr;
};

extern UiState g_ui;
extern AppSettings g_settings;
extern BoardState g_board;
extern GameRecord g_record;
extern volatile LONG g_gameRunning;
extern volatile LONG g_workerBusy;
extern LONG g_debugSwitch;
extern CRITICAL_SECTION g_moveLock;

// Tests set this to stand for the process's command line; null means GetCommandLineA.
extern const char* g_commandLineForTests;

// Start-up up to the shown main window (fonts, menus, classes, the window and its creation
// steps). Returns the main window. The accelerator table is made here too.
HWND StartUp(HINSTANCE instance);
// The main loop: accelerators first, then dialog navigation, then the usual dispatch.
int RunMessageLoop();

// Menus (menus.cpp).
HMENU BuildMenuBar(HMENU popups[8]);
HACCEL BuildAccelerators();
void SetMenuChecked(UINT id, bool checked);  // through the helper DLL's check-mark setter
void SetMenuEnabled(UINT id, bool enabled);
void SetStudyMenuEnabled(bool enabled);  // the five study commands
void SetRadio(UINT first, UINT last, UINT id);

// Status bar parts 0..2; safe from any thread (the text is copied before it is sent).
void SetStatusText(int part, const std::string& text);

void StartGame();
void StopGame();
void StopWorker();
void UpdateTurnStatus();

// Settings (settings_store.cpp): read once at creation, written once at destruction.
void LoadSettings();
void SaveSettings();
std::string LoginName();
void ApplyPriority(int32_t priority);  // radio mark and the normalised value

// Rendering (render.cpp).
void InitRenderLock();
void DeleteRenderLock();
void Redraw();
void LoadBoardDesign(int design);
void LoadStoneDesign(int design);
void ReleaseDesigns();
void UseBoardTexture(HBITMAP bitmap);  // takes the bitmap over; any size tiles the board
void PaintBoard(HDC dc);  // the whole picture into `dc`, 401 x 401
BOOL TransparentStretchBlt(HDC dest, int x, int y, int width, int height, HDC source,
                           int sourceWidth, int sourceHeight, COLORREF key);

// Windows of their own (aux_windows.cpp).
void RegisterWindowClasses(HINSTANCE instance);
void OpenKifuWindow();
void CloseKifuWindow();
WPARAM RunModalWindow(HWND owner, const char* name);
void CloseModalWindow(HWND window, WPARAM result);

// Failures the user must know about: a message box, then a line in "error.log".
void ReportError(const char* message);

// The folder of the program's own file, ending in "\".
std::string ProgramDirectory();

}  // namespace tavik::ui

#endif
