// The version window's text: the program's own name, version and copyright, the engine's as
// the engine reports them, and where to reach the authors.
#ifndef TAVIK_GAME_CORE_VERSION_TEXT_H
#define TAVIK_GAME_CORE_VERSION_TEXT_H

#include <cstdint>
#include <string>

#include "ostrakon.h"

namespace tavik {

constexpr int32_t kProgramMajorVersion = 2;
constexpr int32_t kProgramMinorVersion = 13;
constexpr const char* kProgramCopyright =
    "Copyright (C) 2026 The Tavik developers. All rights reserved.";
constexpr const char* kAuthorSite = "https://tavik.example.jp/";
constexpr const char* kAuthorMail = "author@tavik.example.jp";

// "2.13"; the minor number always takes two digits ("2.01"), the last two of its decimal
// form with a "0" in front.
std::string VersionNumberText(int32_t major, int32_t minor);

// "Tavikのバージョン情報".
std::string VersionCaption();

// Twelve lines, each ended by CR LF, in code page 932. The engine's texts are read up to their
// terminator or the end of their field, whichever comes first.
std::string VersionWindowText(const VersionInfo& engine);

}  // namespace tavik

#endif
