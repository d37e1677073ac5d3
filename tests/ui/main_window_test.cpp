// The real main window, created in this process under Wine: menus, accelerators, status bar,
// sizes, menu states, the settings in the registry, the board picture and the error report.
// Each test starts from a settings key it prepares and ends with the window destroyed, as a
// run of the game would.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app_settings.h"
#include "board_functions.h"
#include "expected_layout.h"
#include "report_error.h"
#include "resource_ids.h"
#include "ui_test_support.h"

namespace {

using namespace tavik;
using namespace tavik::ui;
using namespace tavik_ui_test;
using MainWindow = WindowTest;

using Item = expected::MenuItem;

std::vector<Item> ItemsOf(HMENU menu) {
    std::vector<Item> items;
    static std::vector<std::string> texts;  // keeps the texts alive for the comparison
    texts.clear();
    texts.reserve(64);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            items.push_back({0, nullptr});
        } else {
            texts.emplace_back(text);
            items.push_back({info.wID, texts.back().c_str()});
        }
    }
    return items;
}

void ExpectItems(HMENU menu, const std::vector<Item>& expected) {
    const std::vector<Item> actual = ItemsOf(menu);
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        if (!expected[i].text) {
            EXPECT_EQ(nullptr, actual[i].text) << "a separator";
            continue;
        }
        ASSERT_NE(nullptr, actual[i].text);
        EXPECT_STREQ(expected[i].text, actual[i].text);
        if (expected[i].id) {
            EXPECT_EQ(expected[i].id, actual[i].id);
        }
    }
}

TEST_F(MainWindow, MenuTreeTextsIdsAndOrder) {
    Start();
    HMENU bar = GetMenu(Main());
    ASSERT_EQ(W().Menus().Bar(), bar);
    HMENU settings = GetSubMenu(bar, 2);
    const std::pair<HMENU, const std::vector<Item>*> menus[] = {
        {bar, &expected::kMenuBar},
        {GetSubMenu(bar, 0), &expected::kGameMenu},
        {GetSubMenu(bar, 1), &expected::kStudyMenu},
        {settings, &expected::kSettingsMenu},
        {GetSubMenu(settings, 2), &expected::kPriorityMenu},
        {GetSubMenu(settings, 3), &expected::kBoardMenu},
        {GetSubMenu(settings, 4), &expected::kStoneMenu},
        {GetSubMenu(bar, 3), &expected::kViewMenu},
        {GetSubMenu(bar, 4), &expected::kHelpMenu},
    };
    for (size_t i = 0; i < std::size(menus); ++i) {
        SCOPED_TRACE(i);
        ExpectItems(menus[i].first, *menus[i].second);
    }
    // Radio groups show as radio marks.
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoA(W().Menus().Bar(), expected::kPriorityNormal, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(info.fState & MFS_CHECKED);
}

TEST_F(MainWindow, AcceleratorsStatusBarAndClientSize) {
    Start();
    ACCEL table[32];
    const std::vector<ACCEL>& expectedTable = expected::kAccelerators;
    ASSERT_EQ(static_cast<int>(expectedTable.size()),
              CopyAcceleratorTableA(W().Accelerators(), table, 32));
    for (size_t i = 0; i < expectedTable.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expectedTable[i].fVirt,
                  table[i].fVirt & ~0x80);  // the last entry carries an end mark
        EXPECT_EQ(expectedTable[i].key, table[i].key);
        EXPECT_EQ(expectedTable[i].cmd, table[i].cmd);
    }

    ASSERT_NE(nullptr, W().StatusBar());
    EXPECT_EQ(expected::kStatusBar, GetDlgCtrlID(W().StatusBar()));
    int parts[8] = {};
    ASSERT_EQ(3, SendMessageA(W().StatusBar(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(parts)));
    EXPECT_EQ(100, parts[0]);
    EXPECT_EQ(250, parts[1]);
    EXPECT_EQ(400, parts[2]);

    RECT client, bar;
    GetClientRect(Main(), &client);
    GetWindowRect(W().StatusBar(), &bar);
    EXPECT_EQ(401, client.right);
    EXPECT_EQ(401 + (bar.bottom - bar.top), client.bottom);
    char caption[64];
    GetWindowTextA(Main(), caption, sizeof caption);
    EXPECT_STREQ("Tavik", caption);
    const LONG style = GetWindowLongA(Main(), GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(MainWindow, FontsOfTheAuxiliaryWindows) {
    Start();
    for (int kind = 0; kind < kFontCount; ++kind) {
        SCOPED_TRACE(kind);
        LOGFONTA font{};
        ASSERT_EQ(static_cast<int>(sizeof font),
                  GetObjectA(W().Font(static_cast<FontKind>(kind)), sizeof font, &font));
        EXPECT_EQ(-12, font.lfHeight);
        EXPECT_EQ(0, font.lfWidth);
        EXPECT_EQ(FW_NORMAL, font.lfWeight);
        EXPECT_EQ(SHIFTJIS_CHARSET, font.lfCharSet);
        EXPECT_EQ(3, font.lfOutPrecision);
        EXPECT_EQ(2, font.lfClipPrecision);
        EXPECT_EQ(1, font.lfQuality);
        EXPECT_EQ(kind == kFontVersion ? 50 : 32, font.lfPitchAndFamily);
        EXPECT_STREQ("ＭＳ Ｐゴシック", font.lfFaceName);
    }
}

TEST_F(MainWindow, MenuStatesFollowTheGame) {
    Start();
    auto command = [this](UINT id) { Command(id); };
    EXPECT_FALSE(Greyed(expected::kStart));
    EXPECT_TRUE(Greyed(expected::kStop));
    for (UINT id = expected::kBestMove; id <= expected::kOpenness; ++id)
        EXPECT_FALSE(Greyed(id)) << id;
    EXPECT_TRUE(Greyed(expected::kPriorityRealTime)) << "RealTime only with /D";

    command(expected::kStop);  // stopping a game that does not run changes nothing
    EXPECT_FALSE(Greyed(expected::kStart));
    EXPECT_TRUE(Greyed(expected::kStop));

    command(expected::kStart);
    EXPECT_TRUE(Greyed(expected::kStart));
    EXPECT_FALSE(Greyed(expected::kStop));
    EXPECT_EQ(1, W().Session().Running());
    command(expected::kStart);  // a second start starts nothing new
    EXPECT_EQ(1, W().Session().Running());
    EXPECT_TRUE(Greyed(expected::kStart));

    char text[256] = {};
    SendMessageA(W().StatusBar(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("●2石 ○2石 黒番 対局中", text);

    command(expected::kStop);
    EXPECT_FALSE(Greyed(expected::kStart));
    EXPECT_TRUE(Greyed(expected::kStop));
    SendMessageA(W().StatusBar(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("●2石 ○2石 黒番", text);

    // Check items toggle with their marks.
    EXPECT_FALSE(Checked(expected::kAutoPlay));
    command(expected::kAutoPlay);
    EXPECT_TRUE(Checked(expected::kAutoPlay));
    EXPECT_EQ(1, W().Settings().designateAutoPlay);
    command(expected::kPriorityHigher);
    EXPECT_EQ(1, W().Settings().thinkThreadPriority);
    EXPECT_TRUE(Checked(expected::kPriorityHigher));
    EXPECT_FALSE(Checked(expected::kPriorityNormal));
}

TEST_F(MainWindow, FirstRunUsesTheDefaultsAndStoresAllValues) {
    Start();
    const AppSettings defaults = DefaultAppSettings(LoginName());
    EXPECT_EQ(1, W().Settings().boardNumber);
    EXPECT_TRUE(Checked(expected::kBoardGreen));
    EXPECT_TRUE(Checked(expected::kStoneGo));
    EXPECT_FALSE(Checked(expected::kShowMoves));
    EXPECT_TRUE(Checked(expected::kShowKifu));
    EXPECT_NE(nullptr, W().Records().Window()) << "the record window opens on a first run";
    EXPECT_TRUE(Checked(expected::kPriorityNormal)) << "priority Normal";
    EXPECT_EQ(LoginName(), W().Settings().black.playerName);
    EXPECT_FALSE(LoginName().empty());
    EXPECT_STREQ(LoginName().c_str(), Record().blackName);
    EXPECT_STREQ("Tavik", Record().whiteName);
    Close();

    AppSettings reference = defaults;
    for (int i = 0; i < kDwordValues; ++i)
        EXPECT_EQ(static_cast<DWORD>(*DwordValueField(reference, i)),
                  StoredDword(DwordValueName(i)))
            << DwordValueName(i);
    std::string name;
    DWORD type = 0;
    ASSERT_TRUE(ReadStored(kBlackNameValue, name, type));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(LoginName() + '\0', name);
    ASSERT_TRUE(ReadStored(kWhiteNameValue, name, type));
}

TEST_F(MainWindow, StoredValuesAreAppliedAndMendedOnTheWayBack) {
    struct Case {
        const char* what;
        const char* commandLine;
        DWORD board, priority;
        DWORD expectBoardBack, expectPriorityBack;
        UINT boardItem, priorityItem;
        bool realTimeGreyed;
    };
    using expected::kBoardGreen, expected::kBoardBlue, expected::kBoardMeadow,
        expected::kPriorityNormal, expected::kPriorityRealTime;
    const Case cases[] = {
        {"design 9 falls back to green", "Tavik.exe", 9, 0, 1, 0, kBoardGreen, kPriorityNormal,
         true},
        {"meadow, priority of no item", "Tavik.exe", 3, 7, 3, 0, kBoardMeadow, kPriorityNormal,
         true},
        {"RealTime stored, no switch", "Tavik.exe", 2, 15, 2, 15, kBoardBlue, kPriorityRealTime,
         true},
        {"RealTime with /D", "\"Tavik.exe\" /D", 1, 15, 1, 15, kBoardGreen, kPriorityRealTime,
         false},
        {"lower-case /d is no switch", "Tavik.exe /d", 1, 15, 1, 15, kBoardGreen, kPriorityRealTime,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearSettings();
        StoreDword("BoardNumber", c.board);
        StoreDword("ThinkThreadPriority", c.priority);
        StoreDword("ShowKifu", 0);
        commandLine = c.commandLine;
        Start();
        EXPECT_TRUE(Checked(c.boardItem));
        // The board shows that design's texture: an empty square's pixel equals the picture's.
        const int resource[] = {IDB_BOARD_GREEN, IDB_BOARD_BLUEGREEN, IDB_BOARD_GRASS};
        HBITMAP texture = static_cast<HBITMAP>(LoadImageA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource[c.boardItem - kBoardGreen]),
            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        HDC dc = CreateCompatibleDC(W().View().BackDc());
        HGDIOBJ old = SelectObject(dc, texture);
        for (auto [x, y] : {std::pair{52, 52}, {77, 130}, {313, 21}})
            EXPECT_EQ(GetPixel(dc, x % 100, y % 100), Pixel(x, y)) << x << "," << y;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(texture);
        EXPECT_TRUE(Checked(c.priorityItem));
        EXPECT_EQ(c.realTimeGreyed, Greyed(expected::kPriorityRealTime));
        EXPECT_EQ(nullptr, W().Records().Window());
        EXPECT_FALSE(Checked(expected::kShowKifu));
        Close();
        EXPECT_EQ(c.expectBoardBack, StoredDword("BoardNumber"));
        EXPECT_EQ(c.expectPriorityBack, StoredDword("ThinkThreadPriority"));
    }
}

TEST_F(MainWindow, NamesWithTrailingZerosOrWrongValuesReadBack) {
    StoreBytes("BlackPlayerName", REG_SZ, std::string("山田\0\0\0", 7));
    StoreBytes("WhitePlayerName", REG_SZ, "no terminator");  // written by some other program
    StoreBytes("StudyThinkDepth", REG_BINARY,
               std::string("\x05\x00\x00\x00\x00\x00", 6));  // too long
    StoreDword("BlackThinkDepth", 3);
    Start();
    EXPECT_EQ("山田", W().Settings().black.playerName);
    EXPECT_EQ("no terminator", W().Settings().white.playerName);
    EXPECT_EQ(7, W().Settings().study.normalDepth) << "an unreadable value takes its default";
    EXPECT_EQ(3, W().Settings().black.normalDepth);
    Close();
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(ReadStored("BlackPlayerName", bytes, type));
    EXPECT_EQ(std::string("山田") + '\0', bytes);
    EXPECT_EQ(7u, StoredDword("StudyThinkDepth"));
}

TEST_F(MainWindow, CloseBoxAndExitCommandSaveAlike) {
    for (UINT how : {0u, 1053u}) {
        SCOPED_TRACE(how);
        ClearSettings();
        Start();
        SendMessageA(Main(), WM_COMMAND, expected::kBoardBlue, 0);  // blue-green board
        SendMessageA(Main(), WM_COMMAND, expected::kShowMoves, 0);  // legal-move marks on
        SendMessageA(Main(), WM_COMMAND, expected::kShowKifu, 0);   // record window closed
        if (how)
            SendMessageA(Main(), WM_COMMAND, how, 0);
        else
            SendMessageA(Main(), WM_CLOSE, 0, 0);
        Pump();
        EXPECT_EQ(nullptr, Main());
        EXPECT_EQ(2u, StoredDword("BoardNumber"));
        EXPECT_EQ(1u, StoredDword("ShowPossiblePosition"));
        EXPECT_EQ(0u, StoredDword("ShowKifu"));
    }
}

// The board picture, read back from the back buffer.
TEST_F(MainWindow, BoardPicture) {
    StoreDword("ShowKifu", 0);
    Start();
    const COLORREF black = RGB(0, 0, 0), key = RGB(0, 255, 0);
    for (int line = 0; line <= 400; line += 50)
        for (int along : {3, 77, 199, 398}) {
            EXPECT_EQ(black, Pixel(line, along)) << "vertical line " << line;
            EXPECT_EQ(black, Pixel(along, line)) << "horizontal line " << line;
        }
    // Star points: filled dots centred on four crossings, nothing beyond their 9 pixels.
    for (auto [x, y] : {std::pair{100, 100}, {300, 100}, {100, 300}, {300, 300}}) {
        EXPECT_EQ(black, Pixel(x + 3, y + 2));
        EXPECT_EQ(black, Pixel(x - 3, y - 2));
        EXPECT_NE(black, Pixel(x + 7, y + 7));
    }
    EXPECT_NE(black, Pixel(200 + 3, 200 + 3)) << "no star point in the middle";
    // The stones: opaque discs, transparent corners, no key colour anywhere.
    const int d4x = 150, d4y = 150;  // D4, white at the start
    const int e4x = 200;             // E4, black
    EXPECT_GT(GetRValue(Pixel(d4x + 25, d4y + 25)), 150);
    EXPECT_LT(GetRValue(Pixel(e4x + 25, d4y + 25)), 90);
    EXPECT_EQ(Pixel(52, 52), Pixel(d4x + 2, d4y + 2))
        << "the corner shows the texture (tiles of 100)";
    for (int y = 0; y <= 400; y += 7)
        for (int x = 0; x <= 400; x += 3) ASSERT_NE(key, Pixel(x, y)) << x << "," << y;

    // Legal-move frames: one pixel inside the grid lines of D3, C4, F5 and E6, and not at D6.
    SendMessageA(Main(), WM_COMMAND, expected::kShowMoves, 0);
    for (auto [c, r] : {std::pair{3, 2}, {2, 3}, {5, 4}, {4, 5}}) {
        EXPECT_EQ(key, Pixel(50 * c + 1, 50 * r + 20)) << c << r;
        EXPECT_EQ(key, Pixel(50 * c + 25, 50 * r + 49)) << c << r;
        EXPECT_NE(key, Pixel(50 * c + 2, 50 * r + 20));
    }
    EXPECT_NE(key, Pixel(50 * 3 + 1, 50 * 5 + 20));
    SendMessageA(Main(), WM_COMMAND, expected::kShowMoves, 0);
    EXPECT_NE(key, Pixel(50 * 3 + 1, 50 * 2 + 20)) << "marks off";

    // A position without a legal move for the side to move shows no frame.
    SendMessageA(Main(), WM_COMMAND, expected::kShowMoves, 0);
    SetGame([](BoardState& board, GameRecord&) {
        for (int cell = 10; cell <= 80; ++cell)
            if (board.cells[cell] != 0xFFFF) board.cells[cell] = 1;
        board.cells[10] = 0;
    });
    EXPECT_NE(key, Pixel(1, 20));
}

// A picture of the program's resources, pixel by pixel.
std::vector<COLORREF> ResourcePixels(int resource, int width, int height) {
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return pixels;
}

TEST_F(MainWindow, SwitchingTheStonesRedrawsEveryStoneInTheNewDesign) {
    StoreDword("ShowKifu", 0);
    Start();
    SetGame([](BoardState& board, GameRecord& record) {
        ReplayMoves(record, 0, board);
        for (int cell : {CellOf(5, 4), CellOf(5, 3), CellOf(4, 2)})  // F5 F4 E3: both colours
            ASSERT_TRUE(ReverseStones(&board, cell));
    });
    const BoardState before = Board();
    auto squarePixels = [&](int cell) {
        std::vector<COLORREF> pixels;
        const int x0 = 50 * ((cell - 10) % 9), y0 = 50 * ((cell - 10) / 9);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) pixels.push_back(Pixel(x0 + x, y0 + y));
        return pixels;
    };
    std::vector<std::vector<COLORREF>> empty;
    for (int cell = 10; cell <= 80; ++cell)
        if (before.cells[cell] == 0) empty.push_back(squarePixels(cell));
    Command(expected::kStoneFlat);
    EXPECT_TRUE(Checked(expected::kStoneFlat));
    const std::vector<COLORREF> flat[2] = {ResourcePixels(IDB_STONE_FLAT_BLACK, 50, 50),
                                           ResourcePixels(IDB_STONE_FLAT_WHITE, 50, 50)};
    const std::vector<COLORREF> go[2] = {ResourcePixels(IDB_STONE_GO_BLACK, 50, 50),
                                         ResourcePixels(IDB_STONE_GO_WHITE, 50, 50)};
    ASSERT_NE(flat[0], go[0]) << "the two designs must differ for this test to see the switch";
    int stones = 0;
    size_t emptyIndex = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        const int32_t disc = before.cells[cell];
        if (disc == 0xFFFF) continue;
        SCOPED_TRACE(cell);
        const std::vector<COLORREF> now = squarePixels(cell);
        if (disc == 0) {
            EXPECT_EQ(empty[emptyIndex++], now) << "an empty square stays as it was";
            continue;
        }
        ++stones;
        // Every opaque pixel of the new design's stone is on the board; the key colour is not.
        const std::vector<COLORREF>& image = flat[disc == 1 ? 0 : 1];
        int opaque = 0;
        for (size_t i = 0; i < image.size(); ++i) {
            if (image[i] == RGB(0, 255, 0)) continue;
            ++opaque;
            ASSERT_EQ(image[i], now[i]) << "pixel " << i % 50 << "," << i / 50;
        }
        EXPECT_GT(opaque, 1000);
    }
    EXPECT_EQ(7, stones);
    const BoardState after = Board();
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before)) << "the position does not change";
}

TEST_F(MainWindow, TextureTilesStopAt399) {
    StoreDword("ShowKifu", 0);
    Start();
    // A 60 x 70 texture of one colour: tiles do not divide 400, so the last ones are cut.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP texture = CreateCompatibleBitmap(screen, 60, 70);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, texture);
    RECT all{0, 0, 60, 70};
    HBRUSH red = CreateSolidBrush(RGB(200, 10, 10));
    FillRect(dc, &all, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    W().View().UseTexture(texture);
    // Paint over a known colour so a pixel no tile reaches would show.
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT board{0, 0, 401, 401};
    FillRect(W().View().BackDc(), &board, blue);
    DeleteObject(blue);
    W().Redraw();
    const COLORREF texel = RGB(200, 10, 10);
    EXPECT_EQ(texel, Pixel(399, 399));
    EXPECT_EQ(texel, Pixel(361, 389));  // inside the cut last tile
    EXPECT_EQ(texel, Pixel(399, 1));
    EXPECT_EQ(RGB(0, 0, 0), Pixel(400, 399)) << "only the grid line at 400";
}

TEST_F(MainWindow, ErrorReportsShowABoxAndAppendLines) {
    char folder[MAX_PATH], old[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, old);
    GetTempPathA(MAX_PATH, folder);
    std::string dir = std::string(folder) + "tavik-report-test";
    CreateDirectoryA(dir.c_str(), nullptr);
    SetCurrentDirectoryA(dir.c_str());
    DeleteFileA("error.log");

    // A bitmap step's box comes between two logged reports: its own caption and no line.
    struct Case {
        const char* text;
        ErrorReport how;
        const char* caption;
        bool logged;
    };
    const Case cases[] = {
        {"スレッドの作成に失敗しました。", ErrorReport::kLogged, "エラー発生", true},
        {"ファイルを開くことができませんでした", ErrorReport::kBitmapStep, "エラー", false},
        {"エラー発生", ErrorReport::kLogged, "エラー発生", true},
    };
    BoxAnswerer answerer;
    std::string expectedLog;
    for (const Case& c : cases) {
        ReportError(c.text, c.how);
        if (c.logged) expectedLog += std::string(c.text) + "\r\n";
    }
    std::ifstream log("error.log", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(log)), {});
    log.close();
    EXPECT_EQ(expectedLog, bytes);
    const auto boxes = answerer.Boxes();
    ASSERT_EQ(std::size(cases), boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(cases[i].text);
        EXPECT_EQ(cases[i].caption, boxes[i].caption);
        EXPECT_EQ(cases[i].text, boxes[i].text);
    }
    DeleteFileA("error.log");
    SetCurrentDirectoryA(old);
    RemoveDirectoryA(dir.c_str());
}

TEST_F(MainWindow, RecordWindowBesideTheBoard) {
    Start();
    ASSERT_NE(nullptr, W().Records().Window());
    RECT main, kifu;
    GetWindowRect(Main(), &main);
    GetWindowRect(W().Records().Window(), &kifu);
    EXPECT_EQ(main.right, kifu.left);
    EXPECT_EQ(main.top, kifu.top);
    EXPECT_EQ(330, kifu.right - kifu.left);
    EXPECT_EQ(300, kifu.bottom - kifu.top);
    char caption[32] = {};
    GetWindowTextA(W().Records().Window(), caption, sizeof caption);
    EXPECT_STREQ("棋譜", caption);
    EXPECT_EQ(Main(), GetWindow(W().Records().Window(), GW_OWNER));

    struct Column {
        const char* text;
        int width, format;
    };
    const Column columns[] = {{"", 30, LVCFMT_LEFT},
                              {"場所", 40, LVCFMT_LEFT},
                              {"評価値", 80, LVCFMT_LEFT},
                              {"思考時間", 65, LVCFMT_RIGHT},
                              {"評価局面数", 80, LVCFMT_RIGHT}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(W().Records().List(), LVM_GETCOLUMNA, i,
                                 reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(columns[i].text, text);
        EXPECT_EQ(columns[i].width, column.cx);
        EXPECT_EQ(columns[i].format, column.fmt & LVCFMT_JUSTIFYMASK);
    }
    EXPECT_EQ(expected::kRecordList, GetDlgCtrlID(W().Records().List()));

    // The list fills the window whatever its size.
    MoveWindow(W().Records().Window(), 10, 10, 420, 350, TRUE);
    RECT client, list;
    GetClientRect(W().Records().Window(), &client);
    GetWindowRect(W().Records().List(), &list);
    EXPECT_EQ(client.right, list.right - list.left);
    EXPECT_EQ(client.bottom, list.bottom - list.top);

    // Its close box unchecks the menu item, and the next start leaves it closed.
    SendMessageA(W().Records().Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, W().Records().Window());
    EXPECT_FALSE(Checked(expected::kShowKifu));
    Close();
    EXPECT_EQ(0u, StoredDword("ShowKifu"));
    Start();
    EXPECT_EQ(nullptr, W().Records().Window());
    SendMessageA(Main(), WM_COMMAND, expected::kShowKifu, 0);
    EXPECT_NE(nullptr, W().Records().Window());
    EXPECT_TRUE(Checked(expected::kShowKifu));
}

}  // namespace
