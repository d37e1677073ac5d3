// Playing games in the real window under Wine: a human against the computer, the computer
// against itself, passes, results, the search mode by empty squares, clicks that must be
// refused, stopping a thinking computer (also hundreds of times), the forced move, navigation
// and the record list, and navigation racing the moves of two computers.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "board_functions.h"
#include "game_file.h"
#include "texts.h"
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

class GameFlow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StoreDword("ShowKifu", 1);
        ClearStatusTexts();
        statusObserver = Observe;
        Start();
    }
    void TearDown() override {
        Command(kCmdStop);
        WindowTest::TearDown();
    }
    void Click(const char* square) {
        const int x = 50 * (square[0] - 'A') + 25, y = 50 * (square[1] - '1') + 25;
        SendMessageA(Main(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Players(bool blackComputer, bool whiteComputer) {
        W().Settings().black.isComputer = blackComputer;
        W().Settings().white.isComputer = whiteComputer;
    }
    int Moves() { return RecordedMoves(Record()); }
    bool Idle() { return !W().Session().Running() && W().Session().MovesInFlight() == 0; }
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
    ASSERT_TRUE(PumpUntil([&] { return Moves() >= 2 && W().Session().MovesInFlight() == 0; }))
        << "white should answer";
    EXPECT_TRUE(Seen(1, "●4石 ○1石 白番 対局中"));
    const GameRecord record = Record();
    EXPECT_EQ(1, record.moves[0].side);
    EXPECT_EQ(51, record.moves[0].square);
    EXPECT_EQ(-1, record.moves[1].side);
    EXPECT_TRUE(PumpUntil([&] { return !W().Session().WorkerBusy(); }));
    EXPECT_EQ(2, ListRows());
    EXPECT_EQ(1, Board().sideToMove);
    EXPECT_EQ(0u, boxes.Boxes().size());
}

TEST_F(GameFlow, ClicksThatMustBeRefused) {
    // An illegal square on the person's own turn.
    Players(false, false);
    Command(kCmdStart);
    Click("A1");
    Pump();
    EXPECT_EQ(0, W().Session().MovesInFlight());
    EXPECT_EQ(0, Moves());

    // A legal square while a move is on its way: the test holds the move lock, so the move
    // thread of F5 waits and the click on D3, legal on the board still shown, must not count.
    {
        GameSession::Turn held(W().Session());
        Click("F5");
        ASSERT_EQ(1, W().Session().MovesInFlight());
        Click("D3");
        EXPECT_EQ(1, W().Session().MovesInFlight()) << "no second move thread";
    }
    ASSERT_TRUE(PumpUntil([&] { return W().Session().MovesInFlight() == 0; }));
    EXPECT_EQ(1, Moves());
    EXPECT_EQ(51, Record().moves[0].square);

    // A legal square of the side the computer plays, while it thinks.
    Command(kCmdStop);
    PositionAfter(20);  // black to move, out of the book
    Players(true, false);
    W().Settings().black.normalDepth = 10;  // far longer than the test waits
    Command(kCmdStart);
    ASSERT_TRUE(PumpUntil([&] { return W().Session().WorkerBusy(); }));
    int legal = 0;
    const BoardState board = Board();
    for (int cell = 10; cell <= 80 && !legal; ++cell)
        if (CanDrop(&board, cell)) legal = cell;
    ASSERT_NE(0, legal);
    const GameRecord before = Record();
    Click(SquareName(legal).c_str());
    EXPECT_EQ(0, W().Session().MovesInFlight());
    Command(kCmdStop);
    const GameRecord after = Record();
    const BoardState boardAfter = Board();
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
    EXPECT_EQ(0, std::memcmp(&board, &boardAfter, sizeof board));
}

TEST_F(GameFlow, ComputerAgainstComputerPlaysAWholeGame) {
    BoxAnswerer boxes;
    Players(true, true);
    for (PlayerSettings* p : {&W().Settings().black, &W().Settings().white}) {
        p->normalDepth = 2;
        p->winDepth = 10;
        p->perfectDepth = 8;
    }
    Command(kCmdNewGame);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 300)) << "the game should end";
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 10));
    const BoardState board = Board();
    EXPECT_EQ(ResultText(CountCells(board, 1), CountCells(board, -1)), boxes.Boxes().back().text);
    EXPECT_TRUE(IsGameOver(board));
    // The record replays to the final position, and a game file of it is sound.
    const GameRecord record = Record();
    const std::vector<uint8_t> file = EncodeGameFile(record);
    GameRecord check;
    EXPECT_EQ(GameFileError::kNone, DecodeGameFile(file.data(), file.size(), check).error);
    BoardState replayed;
    ReplayMoves(record, RecordedMoves(record), replayed);
    EXPECT_EQ(0, std::memcmp(replayed.cells, board.cells, sizeof replayed.cells));
    EXPECT_EQ(RecordedMoves(record), ListRows());
    EXPECT_FALSE(W().Session().WorkerBusy());
    EXPECT_FALSE(Greyed(kCmdBestMove));
}

TEST_F(GameFlow, TwoComputersPassWithoutAMessage) {
    // White to move with three squares left: the perfect search plays F2, black must pass,
    // white plays A1, black passes again, and white ends the game on B1.
    BoxAnswerer boxes;
    PositionAfter(57);
    Players(true, true);
    Command(kCmdStart);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 60));
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 10));
    const GameRecord record = Record();
    ASSERT_EQ(60, RecordedMoves(record));
    for (int i = 57; i < 60; ++i) EXPECT_EQ(-1, record.moves[i].side) << "move " << i + 1;
    EXPECT_EQ(0u, boxes.Count("パス")) << "no pass message between two computers";
}

TEST_F(GameFlow, AHumanPassIsAnnouncedOnce) {
    BoxAnswerer boxes;
    Players(false, false);
    PositionAfter(57);  // white to move; after F2 black has no move
    Command(kCmdStart);
    Click("F2");
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("パス") == 1; }, 10));
    ASSERT_TRUE(PumpUntil([&] { return Moves() == 58 && W().Session().MovesInFlight() == 0; }));
    EXPECT_EQ(-1, Board().sideToMove) << "white moves again";
    EXPECT_EQ("黒：パスです", boxes.Boxes()[0].text);
    // The box is shown by the move thread, which waits for its answer: with no move on its way
    // every box there was has been answered, and counted.
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
        SetGame([&c](BoardState& board, GameRecord&) {
            int square = 0;
            for (int cell = 10; cell <= 80; ++cell) {
                if (board.cells[cell] == 0xFFFF) continue;
                board.cells[cell] = square < c.blackDiscs                  ? 1
                                    : square < c.blackDiscs + c.whiteDiscs ? -1
                                                                           : 0;
                ++square;
            }
            board.sideToMove = 1;
        });
        Command(kCmdStart);  // a finished position: the result at once, and the game stops
        ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 10));
        EXPECT_EQ("黒 : " + std::to_string(c.blackDiscs) +
                      "石\t白 : " + std::to_string(c.whiteDiscs) + "石\r\n\r\n" + c.verdict,
                  boxes.Boxes()[0].text);
        EXPECT_TRUE(PumpUntil([&] { return !W().Session().Running(); }, 5));
    }
}

TEST_F(GameFlow, SearchModeFollowsTheEmptySquares) {
    struct Case {
        int moves;  // of the golden game: 60 - moves empty squares, no pass before
        const char* mode;
    };
    const Case cases[] = {
        {48, "完全探索中(深さ12)"}, {43, "必勝探索中(深さ17)"}, {41, "通常探索中(深さ7)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        PositionAfter(c.moves);
        const int side = Board().sideToMove;
        Players(side == 1, side == -1);
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
    W().Settings().black.normalDepth = 10;  // far longer than the test waits
    const GameRecord before = Record();
    const BoardState board = Board();
    Command(kCmdStart);
    ASSERT_TRUE(PumpUntil([&] { return !StatusTexts(2).empty() && W().Session().WorkerBusy(); }));
    EXPECT_TRUE(Greyed(kCmdBestMove)) << "the study menu is greyed while the computer thinks";
    const DWORD start = GetTickCount();
    Command(kCmdStop);
    const DWORD took = GetTickCount() - start;
    std::printf("stopping a depth-10 search took %lu ms\n", static_cast<unsigned long>(took));
    EXPECT_FALSE(W().Session().WorkerBusy());
    EXPECT_FALSE(Greyed(kCmdBestMove));
    char text[256] = {};
    SendMessageA(W().StatusBar(), SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("", text);
    // A move handed over just before the stop would be on its way now: let it land or drop.
    ASSERT_TRUE(PumpUntil([&] { return W().Session().MovesInFlight() == 0; }, 20));
    const GameRecord after = Record();
    const BoardState boardAfter = Board();
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before)) << "no move was recorded";
    EXPECT_EQ(0, std::memcmp(&board, &boardAfter, sizeof board)) << "no move was played";
}

TEST_F(GameFlow, HundredsOfStartsAndStopsWhileThinkingLeakNothing) {
    PositionAfter(20);
    Players(true, false);
    W().Settings().black.normalDepth = 9;
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

    // The gauge must see a leak: ten handles left open raise it by ten.
    const HandleGauge gauge = HandleGauge::Choose();
    ASSERT_TRUE(gauge.SeesALeak()) << "the handle gauge cannot see a leak here";

    PROCESS_MEMORY_COUNTERS memory{};
    const uint64_t handlesBefore = gauge.Measure();
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    const SIZE_T bytesBefore = memory.PagefileUsage;
    const DWORD start = GetTickCount();
    const int cycles = 300;
    for (int i = 0; i < cycles; ++i) cycle();
    const DWORD took = GetTickCount() - start;
    const uint64_t handlesAfter = gauge.Measure();
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    // Handles and sizes are 64-bit on x64 (unsigned long is not): printed whole.
    std::printf(
        "%d start/stop cycles in %lu ms; handles (%s) %llu -> %llu; private bytes %llu -> %llu\n",
        cycles, static_cast<unsigned long>(took), gauge.counted ? "counted" : "probe slot",
        static_cast<unsigned long long>(handlesBefore),
        static_cast<unsigned long long>(handlesAfter), static_cast<unsigned long long>(bytesBefore),
        static_cast<unsigned long long>(memory.PagefileUsage));
    EXPECT_LE(handlesAfter, handlesBefore + 2) << "a thread handle per cycle would add " << cycles;
    std::printf("%d of the cycles stopped the engine inside its search\n", inSearch);
    EXPECT_GE(inSearch, cycles / 2 - 5);
    EXPECT_LT(memory.PagefileUsage, bytesBefore + 2 * 1024 * 1024);
    EXPECT_FALSE(W().Session().WorkerBusy());
    EXPECT_EQ(60, Moves()) << "the golden record is untouched";
}

TEST_F(GameFlow, TheOnlyMoveIsPlayedForAHumanWhoAskedForIt) {
    BoxAnswerer boxes;
    Players(false, false);
    Command(kCmdAutoPlay);
    PositionAfter(59);  // white to move, B1 the only move, the game's last
    Command(kCmdStart);
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 20));
    const GameRecord record = Record();
    EXPECT_EQ(60, RecordedMoves(record));
    EXPECT_EQ(11, record.moves[59].square);
    EXPECT_EQ(-1, record.moves[59].side);
}

// The move threads and the computer player work from the settings as the menus last applied
// them. A menu command writes the window's settings and then applies them; a worker that read
// the window's settings directly would see a write before it is applied (and, on another
// thread, while it is being written).
TEST_F(GameFlow, WorkersSeeTheSettingsAsTheMenusApplyThem) {
    BoxAnswerer boxes;
    Players(false, false);
    PositionAfter(58);  // white to move with A1 and B1; after A1 black must pass
    Command(kCmdStart);
    ASSERT_EQ(-1, Board().sideToMove);
    Command(kCmdAutoPlay);  // applied while the game runs: the next forced move is played
    W().Settings().designateAutoPlay = 0;  // written, never applied
    Click("A1");
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count("終局") == 1; }, 20))
        << "white's only move, B1, is played for the person who asked for it";
    EXPECT_EQ(1u, boxes.Count("パス"));
    const GameRecord record = Record();
    EXPECT_EQ(60, RecordedMoves(record));
    EXPECT_EQ(11, record.moves[59].square);
}

TEST_F(GameFlow, NavigationAndANewLineRebuildTheList) {
    PositionAfter(60);
    Players(false, false);
    const BoardState last = Board();
    auto same = [&](const BoardState& expected) {
        const BoardState now = Board();
        return std::memcmp(&expected, &now, sizeof now) == 0;
    };
    Command(kCmdLast);
    EXPECT_TRUE(same(last)) << "already at the last position";
    Command(kCmdForward);
    EXPECT_TRUE(same(last));
    Command(kCmdFirst);
    EXPECT_EQ(60, CountCells(Board(), 0));
    Command(kCmdBack);
    EXPECT_EQ(60, CountCells(Board(), 0)) << "nothing before the initial position";
    Command(kCmdLast);
    EXPECT_TRUE(same(last));
    // The wheel: away from the user goes back, with Ctrl to the start.
    SendMessageA(Main(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(1, CountCells(Board(), 0));
    SendMessageA(Main(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
    EXPECT_EQ(60, CountCells(Board(), 0));
    SendMessageA(Main(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(0, CountCells(Board(), 0));

    // Three moves back, then another move: the later moves go, and the list is made anew.
    for (int i = 0; i < 3; ++i) Command(kCmdBack);
    EXPECT_EQ(3, CountCells(Board(), 0));
    EXPECT_EQ(60, ListRows());
    Command(kCmdStart);
    const BoardState board = Board();
    const int oldMove = Record().moves[57].square;
    int other = 0;
    for (int cell = 10; cell <= 80 && !other; ++cell)
        if (CanDrop(&board, cell) && cell != oldMove) other = cell;
    ASSERT_NE(0, other);
    Click(SquareName(other).c_str());
    ASSERT_TRUE(PumpUntil([&] { return Moves() == 58; }));
    EXPECT_TRUE(PumpUntil([&] { return ListRows() == 58; }, 5));
    EXPECT_EQ(other, Record().moves[57].square);
}

TEST_F(GameFlow, ANewGameLeavesTheNamesEmpty) {
    // Until the players are confirmed again or the program starts anew.
    ASSERT_STREQ("Tavik", Record().whiteName);
    Command(kCmdNewGame);
    Command(kCmdStop);
    const GameRecord record = Record();
    EXPECT_STREQ("", record.blackName);
    EXPECT_STREQ("", record.whiteName);
    EXPECT_EQ(0, RecordedMoves(record));
}

// Navigation and new games while two computers play as fast as they can: every command lands
// while moves are being chosen, handed over or applied. Whatever the timing, the board shown
// is the replay of the record up to its move number.
TEST_F(GameFlow, NavigationRacingTheMovesOfTwoComputers) {
    BoxAnswerer boxes;  // games that reach their end show the result
    Players(true, true);
    for (PlayerSettings* p : {&W().Settings().black, &W().Settings().white}) {
        p->normalDepth = 1;
        p->winDepth = 0;
        p->perfectDepth = 0;
    }
    const char* scale = std::getenv("TAVIK_STRESS_ITERATIONS");
    const int iterations = scale ? std::atoi(scale) : 2000;
    const UINT commands[] = {kCmdNewGame, kCmdFirst, kCmdBack, kCmdForward, kCmdLast};
    std::mt19937 random(20261208);
    int inFlight = 0, running = 0, moves = 0;
    const DWORD start = GetTickCount();
    for (int i = 0; i < iterations; ++i) {
        Command(kCmdStart);
        // Let the game go on for a moment of varying length, answering what the threads send.
        const int spins = static_cast<int>(random() % 40);
        for (int k = 0; k < spins; ++k) {
            Pump();
            if (k % 8 == 7) Sleep(1);
        }
        inFlight += W().Session().MovesInFlight() > 0;
        const UINT command = commands[random() % 5];
        Command(command);
        const auto [board, record] = W().Session().Read(
            [](const BoardState& b, const GameRecord& r) { return std::make_pair(b, r); });
        moves += RecordedMoves(record);
        BoardState replayed;
        ReplayMoves(record, 60 - CountCells(board, 0), replayed);
        if (W().Session().Running()) {
            // A new game runs on at once: a pass may be half made, so only the discs must agree.
            ++running;
            ASSERT_EQ(0, std::memcmp(board.cells, replayed.cells, sizeof board.cells))
                << "iteration " << i;
        } else {
            ASSERT_EQ(0, W().Session().MovesInFlight()) << "iteration " << i;
            ASSERT_EQ(0, std::memcmp(&board, &replayed, sizeof board))
                << "iteration " << i << ", command " << command;
            ASSERT_EQ(RecordedMoves(record), ListRows())
                << "iteration " << i << ", command " << command;
        }
    }
    Command(kCmdStop);
    std::printf(
        "%d navigations and new games in %lu ms: %d found a move on its way, %d left a new game "
        "running; %d moves in the records seen, %zu games reached their end\n",
        iterations, static_cast<unsigned long>(GetTickCount() - start), inFlight, running, moves,
        boxes.Count("終局"));
    EXPECT_GT(inFlight, iterations / 20)
        << "too few commands met a move on its way to test the race";
}

}  // namespace
