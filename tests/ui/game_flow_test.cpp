// Playing games in the real window under Wine: a human against the computer, the computer
// against itself, passes, results, the search mode by empty squares, stopping a thinking
// computer (also hundreds of times), the forced move, navigation and the record list.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "board_functions.h"
#include "game_file.h"
#include "game_flow.h"
#include "ui_test_support.h"

namespace {

using namespace tavik_ui_test;

std::mutex gStatusMutex;
std::vector<std::string> gStatus[3];

void Observe(int part, const char* text) {
    std::lock_guard<std::mutex> lock(gStatusMutex);
    if (part >= 0 && part < 3) gStatus[part].emplace_back(text);
}

std::vector<std::string> StatusTexts(int part) {
    std::lock_guard<std::mutex> lock(gStatusMutex);
    return gStatus[part];
}

void ClearStatusTexts() {
    std::lock_guard<std::mutex> lock(gStatusMutex);
    for (auto& texts : gStatus) texts.clear();
}

// Pumps messages until `done` holds or `seconds` pass; answers whether it held.
template <typename Condition>
bool PumpUntil(Condition done, double seconds = 60) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > seconds * 1000) return false;
        Pump();
        Sleep(5);
    }
    return true;
}

// A whole game with two passes near the end (tests/data/games): positions along it.
GameRecord& GoldenGame() {
    static GameRecord record;
    static bool loaded = false;
    if (!loaded) {
        std::ifstream in(TAVIK_DATA_DIR "/games/full_with_pass.tvk", std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(GameFileError::kNone, DecodeGameFile(bytes.data(), bytes.size(), record).error);
        loaded = true;
    }
    return record;
}

class GameFlow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StoreDword("ShowKifu", 1);
        ClearStatusTexts();
        g_statusObserverForTests = Observe;
        ClearRecord(g_record);  // as in a fresh process
        Start();
    }
    void TearDown() override {
        Command(kCmdStop);
        g_statusObserverForTests = nullptr;
        WindowTest::TearDown();
    }
    static void Command(UINT id) { SendMessageA(g_ui.main, WM_COMMAND, id, 0); }
    static void Click(const char* square) {
        const int x = 50 * (square[0] - 'A') + 25, y = 50 * (square[1] - '1') + 25;
        SendMessageA(g_ui.main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    static void Players(bool blackComputer, bool whiteComputer) {
        g_settings.black.isComputer = blackComputer;
        g_settings.white.isComputer = whiteComputer;
    }
    // The golden game's record, with the board after its first `moves` moves.
    static void PositionAfter(int moves) {
        g_record = GoldenGame();
        ReplayMoves(g_record, moves, g_board);
        RebuildRecordList();
        Redraw();
    }
    static int ListRows() {
        return static_cast<int>(SendMessageA(g_ui.kifuList, LVM_GETITEMCOUNT, 0, 0));
    }
    static bool Seen(int part, const std::string& text) {
        for (const std::string& t : StatusTexts(part))
            if (t == text) return true;
        return false;
    }
};

TEST_F(GameFlow, HumanAgainstTheComputerWithTheDefaults) {
    BoxAnswerer boxes;
    Command(kCmdStart);
    Click("F5");
    ASSERT_TRUE(PumpUntil([] { return RecordedMoves(g_record) >= 2 && MovesInFlight() == 0; }))
        << "white should answer";
    EXPECT_TRUE(Seen(1, "●4石 ○1石 白番 対局中"));
    const MoveEntry first = g_record.moves[0], second = g_record.moves[1];
    EXPECT_EQ(1, first.side);
    EXPECT_EQ(51, first.square);
    EXPECT_EQ(-1, second.side);
    EXPECT_TRUE(PumpUntil([] { return g_workerBusy == 0; }));
    EXPECT_EQ(2, ListRows());
    EXPECT_EQ(1, g_board.sideToMove);
    EXPECT_EQ(0u, boxes.Boxes().size());
    // A click on the computer's turn or on an illegal square plays nothing.
    Click("A1");
    Pump();
    Sleep(50);
    Pump();
    EXPECT_EQ(2, RecordedMoves(g_record));
}

TEST_F(GameFlow, ComputerAgainstComputerPlaysAWholeGame) {
    BoxAnswerer boxes;
    Players(true, true);
    for (PlayerSettings* p : {&g_settings.black, &g_settings.white}) {
        p->normalDepth = 2;
        p->winDepth = 10;
        p->perfectDepth = 8;
    }
    Command(kCmdNewGame);
    ASSERT_TRUE(PumpUntil([] { return g_gameRunning == 0 && MovesInFlight() == 0; }, 300))
        << "the game should end";
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 10));
    EXPECT_EQ(0u, boxes.Count("パス")) << "no pass message between two computers";
    const auto shown = boxes.Boxes();
    const int black = CountCells(g_board, 1), white = CountCells(g_board, -1);
    std::string expected = "黒 : " + std::to_string(black) + "石\t白 : " + std::to_string(white) + "石\r\n\r\n";
    expected += black > white   ? "黒の" + std::to_string(black - white) + "石勝ち"
                : black < white ? "白の" + std::to_string(white - black) + "石勝ち"
                                : std::string("引き分け");
    EXPECT_EQ(expected, shown.back().text);
    EXPECT_TRUE(IsGameOver(g_board));
    // The record replays to the final position with the sides it holds.
    const std::vector<uint8_t> file = EncodeGameFile(g_record);
    GameRecord check;
    EXPECT_EQ(GameFileError::kNone, DecodeGameFile(file.data(), file.size(), check).error);
    BoardState replayed;
    ReplayMoves(g_record, RecordedMoves(g_record), replayed);
    EXPECT_EQ(0, std::memcmp(replayed.cells, g_board.cells, sizeof replayed.cells));
    EXPECT_EQ(RecordedMoves(g_record), ListRows());
    EXPECT_EQ(0, g_workerBusy);
    EXPECT_FALSE(Greyed(kCmdBestMove));
}

TEST_F(GameFlow, AHumanPassIsAnnouncedOnce) {
    BoxAnswerer boxes;
    Players(false, false);
    PositionAfter(57);  // white to move; after F2 black has no move
    Command(kCmdStart);
    Click("F2");
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("パス") == 1; }, 10));
    ASSERT_TRUE(PumpUntil([] { return RecordedMoves(g_record) == 58 && MovesInFlight() == 0; }));
    EXPECT_EQ(-1, g_board.sideToMove) << "white moves again";
    EXPECT_EQ("黒：パスです", boxes.Boxes()[0].text);
    Sleep(100);
    Pump();
    EXPECT_EQ(1u, boxes.Count("パス"));
}

TEST_F(GameFlow, ResultsCountDiscsOnly) {
    struct Case {
        const char* what;
        int blackDiscs, whiteDiscs;  // the rest of the 64 squares stays empty
        const char* verdict;
    };
    const Case cases[] = {
        {"32 to 32", 32, 32, "引き分け"},
        {"two empty squares nobody can take", 62, 0, "黒の62石勝ち"},
        {"white ahead on a full board", 20, 44, "白の24石勝ち"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoxAnswerer boxes;
        int square = 0;
        for (int cell = 10; cell <= 80; ++cell) {
            if (g_board.cells[cell] == 0xFFFF) continue;
            g_board.cells[cell] = square < c.blackDiscs ? 1 : square < c.blackDiscs + c.whiteDiscs ? -1 : 0;
            ++square;
        }
        g_board.sideToMove = 1;
        Command(kCmdStart);  // a finished position: the result at once, and the game stops
        ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 10));
        const std::string text = boxes.Boxes()[0].text;
        EXPECT_EQ("黒 : " + std::to_string(c.blackDiscs) + "石\t白 : " + std::to_string(c.whiteDiscs) +
                      "石\r\n\r\n" + c.verdict,
                  text);
        EXPECT_TRUE(PumpUntil([] { return g_gameRunning == 0; }, 5));
    }
}

TEST_F(GameFlow, SearchModeFollowsTheEmptySquares) {
    struct Case {
        int moves;  // of the golden game: 60 - moves empty squares, no pass before
        const char* mode;
    };
    const Case cases[] = {{48, "完全探索中(深さ12)"}, {43, "必勝探索中(深さ17)"}, {41, "通常探索中(深さ7)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Command(kCmdStop);
        PositionAfter(c.moves);
        Players(g_board.sideToMove == 1, g_board.sideToMove == -1);
        ClearStatusTexts();
        Command(kCmdStart);
        ASSERT_TRUE(PumpUntil([] {
            for (const std::string& t : StatusTexts(2))
                if (!t.empty()) return true;
            return false;
        }));
        const std::vector<std::string> texts = StatusTexts(2);
        const std::string& first = texts.front().empty() ? texts[1] : texts.front();
        EXPECT_EQ(0u, first.find(c.mode)) << first;
        Command(kCmdStop);
    }
}

TEST_F(GameFlow, StoppingAThinkingComputerLeavesNothingBehind) {
    PositionAfter(20);  // black to move, out of the book
    Players(true, false);
    g_settings.black.normalDepth = 10;  // far longer than the test waits
    const GameRecord before = g_record;
    const BoardState board = g_board;
    Command(kCmdStart);
    ASSERT_TRUE(PumpUntil([] { return !StatusTexts(2).empty() && g_workerBusy; }));
    EXPECT_TRUE(Greyed(kCmdBestMove)) << "the study menu is greyed while the computer thinks";
    const DWORD start = GetTickCount();
    Command(kCmdStop);
    const DWORD took = GetTickCount() - start;
    std::printf("stopping a depth-10 search took %lu ms\n", static_cast<unsigned long>(took));
    EXPECT_EQ(0, g_workerBusy);
    EXPECT_FALSE(Greyed(kCmdBestMove));
    char text[256] = {};
    SendMessageA(g_ui.status, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("", text);
    Sleep(100);
    Pump();
    EXPECT_EQ(0, std::memcmp(&before, &g_record, sizeof before)) << "no move was recorded";
    EXPECT_EQ(0, std::memcmp(&board, &g_board, sizeof board)) << "no move was played";
}

TEST_F(GameFlow, HundredsOfStartsAndStopsWhileThinkingLeakNothing) {
    PositionAfter(20);
    Players(true, false);
    g_settings.black.normalDepth = 9;
    // Every other cycle stops at once (the thread may not have reached the engine yet), the
    // others only once the engine reported progress, inside the search.
    int inSearch = 0, number = 0;
    auto cycle = [&] {
        ClearStatusTexts();
        Command(kCmdStart);
        if (number++ % 2 && PumpUntil([] { return !StatusTexts(2).empty(); }, 5)) ++inSearch;
        Command(kCmdStop);
    };
    for (int i = 0; i < 20; ++i) cycle();  // warm up: first-use allocations of the system
    // Wine answers no handle count; a new handle takes the lowest free slot there, so a leak
    // shows as a higher value of a probe handle. Both are printed and checked.
    auto probe = [] {
        HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(h);
        return reinterpret_cast<uintptr_t>(h);
    };
    PROCESS_MEMORY_COUNTERS memory{};
    DWORD handlesBefore = 0, handlesAfter = 0;
    const uintptr_t probeBefore = probe();
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    const SIZE_T bytesBefore = memory.PagefileUsage;
    const DWORD start = GetTickCount();
    const int cycles = 300;
    for (int i = 0; i < cycles; ++i) cycle();
    const DWORD took = GetTickCount() - start;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    const uintptr_t probeAfter = probe();
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    // Handles and sizes are 64-bit on x64 (unsigned long is not): printed whole.
    std::printf("%d start/stop cycles in %lu ms; handle count %lu -> %lu; probe handle %llu -> %llu; "
                "private bytes %llu -> %llu\n",
                cycles, static_cast<unsigned long>(took), static_cast<unsigned long>(handlesBefore),
                static_cast<unsigned long>(handlesAfter), static_cast<unsigned long long>(probeBefore),
                static_cast<unsigned long long>(probeAfter), static_cast<unsigned long long>(bytesBefore),
                static_cast<unsigned long long>(memory.PagefileUsage));
    EXPECT_LE(handlesAfter, handlesBefore + 2);
    EXPECT_LE(probeAfter, probeBefore + 8);
    std::printf("%d of the cycles stopped the engine inside its search\n", inSearch);
    EXPECT_GE(inSearch, cycles / 2 - 5);
    EXPECT_LT(memory.PagefileUsage, bytesBefore + 2 * 1024 * 1024);
    EXPECT_EQ(0, g_workerBusy);
    EXPECT_EQ(0, RecordedMoves(g_record) - 60) << "the golden record is untouched";
}

TEST_F(GameFlow, TheOnlyMoveIsPlayedForAHumanWhoAskedForIt) {
    BoxAnswerer boxes;
    Players(false, false);
    Command(kCmdAutoPlay);
    PositionAfter(59);  // white to move, B1 the only move, the game's last
    Command(kCmdStart);
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 20));
    EXPECT_EQ(60, RecordedMoves(g_record));
    EXPECT_EQ(11, g_record.moves[59].square);
    EXPECT_EQ(-1, g_record.moves[59].side);
}

TEST_F(GameFlow, NavigationAndANewLineRebuildTheList) {
    PositionAfter(60);
    Players(false, false);
    const BoardState last = g_board;
    Command(kCmdLast);
    EXPECT_EQ(0, std::memcmp(&last, &g_board, sizeof last)) << "already at the last position";
    Command(kCmdForward);
    EXPECT_EQ(0, std::memcmp(&last, &g_board, sizeof last));
    Command(kCmdFirst);
    EXPECT_EQ(60, CountCells(g_board, 0));
    Command(kCmdBack);
    EXPECT_EQ(60, CountCells(g_board, 0)) << "nothing before the initial position";
    Command(kCmdLast);
    EXPECT_EQ(0, std::memcmp(&last, &g_board, sizeof last));
    // The wheel: away from the user goes back, with Ctrl to the start.
    SendMessageA(g_ui.main, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(1, CountCells(g_board, 0));
    SendMessageA(g_ui.main, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
    EXPECT_EQ(60, CountCells(g_board, 0));
    SendMessageA(g_ui.main, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(0, CountCells(g_board, 0));

    // Three moves back, then another move: the later moves go, and the list is made anew.
    for (int i = 0; i < 3; ++i) Command(kCmdBack);
    EXPECT_EQ(3, CountCells(g_board, 0));
    EXPECT_EQ(60, ListRows());
    Command(kCmdStart);
    int other = 0;
    for (int cell = 10; cell <= 80 && !other; ++cell)
        if (CanDrop(&g_board, cell) && cell != g_record.moves[57].square) other = cell;
    ASSERT_NE(0, other);
    const char name[3] = {static_cast<char>('A' + (other - 10) % 9), static_cast<char>('1' + (other - 10) / 9), 0};
    Click(name);
    ASSERT_TRUE(PumpUntil([] { return RecordedMoves(g_record) == 58; }));
    EXPECT_TRUE(PumpUntil([] { return ListRows() == 58; }, 5));
    EXPECT_EQ(other, g_record.moves[57].square);
}

}  // namespace
