// The version window ("InfoWnd", バージョン情報): the banner and a read-only text with the
// program's and the engine's names, versions and copyrights. It has no keyboard hook: its OK
// button closes it.
#ifndef TAVIK_GAME_UI_VERSION_WINDOW_H
#define TAVIK_GAME_UI_VERSION_WINDOW_H

#include <windows.h>

#include "id_checks.h"
#include "ostrakon.h"

namespace tavik::ui {

class MainWindow;

// Every control of the window, by ID.
constexpr int kVersionOkId = 1000;
constexpr int kVersionTextId = 1001;
constexpr int kBannerId = 1002;
inline constexpr int kVersionControlIds[] = {kVersionOkId, kVersionTextId, kBannerId};
static_assert(AllDifferent(kVersionControlIds), "two controls of the version window share an ID");

class VersionWindow {
public:
    // Makes the window and fills it (for RunModalWindow). The object lives as long as the
    // window.
    static HWND Create(MainWindow& owner);

    // Where the engine's record comes from: the engine's own GetVersionInfo, unless a test
    // puts a stand-in here.
    using VersionSource = int32_t(OSTRAKON_CALL*)(VersionInfo*);
    static VersionSource engineVersion;

private:
    explicit VersionWindow(MainWindow& owner) : owner_(owner) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();

    MainWindow& owner_;
    HWND window_ = nullptr;
    HBITMAP banner_ = nullptr;  // ours, not the static's: deleted with the window
};

}  // namespace tavik::ui

#endif
