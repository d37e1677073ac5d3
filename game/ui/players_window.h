// The players window ("SetGameWnd", 対局者設定): who plays each colour, the names and the
// computer's three depths. It copies the settings into its controls, lets the preset and swap
// buttons change only what the controls show, and stores the controls back on OK alone. What
// the controls mean is decided by the portable PlayerDialog; this window only moves that state
// in and out of its controls.
#ifndef TAVIK_GAME_UI_PLAYERS_WINDOW_H
#define TAVIK_GAME_UI_PLAYERS_WINDOW_H

#include <windows.h>

#include "player_dialog.h"

namespace tavik::ui {

class MainWindow;

// The controls of one colour are at fixed offsets from its group box.
constexpr int kBlackGroupId = 1008;
constexpr int kWhiteGroupId = 1023;
enum PlayerControlOffset {
    kHumanOffset = 1,
    kComputerOffset = 2,
    kNameOffset = 4,
    kNormalDepthOffset = 7,
    kWinDepthOffset = 9,
    kPerfectDepthOffset = 11,
    kWeakOffset = 12,
    kNormalOffset = 13,
    kStrongOffset = 14,
};
constexpr int kSwapButtonId = 1038;
constexpr int kPlayersOkId = 1000;
constexpr int kPlayersCancelId = 1005;

class PlayersWindow {
public:
    // Makes the window and fills it from the settings (the entry of the modal windows' table).
    // The object lives as long as the window.
    static HWND Create(MainWindow& owner);

private:
    explicit PlayersWindow(MainWindow& owner) : owner_(owner) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();
    void OnButton(UINT id);
    HWND Item(int group, int offset) const { return GetDlgItem(window_, group + offset); }
    // The radios and the list selections of both colours (not the names).
    void ShowChoices(const PlayerDialog& dialog);
    PlayerDialog Read() const;

    MainWindow& owner_;
    HWND window_ = nullptr;
};

}  // namespace tavik::ui

#endif
