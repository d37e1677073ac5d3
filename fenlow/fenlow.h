// Fenlow: the game's user-interface helpers (file and folder dialogs, menu check marks, window
// centring) in their own DLL. This is the header the game program includes.
//
// Every export is __stdcall under its undecorated name. The menu helper is exported as
// "CheckMenuItem", the same name as the user32 function that <windows.h> declares, so the game
// calls it as FenlowCheckMenuItem: the import library binds that name to Fenlow.dll's
// "CheckMenuItem" (see exports.txt), and the game's import table asks Fenlow.dll for it by name.
// Truth values of the dialog helpers are -1 (true) and 0 (false).
#ifndef TAVIK_FENLOW_FENLOW_H
#define TAVIK_FENLOW_FENLOW_H

#include <windows.h>

#include <stdint.h>

#ifdef FENLOW_BUILDING_DLL
#define FENLOW_API
#else
#define FENLOW_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// The open (open != 0) or save (open == 0) file dialog, modal to `owner`. `file` holds at
// least 260 bytes: the proposed name on the way in, the chosen path on the way out. `filter`
// is the usual list of description and pattern pairs, each zero-terminated, with an extra zero
// at the end. -1 when a file was confirmed, 0 when the dialog was cancelled or failed.
FENLOW_API int32_t __stdcall GetFileDlg(HWND owner, char* file, const char* filter, int32_t open);

// The folder picker; `path` (at least 260 bytes) receives the chosen folder. -1 when a file
// system folder was chosen, 0 otherwise.
FENLOW_API int32_t __stdcall GetFolderDlg(HWND owner, char* path);

// Replaces the whole state of the item with command identifier `id` (searched through the
// submenus too) by "checked" when `check` is non-zero, else by "unchecked and enabled": a
// greyed or default state goes either way. Non-zero on success.
FENLOW_API BOOL __stdcall FenlowCheckMenuItem(HMENU menu, UINT id, int32_t check);

// Centres `window` over `reference` without changing its size, halves rounded to even.
// Non-zero on success.
FENLOW_API BOOL __stdcall MoveWindowToCenter(HWND window, HWND reference);

#ifdef __cplusplus
}
#endif

#endif
