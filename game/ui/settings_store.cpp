// The settings in the registry: read once while the main window is created, written once when
// it is destroyed. Missing or unreadable values take their defaults without a word.
#include <cstring>
#include <vector>

#include "ui.h"

namespace tavik::ui {

std::string LoginName() {
    char name[1024];
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size)) return "";
    return std::string(name, strnlen(name, sizeof name));
}

namespace {

// A stored name: the text up to its first zero. The value may hold more zeros behind it, or
// none at all if another program wrote it; neither may read past the data. A name that cannot
// be read leaves `name` as it was.
void ReadName(HKEY key, const char* value, std::string& name) {
    DWORD size = 0;
    if (RegQueryValueExA(key, value, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return;
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &got) ==
        ERROR_SUCCESS)
        name.assign(data.data(), strnlen(data.data(), got));
}

}  // namespace

void ApplyPriority(int32_t priority) {
    int item = PriorityItemOf(priority);
    if (item < 0) {
        item = PriorityItemOf(0);
        priority = 0;
    }
    g_settings.thinkThreadPriority = priority;
    SetRadio(kCmdPriorityIdle, kCmdPriorityRealTime, kCmdPriorityIdle + item);
}

void LoadSettings() {
    // Every field starts at its default; a value that cannot be read leaves it there.
    g_settings = DefaultAppSettings(LoginName());
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (int i = 0; i < kDwordValues; ++i) {
            DWORD size = sizeof(int32_t);
            int32_t value;
            if (RegQueryValueExA(key, DwordValueName(i), nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                size == sizeof value)
                *DwordValueField(g_settings, i) = value;
        }
        ReadName(key, kBlackNameValue, g_settings.black.playerName);
        ReadName(key, kWhiteNameValue, g_settings.white.playerName);
        RegCloseKey(key);
    }

    LoadBoardDesign(BoardDesignOf(g_settings.boardNumber));
    LoadStoneDesign(StoneDesignOf(g_settings.stoneNumber));
    if (g_settings.showPossiblePosition) SetMenuChecked(kCmdShowMoves, true);
    if (g_settings.showKifu) OpenKifuWindow();
    if (g_settings.designateAutoPlay) SetMenuChecked(kCmdAutoPlay, true);
    ApplyPriority(g_settings.thinkThreadPriority);
}

void SaveSettings() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < kDwordValues; ++i) {
        const int32_t value = *DwordValueField(g_settings, i);
        RegSetValueExA(key, DwordValueName(i), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
    }
    const std::string* names[2] = {&g_settings.black.playerName, &g_settings.white.playerName};
    const char* values[2] = {kBlackNameValue, kWhiteNameValue};
    for (int i = 0; i < 2; ++i)
        RegSetValueExA(key, values[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(names[i]->c_str()),
                       static_cast<DWORD>(names[i]->size() + 1));
    RegCloseKey(key);
}

}  // namespace tavik::ui
