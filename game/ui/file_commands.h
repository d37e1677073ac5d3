// The file and clipboard commands of the game menu: games saved and opened, the record exported
// through a template and copied as text, the board saved as a bitmap file and copied as a
// bitmap. Each asks for a file with the helper DLL's dialog, shows its progress in status-bar
// part 0, and reports what the user must know through ReportError.
#ifndef TAVIK_GAME_UI_FILE_COMMANDS_H
#define TAVIK_GAME_UI_FILE_COMMANDS_H

#include <windows.h>

#include <string>

namespace tavik::ui {

class MainWindow;

// The commands 1042, 1043, 1049, 1050, 1051 and 1052; false for any other.
bool RunFileCommand(MainWindow& window, UINT command);

// Writes `bitmap` as a bitmap file of `bits` per pixel (0: its own depth; 1, 4, 8, 16, 24 or 32)
// through a temporary file beside `path`, so a failed save leaves what was there. Each failing
// step shows its own message box (ErrorReport::kBitmapStep); false then, and for another depth.
bool SaveBitmapFile(HBITMAP bitmap, const std::string& path, int bits);

// Puts a copy of `bitmap` on the clipboard (CF_BITMAP); true with no bitmap.
bool CopyBitmapToClipboard(HBITMAP bitmap);

}  // namespace tavik::ui

#endif
