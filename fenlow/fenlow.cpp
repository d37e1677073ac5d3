// Fenlow.dll: each export fills one Windows record, makes one Windows call and passes on its
// answer, as -1/0 for the dialogs. The library keeps no state between calls.
#include "fenlow.h"

#include <shlobj.h>

#include <cstddef>

namespace {

// Titles, compiled to code page 932 bytes like every narrow literal of the project.
constexpr char kOpenTitle[] = "ファイルを開く";
constexpr char kSaveTitle[] = "ファイルの保存";
constexpr char kFolderTitle[] = "フォルダの選択";

// The records are passed in their oldest layouts, which every Windows accepts: the file dialog
// record without the three fields added for Windows 2000, the menu item record without
// hbmpItem. Pointers and handles set their sizes, so 64-bit Windows knows them by other numbers
// (its own oldest sizes, which it accepts as well).
constexpr DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, pvReserved);
constexpr UINT kMenuItemInfoSize = offsetof(MENUITEMINFOA, hbmpItem);
#if defined(_WIN64)
static_assert(kOpenFileNameSize == 136, "136-byte OPENFILENAMEA on 64-bit Windows");
static_assert(kMenuItemInfoSize == 72, "72-byte MENUITEMINFOA on 64-bit Windows");
#else
static_assert(kOpenFileNameSize == 76, "76-byte OPENFILENAMEA");
static_assert(kMenuItemInfoSize == 44, "44-byte MENUITEMINFOA");
#endif

// (twice / 2) rounded to the nearest integer, halves to even. The centre is a whole or a half
// coordinate, so this is exactly what rounding the double value with nearbyint gives in the
// default rounding mode, without depending on the rounding mode that the calling thread has
// left in its floating-point unit.
LONG HalfRoundedToEven(long long twice) {
    long long half = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);  // floor(twice / 2)
    if ((twice & 1) != 0 && (half & 1) != 0) ++half;
    return static_cast<LONG>(half);
}

}  // namespace

extern "C" {

int32_t __stdcall GetFileDlg(HWND owner, char* file, const char* filter, int32_t open) {
    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = kOpenFileNameSize;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = open ? kOpenTitle : kSaveTitle;
    // One set of flags for both dialogs: each ignores the ones that concern only the other.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpstrDefExt = "*";
    const BOOL confirmed = open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    return confirmed ? -1 : 0;
}

int32_t __stdcall GetFolderDlg(HWND owner, char* path) {
    // The folder picker needs COM in a single-threaded apartment on the calling thread. Joining
    // one here is balanced below, and harmless when the caller already has one (S_FALSE).
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOA browse;
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = owner;
    browse.lpszTitle = kFolderTitle;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    int32_t chosen = 0;
    if (PIDLIST_ABSOLUTE folder = SHBrowseForFolderA(&browse)) {
        // A folder without a file system path leaves `path` unusable, so it counts as no choice.
        if (SHGetPathFromIDListA(folder, path)) chosen = -1;
        CoTaskMemFree(folder);  // the item list is the shell's allocation, returned to it here
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

// Exported as "CheckMenuItem" (exports.txt).
BOOL __stdcall FenlowCheckMenuItem(HMENU menu, UINT id, int32_t check) {
    MENUITEMINFOA item;
    ZeroMemory(&item, sizeof item);
    item.cbSize = kMenuItemInfoSize;
    // MIIM_STATE sets the whole state: greyed and default flags are cleared either way.
    item.fMask = MIIM_STATE;
    item.fState = check ? MFS_CHECKED : MFS_UNCHECKED;
    return SetMenuItemInfoA(menu, id, FALSE, &item);
}

BOOL __stdcall MoveWindowToCenter(HWND window, HWND reference) {
    RECT own;
    RECT over;
    // Without both rectangles there is no centre; moving on an unread rectangle would throw the
    // window somewhere arbitrary.
    if (!GetWindowRect(window, &own) || !GetWindowRect(reference, &over)) return FALSE;
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    // x = (left + right) / 2 - width / 2, kept doubled so it stays a whole number.
    const LONG x = HalfRoundedToEven(static_cast<long long>(over.left) + over.right - width);
    const LONG y = HalfRoundedToEven(static_cast<long long>(over.top) + over.bottom - height);
    return MoveWindow(window, x, y, width, height, TRUE);
}

// Every text of the library is a constant, so attaching needs no preparation. Windows ignores
// the answer for every notification but the process attach.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    return reason == DLL_PROCESS_ATTACH ? TRUE : FALSE;
}

}  // extern "C"
