#include "settings_store.h"

#include <windows.h>

#include <cstring>
#include <vector>

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
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &got) == ERROR_SUCCESS)
        name.assign(data.data(), strnlen(data.data(), got));
}

}  // namespace

AppSettings ReadStoredSettings() {
    // Every field starts at its default; a value that cannot be read leaves it there.
    AppSettings settings = DefaultAppSettings(LoginName());
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return settings;
    for (int i = 0; i < kDwordValues; ++i) {
        DWORD size = sizeof(int32_t);
        int32_t value;
        if (RegQueryValueExA(key, DwordValueName(i), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
            size == sizeof value)
            *DwordValueField(settings, i) = value;
    }
    DWORD size = sizeof(int32_t);
    int32_t value;
    if (RegQueryValueExA(key, kShowMoveValuesValue, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        size == sizeof value) {
        settings.showMoveValues = value != 0 ? 1 : 0;
        settings.showMoveValuesStored = true;
    }
    ReadName(key, kBlackNameValue, settings.black.playerName);
    ReadName(key, kWhiteNameValue, settings.white.playerName);
    RegCloseKey(key);
    return settings;
}

void WriteStoredSettings(const AppSettings& settings) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    for (int i = 0; i < kDwordValues; ++i) {
        const int32_t value = *DwordValueField(settings, i);
        RegSetValueExA(key, DwordValueName(i), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
    }
    if (StoresShowMoveValues(settings)) {
        const int32_t value = settings.showMoveValues != 0 ? 1 : 0;
        RegSetValueExA(key, kShowMoveValuesValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    const std::string* names[2] = {&settings.black.playerName, &settings.white.playerName};
    const char* values[2] = {kBlackNameValue, kWhiteNameValue};
    for (int i = 0; i < 2; ++i)
        RegSetValueExA(key, values[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(names[i]->c_str()),
                       static_cast<DWORD>(names[i]->size() + 1));
    RegCloseKey(key);
}

}  // namespace tavik::ui
