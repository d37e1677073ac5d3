// The file and clipboard commands of the game menu: games saved and opened, the record exported
// through a template and copied as text, the board saved as a bitmap file and copied as a
// bitmap. Each asks for a file with the helper DLL's dialog, shows its progress in status-bar
// part 0, and reports what the user must know through ReportError.
#ifndef TAVIK_GAME_UI_FILE_COMMANDS_H
#define TAVIK_GAME_UI_FILE_COMMANDS_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "game_record.h"
#include "gdi.h"

namespace tavik::ui {

// What the file and clipboard commands ask of the window they run in.
class FileCommandHost {
public:
    virtual HWND Handle() const = 0;  // the owner of the file dialogs and of the clipboard
    virtual void SetStatusText(int part, const std::string& text) = 0;
    // Shows `text` in status-bar part 0 for a few seconds (a result, not a progress).
    virtual void ShowStatusForAMoment(const std::string& text) = 0;
    virtual BoardState Board() const = 0;       // the position shown
    virtual GameRecord RecordCopy() const = 0;  // a snapshot, taken under the session's lock
    // The position shown, painted without the legal-move frames into a bitmap of its own.
    virtual OwnedBitmap BoardPicture() = 0;
    // As the game is changed from the user-interface thread: stopped, the move on its way
    // landed, then `change(board, record)`; false when the change was refused.
    virtual bool ChangeGame(const std::function<void(BoardState&, GameRecord&)>& change) = 0;
    virtual void RebuildRecordRows(const GameRecord& record) = 0;
    virtual void Redraw() = 0;

protected:
    ~FileCommandHost() = default;
};

// The commands 1042, 1043, 1049, 1050, 1051, 1052, 1077 and 1078; false for any other.
bool RunFileCommand(FileCommandHost& window, UINT command);

// The files dropped on the window or named on its command line: one game file (.tvk) opens as
// the open command opens it; several files, or a file of another kind, are refused with a
// message and change nothing.
void OpenGameFiles(FileCommandHost& window, const std::vector<std::string>& paths);

// Writes `bitmap` as a bitmap file of `bits` per pixel (0: its own depth; 1, 4, 8, 16, 24 or 32)
// through a temporary file beside `path`, so a failed save leaves what was there. Each failing
// step shows its own message box (ErrorReport::kBitmapStep); false then, and for another depth.
bool SaveBitmapFile(HBITMAP bitmap, const std::string& path, int bits);

// Puts a copy of `bitmap` on the clipboard (CF_BITMAP); true with no bitmap.
bool CopyBitmapToClipboard(HBITMAP bitmap);

}  // namespace tavik::ui

#endif
