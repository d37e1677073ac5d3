// The players dialog without its window: the lists' texts, what the controls show for stored
// settings (values outside the lists included), the presets and the swap, and what OK and
// cancel leave in the settings.
#include "player_dialog.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace tavik;

auto Fields(const PlayerControls& c) {
    return std::tie(c.computer, c.name, c.normalItem, c.winItem, c.perfectItem);
}
auto Fields(const PlayerSettings& p) {
    return std::tie(p.isComputer, p.playerName, p.normalDepth, p.winDepth, p.perfectDepth);
}

PlayerSettings Player(int32_t computer, const char* name, int32_t normal, int32_t win,
                      int32_t perfect) {
    PlayerSettings player;
    player.isComputer = computer;
    player.playerName = name;
    player.normalDepth = normal;
    player.winDepth = win;
    player.perfectDepth = perfect;
    return player;
}

PlayerControls Controls(bool computer, const char* name, int normal, int win, int perfect) {
    PlayerControls controls;
    controls.computer = computer;
    controls.name = name;
    controls.normalItem = normal;
    controls.winItem = win;
    controls.perfectItem = perfect;
    return controls;
}

TEST(PlayerDialog, ListTexts) {
    const std::vector<std::string> normal{"1手", "2手", "3手", "4手", "5手",
                                          "6手", "7手", "8手", "9手", "10手"};
    const std::vector<std::string> win{"使用しない", "終盤8手",  "終盤10手", "終盤12手",
                                       "終盤14手",   "終盤16手", "終盤18手", "終盤20手"};
    EXPECT_EQ(normal, NormalDepthItemTexts());
    EXPECT_EQ(win, WinDepthItemTexts());
    EXPECT_EQ(std::vector<std::string>(win.begin(), win.end() - 1), PerfectDepthItemTexts());
    EXPECT_EQ("\x8f\x49\x94\xd5\x32\x30\x8e\xe8", win.back()) << "code page 932 bytes";
}

TEST(PlayerDialog, StoredSettingsShownAndStoredBackByOk) {
    struct Case {
        const char* what;
        PlayerSettings stored;
        PlayerControls shown;
        PlayerSettings afterOk;
    } cases[] = {
        {"defaults", Player(0, "yamada", 7, 18, 16), Controls(false, "yamada", 6, 6, 5),
         Player(0, "yamada", 7, 18, 16)},
        {"odd win depth 19 shows 18", Player(1, "x", 10, 19, 9), Controls(true, "x", 9, 6, 1),
         Player(1, "x", 10, 18, 8)},
        {"small values are not used", Player(1, "", 1, 7, 3), Controls(true, "", 0, 0, 0),
         Player(1, "", 1, 0, 0)},
        {"perfect 20 has no item", Player(0, "a", 9, 20, 20), Controls(false, "a", 8, 7, -1),
         Player(0, "a", 9, 20, 0)},
        {"out of every list", Player(5, "b", 0, 22, -4), Controls(true, "b", -1, -1, -1),
         Player(1, "b", 1, 0, 0)},
        {"normal 11", Player(0, "c", 11, 8, 21), Controls(false, "c", -1, 1, -1),
         Player(0, "c", 1, 8, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PlayerDialog dialog = ShowPlayers(c.stored, Player(0, "w", 7, 18, 16));
        EXPECT_EQ(Fields(c.shown), Fields(dialog.black));
        PlayerSettings black, white;
        ConfirmPlayers(dialog, black, white);
        EXPECT_EQ(Fields(c.afterOk), Fields(black));
        EXPECT_EQ(Fields(Player(0, "w", 7, 18, 16)), Fields(white));
    }
}

TEST(PlayerDialog, PresetsSelectTheirItemsOnOneSide) {
    struct Case {
        Preset preset;
        int normal, win, perfect;
    } cases[] = {{Preset::kWeak, 4, 5, 4}, {Preset::kNormal, 6, 6, 5}, {Preset::kStrong, 8, 7, 6}};
    for (const Case& c : cases) {
        PlayerDialog dialog = ShowPlayers(Player(0, "k", 2, 0, 0), Player(1, "s", 3, 8, 8));
        const PlayerDialog before = dialog;
        PressPreset(dialog.white, c.preset);
        EXPECT_EQ(Fields(before.black), Fields(dialog.black));
        const PlayerControls expected = Controls(true, "s", c.normal, c.win, c.perfect);
        EXPECT_EQ(Fields(expected), Fields(dialog.white));
    }
}

TEST(PlayerDialog, StrongWhiteSwapThenOk) {
    PlayerDialog dialog = ShowPlayers(Player(0, "山田", 5, 16, 14), Player(1, "Tavik", 7, 18, 16));
    PressPreset(dialog.white, Preset::kStrong);
    PressSwap(dialog);
    PlayerSettings black, white;
    ConfirmPlayers(dialog, black, white);
    EXPECT_EQ(Fields(Player(1, "山田", 9, 20, 18)), Fields(black));
    EXPECT_EQ(Fields(Player(0, "Tavik", 5, 16, 14)), Fields(white));
    PressSwap(dialog);  // twice is back where it was, no selection lost
    PressSwap(dialog);
    ConfirmPlayers(dialog, black, white);
    EXPECT_EQ(Fields(Player(1, "山田", 9, 20, 18)), Fields(black));
}

TEST(PlayerDialog, SwapMovesANoSelectionAcross) {
    PlayerDialog dialog = ShowPlayers(Player(0, "k", 12, 30, 30), Player(1, "s", 3, 10, 12));
    PressSwap(dialog);
    const PlayerControls black = Controls(true, "k", 2, 2, 3),
                         white = Controls(false, "s", -1, -1, -1);
    EXPECT_EQ(Fields(black), Fields(dialog.black));
    EXPECT_EQ(Fields(white), Fields(dialog.white));
}

TEST(PlayerDialog, OkCutsALongNameOnACharacterBoundary) {
    PlayerDialog dialog = ShowPlayers(Player(0, "", 7, 18, 16), Player(0, "", 7, 18, 16));
    dialog.black.name = std::string(1023, 'a') + "\x8a\xbf";  // the character would end past 1024
    dialog.white.name = std::string(1024, 'b');
    PlayerSettings black, white;
    ConfirmPlayers(dialog, black, white);
    EXPECT_EQ(std::string(1023, 'a'), black.playerName);
    EXPECT_EQ(std::string(1024, 'b'), white.playerName);
}

}  // namespace
