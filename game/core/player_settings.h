// Who plays each colour and how deeply the computer searches for it, plus the study depths.
#ifndef TAVIK_GAME_CORE_PLAYER_SETTINGS_H
#define TAVIK_GAME_CORE_PLAYER_SETTINGS_H

#include <cstdint>
#include <string>

#include "game_record.h"

namespace tavik {

struct PlayerSettings {
    int32_t isComputer = 0;
    std::string playerName;   // code page 932
    int32_t normalDepth = 7;  // plies, 1..10
    int32_t winDepth = 18;    // empty squares from which the win/loss search is used; 0 = never
    int32_t perfectDepth = 16;
};

struct StudyDepths {
    int32_t normalDepth = 7;
    int32_t winDepth = 18;
    int32_t perfectDepth = 16;
};

// Fresh settings: black a human, white the computer, both named after the login user.
PlayerSettings DefaultPlayer(int colour, const std::string& loginName);

enum class Preset { kWeak, kNormal, kStrong };
void ApplyPreset(PlayerSettings& player, Preset preset);

// Exchanges who plays and the three depths; the names stay with their colours.
void SwapColours(PlayerSettings& black, PlayerSettings& white);

// The engine's depth argument for a computer move with `emptySquares` empty squares: -1
// perfect, 0 win/loss, else the normal depth. The perfect test comes first.
int32_t EngineDepth(int32_t normalDepth, int32_t winDepth, int32_t perfectDepth, int emptySquares);

// The dialog's lists: 10 normal depths ("1手".."10手"), 8 win depths and 7 perfect depths
// ("使用しない", "終盤8手", ...). An item index of -1 means "no item".
constexpr int kNormalDepthItems = 10;
constexpr int kWinDepthItems = 8;
constexpr int kPerfectDepthItems = 7;
int32_t NormalDepthOfItem(int item);   // no item: the first item's value, 1
int32_t EndgameDepthOfItem(int item);  // no item: the first item's value, 0
int ItemOfNormalDepth(int32_t depth);
int ItemOfEndgameDepth(int32_t depth, int items);  // odd values take the even value below

// The name shown in the record for a colour: "Tavik" for the computer, else the player's name
// cut to 1024 bytes without splitting a two-byte character.
std::string RecordName(const PlayerSettings& player);
void RefreshPlayerNames(const PlayerSettings& black, const PlayerSettings& white,
                        GameRecord& record);

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character boundary.
std::string CutToBytes(const std::string& text, size_t maxBytes);

}  // namespace tavik

#endif
