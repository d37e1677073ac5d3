// The settings in the registry key of the current user: read once while the main window is
// created, written once when it is destroyed. Only values move here; what the settings mean
// for the menus and the board is the main window's (ApplySettings).
#ifndef TAVIK_GAME_UI_SETTINGS_STORE_H
#define TAVIK_GAME_UI_SETTINGS_STORE_H

#include <string>

#include "app_settings.h"

namespace tavik::ui {

// The login name of the current user, or empty when Windows will not say.
std::string LoginName();

// Every stored value; a missing key, or a value that is missing or unreadable, leaves the
// default of a first run (both names the login name). Nothing is checked or mended here.
AppSettings ReadStoredSettings();

// All 19 values, whether or not they were stored before; failures go unnoticed.
void WriteStoredSettings(const AppSettings& settings);

}  // namespace tavik::ui

#endif
