// Every choice that survives from one run to the next, with the registry's value names, the
// defaults and the rules that map stored numbers onto the menus. Portable: the registry calls
// live in the window layer, which walks the tables here.
#ifndef TAVIK_GAME_CORE_APP_SETTINGS_H
#define TAVIK_GAME_CORE_APP_SETTINGS_H

#include <cstdint>
#include <string>

#include "player_settings.h"

namespace tavik {

struct AppSettings {
    int32_t boardNumber = 1;           // 1 green, 2 blue-green, 3 meadow
    int32_t stoneNumber = 1;           // 1 go stones, 2 flat discs
    int32_t showPossiblePosition = 0;  // legal-move frames
    int32_t designateAutoPlay = 0;     // play a human's only move at once
    int32_t thinkThreadPriority = 0;   // a Windows thread priority
    int32_t showKifu = 1;              // the record window is open
    // The values of the legal moves drawn on the board. Kept out of the table below: it is
    // written only once it was stored or differs from its default, so the registry of a user
    // who never turned it on holds exactly the values it always held.
    int32_t showMoveValues = 0;
    bool showMoveValuesStored = false;  // the registry held it when the settings were read
    PlayerSettings black = DefaultPlayer(1, "");
    PlayerSettings white = DefaultPlayer(-1, "");
    StudyDepths study;
};

// The settings of a first run: both players named after the login user.
AppSettings DefaultAppSettings(const std::string& loginName);

// The stored 32-bit values, in the order they are read and written.
constexpr int kDwordValues = 17;
const char* DwordValueName(int index);
int32_t* DwordValueField(AppSettings& settings, int index);
const int32_t* DwordValueField(const AppSettings& settings, int index);
constexpr const char* kBlackNameValue = "BlackPlayerName";
constexpr const char* kWhiteNameValue = "WhitePlayerName";
constexpr const char* kShowMoveValuesValue = "ShowMoveValues";

// Whether the store writes ShowMoveValues at all.
inline bool StoresShowMoveValues(const AppSettings& settings) {
    return settings.showMoveValuesStored || settings.showMoveValues != 0;
}
constexpr const char* kSettingsKey = "Software\\Halvorn\\Tavik";

// Stored designs outside the menus fall back to the first design.
int32_t BoardDesignOf(int32_t stored);
int32_t StoneDesignOf(int32_t stored);

// The priority menu's seven items, Idle .. RealTime; a value of no item selects Normal (0).
constexpr int kPriorityItems = 7;
int32_t PriorityOfItem(int item);
int PriorityItemOf(int32_t priority);  // -1 for a value no item has

// Stored numbers that no menu item has, as a load leaves them: the designs fall back to the
// first one and the priority to Normal (0). Depths and switches are kept as they are.
void NormaliseStored(AppSettings& settings);

}  // namespace tavik

#endif
