#include "player_settings.h"

#include <cstring>
#include <utility>

#include "texts.h"

namespace tavik {

PlayerSettings DefaultPlayer(int colour, const std::string& loginName) {
    PlayerSettings player;
    player.isComputer = colour == -1 ? 1 : 0;
    player.playerName = loginName;
    return player;
}

void ApplyPreset(PlayerSettings& player, Preset preset) {
    struct Depths {
        int32_t normal, win, perfect;
    };
    constexpr Depths kPresets[] = {{5, 16, 14}, {7, 18, 16}, {9, 20, 18}};
    const Depths& d = kPresets[static_cast<int>(preset)];
    player.normalDepth = d.normal;
    player.winDepth = d.win;
    player.perfectDepth = d.perfect;
}

void SwapColours(PlayerSettings& black, PlayerSettings& white) {
    std::swap(black.isComputer, white.isComputer);
    std::swap(black.normalDepth, white.normalDepth);
    std::swap(black.winDepth, white.winDepth);
    std::swap(black.perfectDepth, white.perfectDepth);
}

int32_t EngineDepth(int32_t normalDepth, int32_t winDepth, int32_t perfectDepth, int emptySquares) {
    if (emptySquares <= perfectDepth) return -1;
    if (emptySquares <= winDepth) return 0;
    return normalDepth;
}

int32_t NormalDepthOfItem(int item) { return item >= 0 && item < kNormalDepthItems ? item + 1 : 1; }

int32_t EndgameDepthOfItem(int item) { return item >= 1 ? 6 + 2 * item : 0; }

int ItemOfNormalDepth(int32_t depth) {
    return depth >= 1 && depth <= kNormalDepthItems ? depth - 1 : -1;
}

int ItemOfEndgameDepth(int32_t depth, int items) {
    if (depth >= 0 && depth <= 7) return 0;
    if (depth < 0) return -1;
    const int item = (depth - 6) / 2;
    return item < items ? item : -1;
}

namespace {

void CopyName(char (&field)[kNameBytes], const std::string& name) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name.data(), name.size());
}

}  // namespace

std::string CutToBytes(const std::string& text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t length = IsCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + length > maxBytes) break;
        end += length;
    }
    return text.substr(0, end < text.size() ? end : text.size());
}

std::string RecordName(const PlayerSettings& player) {
    return player.isComputer ? std::string("Tavik") : CutToBytes(player.playerName, kNameBytes - 1);
}

void RefreshPlayerNames(const PlayerSettings& black, const PlayerSettings& white,
                        GameRecord& record) {
    CopyName(record.blackName, RecordName(black));
    CopyName(record.whiteName, RecordName(white));
}

}  // namespace tavik
