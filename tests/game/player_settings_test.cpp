// Player settings: defaults, presets, the colour swap, the choice of search, the dialog's list
// mapping (stored values outside the lists included) and the names the record shows.
#include <gtest/gtest.h>

#include <cstring>

#include "app_settings.h"
#include "board_functions.h"
#include "player_settings.h"
#include "position_text.h"
#include "texts.h"

namespace {

using namespace tavik;

TEST(PlayerSettings, FreshStartAndTheRecordNames) {
    const PlayerSettings black = DefaultPlayer(1, "yamada");
    const PlayerSettings white = DefaultPlayer(-1, "yamada");
    EXPECT_EQ(0, black.isComputer);
    EXPECT_EQ(1, white.isComputer);
    EXPECT_EQ(7, black.normalDepth);
    EXPECT_EQ(18, white.winDepth);
    EXPECT_EQ(16, white.perfectDepth);
    static GameRecord record;
    std::memset(&record, 0x55, sizeof record);
    RefreshPlayerNames(black, white, record);
    EXPECT_STREQ("yamada", record.blackName);
    EXPECT_STREQ("Tavik", record.whiteName);
    EXPECT_EQ(0, record.whiteName[kNameBytes - 1]) << "the rest of the field is cleared";
}

TEST(PlayerSettings, StrongWhiteThenSwap) {
    PlayerSettings black = DefaultPlayer(1, "kuro");
    PlayerSettings white = DefaultPlayer(-1, "shiro");
    ApplyPreset(black, Preset::kWeak);
    ApplyPreset(white, Preset::kStrong);
    SwapColours(black, white);
    EXPECT_EQ(1, black.isComputer);
    EXPECT_EQ(9, black.normalDepth);
    EXPECT_EQ(20, black.winDepth);
    EXPECT_EQ(18, black.perfectDepth);
    EXPECT_EQ(0, white.isComputer);
    EXPECT_EQ(5, white.normalDepth);
    EXPECT_EQ(16, white.winDepth);
    EXPECT_EQ(14, white.perfectDepth);
    EXPECT_EQ("kuro", black.playerName);
    EXPECT_EQ("shiro", white.playerName);
    PlayerSettings normal;
    ApplyPreset(normal, Preset::kNormal);
    EXPECT_EQ(7, normal.normalDepth);
    EXPECT_EQ(18, normal.winDepth);
    EXPECT_EQ(16, normal.perfectDepth);
}

TEST(PlayerSettings, SearchModeByEmptySquares) {
    struct Case {
        int normal, win, perfect, empty, depth;
    } cases[] = {
        {7, 18, 16, 19, 7}, {7, 18, 16, 18, 0}, {7, 18, 16, 17, 0}, {7, 18, 16, 16, -1},
        {7, 18, 16, 1, -1}, {7, 0, 0, 1, 7},    {7, 14, 16, 15, -1}, {7, 14, 16, 17, 7},
        {3, 20, 0, 20, 0},  {3, 20, 0, 21, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.depth, EngineDepth(c.normal, c.win, c.perfect, c.empty))
            << c.normal << "/" << c.win << "/" << c.perfect << " at " << c.empty;
    }
}

TEST(PlayerSettings, ListItemsAndStoredValues) {
    for (int item = 0; item < kNormalDepthItems; ++item) {
        EXPECT_EQ(item, ItemOfNormalDepth(NormalDepthOfItem(item)));
    }
    for (int item = 0; item < kWinDepthItems; ++item) {
        EXPECT_EQ(item, ItemOfEndgameDepth(EndgameDepthOfItem(item), kWinDepthItems));
    }
    struct Case {
        int32_t value;
        int winItem, perfectItem;
    } cases[] = {
        {0, 0, 0},   {7, 0, 0},   {8, 1, 1},  {9, 1, 1},   {16, 5, 5}, {18, 6, 6},
        {19, 6, 6},  {20, 7, -1}, {21, 7, -1}, {22, -1, -1}, {-2, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.winItem, ItemOfEndgameDepth(c.value, kWinDepthItems)) << c.value;
        EXPECT_EQ(c.perfectItem, ItemOfEndgameDepth(c.value, kPerfectDepthItems)) << c.value;
    }
    EXPECT_EQ(-1, ItemOfNormalDepth(0));
    EXPECT_EQ(-1, ItemOfNormalDepth(11));
    // what OK stores for a list that shows no item: the first item's value
    EXPECT_EQ(1, NormalDepthOfItem(-1));
    EXPECT_EQ(0, EndgameDepthOfItem(-1));
}

TEST(PlayerSettings, LongNamesAreCutOnACharacterBoundary) {
    const std::string kanji = "\x8a\xbf";  // a two-byte character
    struct Case {
        std::string name;
        size_t expectedBytes;
    } cases[] = {
        {std::string(1024, 'a'), 1024},
        {std::string(1030, 'a'), 1024},
        {std::string(1023, 'a') + kanji, 1023},  // the character would need byte 1025
        {std::string(1022, 'a') + kanji + "b", 1024},
        {std::string(1, 'a') + std::string(1100, '\x81'), 1023},  // lead bytes pair up
    };
    for (const Case& c : cases) {
        PlayerSettings player;
        player.playerName = c.name;
        EXPECT_EQ(c.expectedBytes, RecordName(player).size());
    }
    EXPECT_EQ("ab", CutToBytes("ab" + kanji, 3));
}

TEST(AppSettings, StoredValuesNameDistinctFieldsWithTheirDefaults) {
    AppSettings settings = DefaultAppSettings("yamada");
    struct Expected {
        const char* name;
        int32_t value;
    };
    // The registry's names and the first-run values, in the order they are read and written.
    const Expected expected[kDwordValues] = {
        {"BoardNumber", 1},         {"StoneNumber", 1},         {"ShowPossiblePosition", 0},
        {"DesignateAutoPlay", 0},   {"ThinkThreadPriority", 0}, {"BlackThinkDepth", 7},
        {"WhiteThinkDepth", 7},     {"StudyThinkDepth", 7},     {"BlackThinkWinDepth", 18},
        {"WhiteThinkWinDepth", 18}, {"StudyThinkWinDepth", 18}, {"BlackThinkPerfectDepth", 16},
        {"WhiteThinkPerfectDepth", 16}, {"StudyThinkPerfectDepth", 16}, {"ShowKifu", 1},
        {"IsBlackComputer", 0},     {"IsWhiteComputer", 1}};
    for (int i = 0; i < kDwordValues; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(expected[i].name, DwordValueName(i));
        EXPECT_EQ(expected[i].value, *DwordValueField(settings, i));
        *DwordValueField(settings, i) = 1000 + i;  // each name reaches its own field
    }
    EXPECT_EQ(1000, settings.boardNumber);
    EXPECT_EQ(1006, settings.white.normalDepth);
    EXPECT_EQ(1010, settings.study.winDepth);
    EXPECT_EQ(1013, settings.study.perfectDepth);
    EXPECT_EQ(1015, settings.black.isComputer);
    EXPECT_EQ(nullptr, DwordValueName(kDwordValues));
    EXPECT_EQ("yamada", settings.white.playerName);
}

TEST(AppSettings, StoredNumbersOnTheMenus) {
    const int32_t boards[][2] = {{1, 1}, {2, 2}, {3, 3}, {0, 1}, {4, 1}, {9, 1}, {-1, 1}};
    for (auto& b : boards) EXPECT_EQ(b[1], BoardDesignOf(b[0])) << b[0];
    const int32_t stones[][2] = {{1, 1}, {2, 2}, {3, 1}, {0, 1}, {-2, 1}};
    for (auto& s : stones) EXPECT_EQ(s[1], StoneDesignOf(s[0])) << s[0];
    const int32_t priorities[][2] = {{-15, 0}, {-2, 1}, {-1, 2}, {0, 3}, {1, 4}, {2, 5},
                                     {15, 6}, {3, -1}, {-3, -1}, {16, -1}, {-16, -1}};
    for (auto& p : priorities) {
        EXPECT_EQ(p[1], PriorityItemOf(p[0])) << p[0];
        if (p[1] >= 0) {
            EXPECT_EQ(p[0], PriorityOfItem(p[1]));
        }
    }
}

TEST(AppSettings, StoredNumbersNoMenuHasAreMendedAtLoad) {
    struct Case {
        int32_t board, stone, priority;
        int32_t boardAfter, stoneAfter, priorityAfter;
    } cases[] = {
        {3, 2, 15, 3, 2, 15},  // all valid: kept, RealTime too
        {9, 0, 7, 1, 1, 0},
        {-1, 3, -15, 1, 1, -15},
    };
    for (const Case& c : cases) {
        AppSettings settings = DefaultAppSettings("x");
        settings.boardNumber = c.board;
        settings.stoneNumber = c.stone;
        settings.thinkThreadPriority = c.priority;
        settings.black.normalDepth = 99;  // depths and switches are not the loader's to mend
        settings.showKifu = 5;
        NormaliseStored(settings);
        EXPECT_EQ(c.boardAfter, settings.boardNumber);
        EXPECT_EQ(c.stoneAfter, settings.stoneNumber);
        EXPECT_EQ(c.priorityAfter, settings.thinkThreadPriority);
        EXPECT_EQ(99, settings.black.normalDepth);
        EXPECT_EQ(5, settings.showKifu);
    }
}

TEST(AppSettings, TurnStatusText) {
    struct Case {
        const char* position;
        bool running;
        const char* text;  // code page 932
    };
    const Case cases[] = {
        {"start", false, "\x81\x9c" "2\x90\xce \x81\x9b" "2\x90\xce \x8d\x95\x94\xd4"},
        {"f5", true,
         "\x81\x9c" "4\x90\xce \x81\x9b" "1\x90\xce \x94\x92\x94\xd4 \x91\xce\x8b\xc7\x92\x86"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        BoardState board = tavik::InitialBoard();
        if (std::string(c.position) != "start") {
            ASSERT_EQ("", tavik_tools::ParseTranscript(c.position, board));
        }
        EXPECT_EQ(c.text, TurnStatusText(board, c.running));
    }
    // A finished game names nobody to move.
    BoardState over;
    ASSERT_EQ("", tavik_tools::ParseDiagram(std::string(64, 'X'), "O", over));
    EXPECT_EQ("\x81\x9c" "64\x90\xce \x81\x9b" "0\x90\xce", TurnStatusText(over, false));
}

}  // namespace

