// What the players dialog shows and what its OK stores, without a window: the state of its
// controls for each colour, filled from the settings, changed by the preset and swap buttons,
// and turned back into settings by OK. The window only copies this state to and from its
// controls, so everything it decides is tested here.
#ifndef TAVIK_GAME_CORE_PLAYER_DIALOG_H
#define TAVIK_GAME_CORE_PLAYER_DIALOG_H

#include <string>
#include <vector>

#include "player_settings.h"

namespace tavik {

// The texts of the three lists, item 0 first.
const std::vector<std::string>& NormalDepthItemTexts();  // "1手" .. "10手"
const std::vector<std::string>& WinDepthItemTexts();  // "使用しない", "終盤8手" .. "終盤20手"
const std::vector<std::string>& PerfectDepthItemTexts();  // the same without "終盤20手"

// One colour's controls: the radio checked, the name box, and the selected item of each list
// (-1: none, which only a value stored outside the lists gives).
struct PlayerControls {
    bool computer = false;
    std::string name;
    int normalItem = -1;
    int winItem = -1;
    int perfectItem = -1;
};

struct PlayerDialog {
    PlayerControls black, white;
};

PlayerDialog ShowPlayers(const PlayerSettings& black, const PlayerSettings& white);

// "弱い", "普通", "強い" select the preset's items on one side.
void PressPreset(PlayerControls& side, Preset preset);
// "黒白交代" exchanges the radios and the list selections; the names stay where they are.
void PressSwap(PlayerDialog& dialog);

// OK: both colours as the controls show them. A list without a selection stores its first
// item's value (depth 1, or 0 for "使用しない"); a name is cut to what the record can hold,
// on a character boundary.
void ConfirmPlayers(const PlayerDialog& dialog, PlayerSettings& black, PlayerSettings& white);

}  // namespace tavik

#endif
