// The study windows in the real program under Wine: the evaluation window in its four modes and
// the best-move window, their layout, captions and rows, playing from them during a game and
// not outside one, and closing them during a search (Escape, the button, the close message),
// also two hundred times, with no thread, handle or keyboard hook left behind.
//
// A study window runs its own message loop inside the command that opens it, so each test
// drives the window from a second thread (a script) while this thread is in that loop.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "analysis.h"
#include "board_functions.h"
#include "modal_windows.h"
#include "texts.h"
#include "ui_test_support.h"

namespace {

using namespace tavik_ui_test;

// Threads of this process (Wine answers no handle count, but it lists threads).
int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

std::vector<std::string> ListRow(HWND list, int row) {
    std::vector<std::string> texts;
    for (int column = 0; column < 2; ++column) {
        char text[64] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        texts.emplace_back(text);
    }
    return texts;
}

int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

// A double click on `row` of the list (-1: below the last row), as the mouse gives it.
void DoubleClick(HWND list, int row) {
    POINT at{20, 0};
    if (row >= 0) {
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        at.y = (r.top + r.bottom) / 2;
    } else {
        RECT client;
        GetClientRect(list, &client);
        at.y = client.bottom - 3;
    }
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

class StudyWindows : public ModalWindowTest {
protected:
    std::vector<ThinkResult> Expected(StudyMode mode) {
        AnalysisOptions options;
        options.mode = mode;
        options.depths = W().Settings().study;
        SearchCancel cancel;
        return *AnalyseAllMoves(Board(), options, cancel);
    }
};

TEST_F(StudyWindows, EvaluationWindowInEachMode) {
    struct Case {
        UINT command;
        StudyMode mode;
        int moves;  // of the golden game
    } cases[] = {
        {kCmdEvaluate, StudyMode::kEvaluate, 0},
        {kCmdOpenness, StudyMode::kOpenness, 0},
        {kCmdWinSearch, StudyMode::kWinLoss, 46},
        {kCmdPerfectSearch, StudyMode::kPerfect, 46},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StudyTitle(c.mode));
        PositionAfter(c.moves);
        const std::vector<ThinkResult> expected = Expected(c.mode);
        Drive(c.command, 1004, [&](HWND window) {
            HWND list = GetDlgItem(window, 1004), close = GetDlgItem(window, 1005);
            ASSERT_TRUE(WaitUntil([&] { return Rows(list) == static_cast<int>(expected.size()); }));
            ASSERT_TRUE(WaitUntil([&] { return Text(window) == StudyTitle(c.mode); }));
            RECT outer;
            GetWindowRect(window, &outer);
            EXPECT_EQ(282, outer.right - outer.left);
            EXPECT_EQ(215, outer.bottom - outer.top);
            RECT main;
            GetWindowRect(Main(), &main);
            EXPECT_LE(std::abs((outer.left + outer.right) - (main.left + main.right)), 1) << "centred";
            EXPECT_LE(std::abs((outer.top + outer.bottom) - (main.top + main.bottom)), 1);
            EXPECT_EQ(WS_CAPTION, GetWindowLongA(window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
            EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
            EXPECT_EQ(Main(), GetWindow(window, GW_OWNER));

            EXPECT_EQ("SYSLISTVIEW32", ClassOf(list));
            const LONG listStyle = GetWindowLongA(list, GWL_STYLE);
            for (LONG bit : {LONG{WS_CHILD}, LONG{WS_VISIBLE}, LONG{WS_TABSTOP}, LONG{LVS_REPORT}, LONG{LVS_SINGLESEL},
                             LONG{LVS_SHOWSELALWAYS}})
                EXPECT_EQ(bit, listStyle & bit) << std::hex << bit;
            EXPECT_TRUE(GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
            EXPECT_EQ("0,0 165x191", Place(list));
            EXPECT_EQ("BUTTON", ClassOf(close));
            EXPECT_EQ("閉じる", Text(close));
            EXPECT_TRUE(GetWindowLongA(close, GWL_STYLE) & WS_TABSTOP);
            EXPECT_EQ("170,164 104x25", Place(close));
            EXPECT_EQ(close, Focus()) << "the focus is on the close button";
            EXPECT_EQ(window, ModalKeyboardWindow());

            const char* headings[2] = {"場所", c.mode == StudyMode::kOpenness ? "開放度" : "評価値"};
            for (int i = 0; i < 2; ++i) {
                char text[32] = {};
                LVCOLUMNA column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH;
                column.pszText = text;
                column.cchTextMax = sizeof text;
                SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
                EXPECT_STREQ(headings[i], text);
                EXPECT_EQ(i == 0 ? 50 : 75, column.cx);
            }
            for (size_t i = 0; i < expected.size(); ++i)
                EXPECT_EQ((std::vector<std::string>{SquareName(expected[i].move), FormatValue(expected[i].value)}),
                          ListRow(list, static_cast<int>(i)))
                    << "row " << i;
        });
        EXPECT_EQ(nullptr, ModalKeyboardWindow()) << "the hook goes with the window";
        EXPECT_TRUE(IsWindowEnabled(Main()));
    }
}

TEST_F(StudyWindows, TheKeyboardReturnsToTheMainWindow) {
    Command(kCmdShowKifu);  // the record window open beside the board
    ASSERT_NE(nullptr, W().Records().Window());
    for (UINT command : {kCmdEvaluate, kCmdBestMove}) {
        Drive(command, command == kCmdBestMove ? 1007 : 1004, [](HWND window) {
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(Main(), GetActiveWindow()) << command;
    }
}

TEST_F(StudyWindows, CaptionsNameTheMoveUnderSearch) {
    PositionAfter(44);  // 16 empty squares: a perfect search of each move takes a moment
    std::set<std::string> seen;
    Drive(kCmdPerfectSearch, 1004, [&](HWND window) {
        ASSERT_TRUE(WaitUntil([&] {
            seen.insert(Text(window));
            return Text(window) == StudyTitle(StudyMode::kPerfect);
        }));
    });
    const BoardState board = Board();
    int named = 0;
    for (int cell : LegalMoves(board)) named += seen.count(MoveCaption(StudyMode::kPerfect, cell, 15));
    EXPECT_GT(named, 0) << "no caption named a move under search";
    for (const std::string& caption : seen)
        EXPECT_TRUE(caption.empty() || caption == StudyTitle(StudyMode::kPerfect) ||
                    caption.find("を探索中...(深さ15)") != std::string::npos)
            << caption;
}

TEST_F(StudyWindows, ADoubleClickPlaysTheRowOnlyDuringAGame) {
    struct Case {
        const char* what;
        UINT command;
        bool running;
        int row;       // -1: below the rows
        bool played;
        bool withSearch;  // the row's value and nodes go with the move
    } cases[] = {
        {"no game runs", kCmdEvaluate, false, 0, false, false},
        {"below the rows", kCmdEvaluate, true, -1, false, false},
        {"evaluation, second row", kCmdEvaluate, true, 1, true, true},
        {"openness, top row", kCmdOpenness, true, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Command(kCmdStop);
        SetGame([](BoardState& board, GameRecord& record) {
            ResetBoard(board);
            ClearRecord(record);
        });
        W().Settings().black.isComputer = 0;
        W().Settings().white.isComputer = 0;
        if (c.running) Command(kCmdStart);
        StudyMode mode;
        StudyModeOf(c.command, mode);
        const std::vector<ThinkResult> expected = Expected(mode);
        bool stillOpen = false;
        Drive(c.command, 1004, [&](HWND window) {
            HWND list = GetDlgItem(window, 1004);
            ASSERT_TRUE(WaitUntil([&] { return Rows(list) == static_cast<int>(expected.size()); }));
            DoubleClick(list, c.row);
            Sleep(100);
            stillOpen = IsWindow(window) != FALSE;
        });
        EXPECT_EQ(!c.played, stillOpen);
        ASSERT_TRUE(PumpUntil([&] { return W().Session().MovesInFlight() == 0; }));
        const GameRecord record = Record();
        if (!c.played) {
            EXPECT_EQ(0, RecordedMoves(record));
            continue;
        }
        ASSERT_EQ(1, RecordedMoves(record));
        const MoveEntry entry = record.moves[0];
        EXPECT_EQ(expected[c.row].move, entry.square);
        EXPECT_EQ(c.withSearch ? expected[c.row].value : 0, entry.value);
        EXPECT_EQ(c.withSearch ? expected[c.row].nodes : 0, entry.nodes);
    }
}

TEST_F(StudyWindows, ClosingDuringASearchEndsItAtOnce) {
    PositionAfter(40);  // 20 empty squares: a perfect search of every move takes minutes
    // Once, so that the threads the system starts for good at the first window are running.
    Drive(kCmdPerfectSearch, 1004, [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); });
    const int threadsBefore = ThreadCount();
    struct Case {
        const char* what;
        std::function<void(HWND)> close;
    } cases[] = {
        {"Escape", [](HWND window) { PostMessageA(GetDlgItem(window, 1005), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"the close button", [](HWND window) { PostMessageA(GetDlgItem(window, 1005), BM_CLICK, 0, 0); }},
        {"WM_CLOSE", [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DWORD closed = 0;
        bool searching = false;
        Drive(kCmdPerfectSearch, 1004, [&](HWND window) {
            searching = WaitUntil([&] { return Text(window).find("を探索中") != std::string::npos; }, 20);
            closed = GetTickCount();
            c.close(window);
            WaitUntil([&] { return !IsWindow(window); }, 20);
        });
        const DWORD took = GetTickCount() - closed;
        EXPECT_TRUE(searching);
        std::printf("%s closed the window during its search in %lu ms\n", c.what, static_cast<unsigned long>(took));
        EXPECT_LT(took, 10000u) << "the search should end at once, not run on";
        EXPECT_EQ(nullptr, ModalKeyboardWindow());
        EXPECT_TRUE(IsWindowEnabled(Main()));
        EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; }, 5)) << "a thread was left running";
    }
}

TEST_F(StudyWindows, TwoHundredOpeningsAndClosingsDuringSearches) {
    PositionAfter(40);
    // Warm up: the first windows make what the system keeps for good.
    auto cycle = [&](UINT command, int controlId) {
        Drive(command, controlId, [&](HWND window) {
            WaitUntil([&] { return Text(window).find("を探索中") != std::string::npos ||
                                   Text(GetDlgItem(window, 1007)).find("探索中") != std::string::npos; },
                      10);
            PostMessageA(window, WM_CLOSE, 0, 0);
        });
    };
    W().Settings().study.perfectDepth = 30;  // the best move searches to the end as well
    for (int i = 0; i < 5; ++i) cycle(kCmdPerfectSearch, 1004);
    const int threadsBefore = ThreadCount();
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const uintptr_t slotBefore = reinterpret_cast<uintptr_t>(probe);
    CloseHandle(probe);
    const DWORD start = GetTickCount();
    for (int i = 0; i < 200; ++i) {
        if (i % 2)
            cycle(kCmdPerfectSearch, 1004);
        else
            cycle(kCmdBestMove, 1007);
    }
    const DWORD took = GetTickCount() - start;
    probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const uintptr_t slotAfter = reinterpret_cast<uintptr_t>(probe);
    CloseHandle(probe);
    std::printf("200 windows opened and closed during their searches in %lu ms; threads %d -> %d; "
                "probe handle slot %llu -> %llu\n",
                static_cast<unsigned long>(took), threadsBefore, ThreadCount(),
                static_cast<unsigned long long>(slotBefore), static_cast<unsigned long long>(slotAfter));
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsBefore; }, 5));
    EXPECT_LE(slotAfter, slotBefore + 4 * 4) << "handles left open";
    EXPECT_EQ(nullptr, ModalKeyboardWindow());
    EXPECT_FALSE(W().Session().WorkerBusy());
}

TEST_F(StudyWindows, BestMoveWindow) {
    struct Case {
        const char* what;
        int moves;      // of the golden game; -1: a position where the side to move must pass
        bool running;
        bool playable;
    } cases[] = {
        {"the start, no game", 0, false, false},
        {"the start, in a game", 0, true, true},
        {"14 empty squares: perfect search", 46, true, true},
        // (no game: starting one would pass at once)
        {"the side to move must pass", -1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Command(kCmdStop);
        if (c.moves >= 0) {
            PositionAfter(c.moves);
        } else {
            SetGame([](BoardState& board, GameRecord&) {
                for (int cell = 10; cell <= 80; ++cell)
                    if (board.cells[cell] != 0xFFFF) board.cells[cell] = 0;
                board.cells[10] = -1;  // A1 white, B1 black: black cannot move, white can
                board.cells[11] = 1;
                board.sideToMove = 1;
            });
        }
        W().Settings().black.isComputer = 0;
        W().Settings().white.isComputer = 0;
        if (c.running) Command(kCmdStart);
        const BoardState board = Board();
        const GameRecord before = Record();
        const StudyDepths depths = W().Settings().study;
        SearchCancel cancel;
        const ThinkResult expected = *FindBestMove(board, depths, cancel);
        Drive(kCmdBestMove, 1007, [&](HWND window) {
            HWND text = GetDlgItem(window, 1007), play = GetDlgItem(window, 1006), close = GetDlgItem(window, 1005);
            ASSERT_TRUE(WaitUntil([&] { return Text(text) == BestMoveText(expected); }, 60)) << Text(text);
            Sleep(50);
            RECT outer;
            GetWindowRect(window, &outer);
            EXPECT_EQ(256, outer.right - outer.left);
            EXPECT_EQ(106, outer.bottom - outer.top);
            EXPECT_EQ("最善手探索", Text(window));
            EXPECT_EQ("閉じる", Text(close));
            EXPECT_EQ("着手", Text(play));
            EXPECT_EQ("132,55 115x25", Place(close));
            EXPECT_EQ("15,55 115x25", Place(play));
            EXPECT_EQ("3,14 244x30", Place(text));
            EXPECT_EQ("STATIC", ClassOf(text));
            EXPECT_TRUE(GetWindowLongA(text, GWL_STYLE) & SS_CENTER);
            EXPECT_EQ(c.playable, IsWindowEnabled(play) != FALSE);
            EXPECT_EQ(window, ModalKeyboardWindow());
            if (c.playable) {
                PostMessageA(play, BM_CLICK, 0, 0);
                WaitUntil([&] { return !IsWindow(window); }, 10);
                EXPECT_FALSE(IsWindow(window)) << "playing closes the window";
            }
        });
        ASSERT_TRUE(PumpUntil([&] { return W().Session().MovesInFlight() == 0; }));
        const GameRecord record = Record();
        const int number = 60 - CountCells(board, 0);
        if (c.playable) {
            const MoveEntry entry = record.moves[number];
            EXPECT_EQ(expected.move, entry.square);
            EXPECT_EQ(expected.value, entry.value);
            EXPECT_EQ(expected.nodes, entry.nodes);
        } else {
            const BoardState after = Board();
            EXPECT_EQ(0, std::memcmp(&board, &after, sizeof board)) << "nothing was played";
            EXPECT_EQ(0, std::memcmp(&before, &record, sizeof record));
        }
        EXPECT_EQ(nullptr, ModalKeyboardWindow());
    }
}

TEST_F(StudyWindows, TheSearchingTextShowsTheDepth) {
    PositionAfter(40);  // 20 empty squares
    W().Settings().study.perfectDepth = 20;  // E = P: the perfect search, depth 20
    Drive(kCmdBestMove, 1007, [&](HWND window) {
        HWND text = GetDlgItem(window, 1007);
        EXPECT_TRUE(WaitUntil([&] { return Text(text) == "最善手探索中...(深さ20)"; }, 20)) << Text(text);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, 1006)));
    });
    W().Settings().study.perfectDepth = 16;
    PositionAfter(0);
    Drive(kCmdBestMove, 1007, [&](HWND window) {
        HWND text = GetDlgItem(window, 1007);
        // The depth-7 search of the start is quick: the text is the searching one or the answer.
        EXPECT_TRUE(WaitUntil([&] { return Text(text).find("最善手は") == 0; }, 20)) << Text(text);
    });
}

}  // namespace
