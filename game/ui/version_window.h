// The version window ("InfoWnd", バージョン情報): the banner and a read-only text with the
// program's and the engine's names, versions and copyrights. It has no keyboard hook: its OK
// button closes it.
#ifndef TAVIK_GAME_UI_VERSION_WINDOW_H
#define TAVIK_GAME_UI_VERSION_WINDOW_H

#include <windows.h>

#include "aux_window.h"
#include "id_checks.h"
#include "ostrakon.h"

namespace tavik::ui {

// Every control of the window, by ID.
constexpr int kVersionOkId = 1000;
constexpr int kVersionTextId = 1001;
constexpr int kBannerId = 1002;
inline constexpr int kVersionControlIds[] = {kVersionOkId, kVersionTextId, kBannerId};
static_assert(AllDifferent(kVersionControlIds), "two controls of the version window share an ID");

class VersionWindow {
public:
    // Where the engine's record comes from (the engine's own GetVersionInfo in the game).
    using VersionSource = int32_t(OSTRAKON_CALL*)(VersionInfo*);

    // Makes the window and fills it, the engine's part from `engineVersion`. The object lives
    // as long as the window.
    static HWND Create(AuxWindowHost& frame, VersionSource engineVersion);

private:
    VersionWindow(AuxWindowHost& frame, VersionSource engineVersion)
        : frame_(frame), engineVersion_(engineVersion) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();

    AuxWindowHost& frame_;
    const VersionSource engineVersion_;
    HWND window_ = nullptr;
    HBITMAP banner_ = nullptr;  // ours, not the static's: deleted with the window
};

}  // namespace tavik::ui

#endif
