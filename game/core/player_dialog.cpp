#include "player_dialog.h"

#include <utility>

namespace tavik {

namespace {

std::vector<std::string> EndgameItems(int count) {
    std::vector<std::string> items{"使用しない"};
    for (int item = 1; item < count; ++item)
        items.push_back("終盤" + std::to_string(EndgameDepthOfItem(item)) + "手");
    return items;
}

PlayerControls ControlsOf(const PlayerSettings& player) {
    PlayerControls controls;
    controls.computer = player.isComputer != 0;
    controls.name = player.playerName;
    controls.normalItem = ItemOfNormalDepth(player.normalDepth);
    controls.winItem = ItemOfEndgameDepth(player.winDepth, kWinDepthItems);
    controls.perfectItem = ItemOfEndgameDepth(player.perfectDepth, kPerfectDepthItems);
    return controls;
}

void Store(const PlayerControls& controls, PlayerSettings& player) {
    player.isComputer = controls.computer ? 1 : 0;
    player.normalDepth = NormalDepthOfItem(controls.normalItem);
    player.winDepth = controls.winItem < kWinDepthItems ? EndgameDepthOfItem(controls.winItem) : 0;
    player.perfectDepth =
        controls.perfectItem < kPerfectDepthItems ? EndgameDepthOfItem(controls.perfectItem) : 0;
    player.playerName = CutToBytes(controls.name, kNameBytes - 1);
}

}  // namespace

const std::vector<std::string>& NormalDepthItemTexts() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> texts;
        for (int item = 0; item < kNormalDepthItems; ++item)
            texts.push_back(std::to_string(NormalDepthOfItem(item)) + "手");
        return texts;
    }();
    return items;
}

const std::vector<std::string>& WinDepthItemTexts() {
    static const std::vector<std::string> items = EndgameItems(kWinDepthItems);
    return items;
}

const std::vector<std::string>& PerfectDepthItemTexts() {
    static const std::vector<std::string> items = EndgameItems(kPerfectDepthItems);
    return items;
}

PlayerDialog ShowPlayers(const PlayerSettings& black, const PlayerSettings& white) {
    return {ControlsOf(black), ControlsOf(white)};
}

void PressPreset(PlayerControls& side, Preset preset) {
    PlayerSettings depths;
    ApplyPreset(depths, preset);
    const PlayerControls shown = ControlsOf(depths);
    side.normalItem = shown.normalItem;
    side.winItem = shown.winItem;
    side.perfectItem = shown.perfectItem;
}

void PressSwap(PlayerDialog& dialog) {
    PlayerControls& b = dialog.black;
    PlayerControls& w = dialog.white;
    std::swap(b.computer, w.computer);
    std::swap(b.normalItem, w.normalItem);
    std::swap(b.winItem, w.winItem);
    std::swap(b.perfectItem, w.perfectItem);
}

void ConfirmPlayers(const PlayerDialog& dialog, PlayerSettings& black, PlayerSettings& white) {
    Store(dialog.black, black);
    Store(dialog.white, white);
}

}  // namespace tavik
