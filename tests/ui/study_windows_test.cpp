// The study windows in the real program under Wine: the evaluation window in its four modes and
// the best-move window, their layout, captions, texts and rows (the portable analysis' rows; the
// best move as the literal reference engine finds it), playing from them during a game and not
// outside one, and closing them during a search (Escape, the button, the close message), also two
// hundred times, with no thread, handle or keyboard hook left behind. The study commands open
// nothing while the computer has the game, and a game stopped under a study window leaves its
// search alone.
//
// A study window runs its own message loop inside the command that opens it, so each test
// drives the window from a second thread (a script) while this thread is in that loop.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "analysis.h"
#include "best_move_window.h"
#include "board_functions.h"
#include "eval_window.h"
#include "expected_layout.h"
#include "live_threads.h"
#include "modal_windows.h"
#include "reference.h"
#include "texts.h"
#include "ui_test_support.h"

namespace {

using namespace tavik_ui_test;

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

// "F5" for cell 51, written here so that the texts below do not take the program's word for it.
std::string Square(int cell) {
    return {static_cast<char>('A' + (cell - 10) % 9), static_cast<char>('1' + (cell - 10) / 9)};
}

// What this thread's windows are sent, from any thread (WM_SETTEXT and WM_ENABLE to a control,
// by its ID), kept in order while the object lives: also what a window shows for a moment, and
// what a worker did just before it ended.
class SentToControls {
public:
    struct Event {
        int control;
        UINT message;
        std::string text;  // WM_SETTEXT
        bool enabled;      // WM_ENABLE
    };
    SentToControls() {
        instance_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~SentToControls() {
        UnhookWindowsHookEx(hook_);
        instance_ = nullptr;
    }
    SentToControls(const SentToControls&) = delete;
    SentToControls& operator=(const SentToControls&) = delete;

    std::vector<std::string> Texts(int control) {
        std::vector<std::string> texts;
        for (const Event& e : Events())
            if (e.control == control && e.message == WM_SETTEXT) texts.push_back(e.text);
        return texts;
    }
    bool EverEnabled(int control) {
        for (const Event& e : Events())
            if (e.control == control && e.message == WM_ENABLE && e.enabled) return true;
        return false;
    }

private:
    std::vector<Event> Events() {
        std::lock_guard<std::mutex> lock(lock_);
        return events_;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && (GetWindowLongA(sent->hwnd, GWL_STYLE) & WS_CHILD)) {
            const int control = GetDlgCtrlID(sent->hwnd);
            if (sent->message == WM_SETTEXT) {
                const char* text = reinterpret_cast<const char*>(sent->lParam);
                instance_->Add({control, WM_SETTEXT, text ? text : "", false});
            } else if (sent->message == WM_ENABLE) {
                instance_->Add({control, WM_ENABLE, "", sent->wParam != 0});
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Add(Event event) {
        std::lock_guard<std::mutex> lock(lock_);
        events_.push_back(std::move(event));
    }
    static inline SentToControls* instance_ = nullptr;
    HHOOK hook_;
    std::mutex lock_;
    std::vector<Event> events_;
};

class StudyWindows : public ModalWindowTest {
protected:
    // The rows the window must list: the portable analysis' with the window's study depths (its
    // own test holds every row to the literal reference engine).
    std::vector<ThinkResult> Expected(StudyMode mode) {
        AnalysisOptions options;
        options.mode = mode;
        options.depths = W().Settings().study;
        SearchCancel cancel;
        return AnalyseAllMoves(Board(), options, cancel).value();
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
        Drive(c.command, expected::kEvalList, [&](HWND window) {
            HWND list = GetDlgItem(window, expected::kEvalList),
                 close = GetDlgItem(window, expected::kClose);
            ASSERT_TRUE(WaitUntil([&] { return Rows(list) == static_cast<int>(expected.size()); }));
            ASSERT_TRUE(WaitUntil([&] { return Text(window) == StudyTitle(c.mode); }));
            RECT outer;
            GetWindowRect(window, &outer);
            EXPECT_EQ(282, outer.right - outer.left);
            EXPECT_EQ(215, outer.bottom - outer.top);
            RECT main;
            GetWindowRect(Main(), &main);
            EXPECT_LE(std::abs((outer.left + outer.right) - (main.left + main.right)), 1)
                << "centred";
            EXPECT_LE(std::abs((outer.top + outer.bottom) - (main.top + main.bottom)), 1);
            EXPECT_EQ(WS_CAPTION, GetWindowLongA(window, GWL_STYLE) &
                                      (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
            EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
            EXPECT_EQ(Main(), GetWindow(window, GW_OWNER));

            EXPECT_EQ("SYSLISTVIEW32", ClassOf(list));
            const LONG listStyle = GetWindowLongA(list, GWL_STYLE);
            for (LONG bit : {LONG{WS_CHILD}, LONG{WS_VISIBLE}, LONG{WS_TABSTOP}, LONG{LVS_REPORT},
                             LONG{LVS_SINGLESEL}, LONG{LVS_SHOWSELALWAYS}})
                EXPECT_EQ(bit, listStyle & bit) << std::hex << bit;
            EXPECT_TRUE(GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
            EXPECT_EQ("0,0 165x191", Place(list));
            EXPECT_EQ("BUTTON", ClassOf(close));
            EXPECT_EQ("閉じる", Text(close));
            EXPECT_TRUE(GetWindowLongA(close, GWL_STYLE) & WS_TABSTOP);
            EXPECT_EQ("170,164 104x25", Place(close));
            EXPECT_EQ(close, Focus()) << "the focus is on the close button";
            EXPECT_EQ(window, ModalKeyboard::Window());

            const char* headings[2] = {"場所",
                                       c.mode == StudyMode::kOpenness ? "開放度" : "評価値"};
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
                EXPECT_EQ((std::vector<std::string>{SquareName(expected[i].move),
                                                    FormatValue(expected[i].value)}),
                          ListRow(list, static_cast<int>(i)))
                    << "row " << i;
        });
        EXPECT_EQ(nullptr, ModalKeyboard::Window()) << "the hook goes with the window";
        EXPECT_TRUE(IsWindowEnabled(Main()));
    }
}

TEST_F(StudyWindows, TheKeyboardReturnsToTheMainWindow) {
    Command(kCmdShowKifu);  // the record window open beside the board
    ASSERT_NE(nullptr, W().Records().Window());
    for (UINT command : {kCmdEvaluate, kCmdBestMove}) {
        Drive(command, command == kCmdBestMove ? expected::kBestMoveText : expected::kEvalList,
              [](HWND window) { PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0); });
        EXPECT_EQ(Main(), GetActiveWindow()) << command;
    }
}

TEST_F(StudyWindows, CaptionsNameTheMoveUnderSearch) {
    PositionAfter(44);  // 16 empty squares: a perfect search of each move takes a moment
    std::set<std::string> seen;
    Drive(kCmdPerfectSearch, expected::kEvalList, [&](HWND window) {
        ASSERT_TRUE(WaitUntil([&] {
            seen.insert(Text(window));
            return Text(window) == StudyTitle(StudyMode::kPerfect);
        }));
    });
    const BoardState board = Board();
    int named = 0;
    for (int cell : LegalMoves(board))
        named += seen.count(MoveCaption(StudyMode::kPerfect, cell, 15));
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
        int row;  // -1: below the rows
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
            board = InitialBoard();
            ClearRecord(record);
        });
        W().Settings().black.isComputer = 0;
        W().Settings().white.isComputer = 0;
        if (c.running) Command(kCmdStart);
        StudyMode mode;
        StudyModeOf(c.command, mode);
        const std::vector<ThinkResult> expected = Expected(mode);
        bool stillOpen = false;
        Drive(c.command, expected::kEvalList, [&](HWND window) {
            HWND list = GetDlgItem(window, expected::kEvalList);
            ASSERT_TRUE(WaitUntil([&] { return Rows(list) == static_cast<int>(expected.size()); }));
            // The list hands the double click to the window at once: a row played closes it.
            DoubleClick(list, c.row);
            if (c.played) WaitUntil([&] { return !IsWindow(window); }, 10);
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
    Drive(kCmdPerfectSearch, expected::kEvalList,
          [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); });
    const int threadsBefore = tavik_test::LiveThreads();
    struct Case {
        const char* what;
        std::function<void(HWND)> close;
    } cases[] = {
        {"Escape",
         [](HWND window) {
             PostMessageA(GetDlgItem(window, expected::kClose), WM_KEYDOWN, VK_ESCAPE, 0);
         }},
        {"the close button",
         [](HWND window) { PostMessageA(GetDlgItem(window, expected::kClose), BM_CLICK, 0, 0); }},
        {"WM_CLOSE", [](HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DWORD closed = 0;
        bool searching = false, gone = false;
        Drive(kCmdPerfectSearch, expected::kEvalList, [&](HWND window) {
            searching =
                WaitUntil([&] { return Text(window).find("を探索中") != std::string::npos; }, 20);
            closed = GetTickCount();
            c.close(window);
            // The searches of every move take minutes: only a cancel closes the window soon.
            gone = WaitUntil([&] { return !IsWindow(window); }, 20);
        });
        const DWORD took = GetTickCount() - closed;
        EXPECT_TRUE(searching);
        std::printf("%s closed the window during its search in %lu ms\n", c.what,
                    static_cast<unsigned long>(took));
        EXPECT_TRUE(gone) << "the search should end at once, not run on";
        EXPECT_EQ(nullptr, ModalKeyboard::Window());
        EXPECT_TRUE(IsWindowEnabled(Main()));
        EXPECT_TRUE(WaitUntil([&] { return tavik_test::LiveThreads() <= threadsBefore; }, 5))
            << "a thread was left running";
    }
}

TEST_F(StudyWindows, TwoHundredOpeningsAndClosingsDuringSearches) {
    PositionAfter(40);
    // Warm up: the first windows make what the system keeps for good.
    auto cycle = [&](UINT command, int controlId) {
        Drive(command, controlId, [&](HWND window) {
            WaitUntil(
                [&] {
                    return Text(window).find("を探索中") != std::string::npos ||
                           Text(GetDlgItem(window, expected::kBestMoveText)).find("探索中") !=
                               std::string::npos;
                },
                10);
            PostMessageA(window, WM_CLOSE, 0, 0);
        });
    };
    W().Settings().study.perfectDepth = 30;  // the best move searches to the end as well
    for (int i = 0; i < 5; ++i) cycle(kCmdPerfectSearch, expected::kEvalList);
    const int threadsBefore = tavik_test::LiveThreads();
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const uintptr_t slotBefore = reinterpret_cast<uintptr_t>(probe);
    CloseHandle(probe);
    const DWORD start = GetTickCount();
    for (int i = 0; i < 200; ++i) {
        if (i % 2)
            cycle(kCmdPerfectSearch, expected::kEvalList);
        else
            cycle(kCmdBestMove, expected::kBestMoveText);
    }
    const DWORD took = GetTickCount() - start;
    probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const uintptr_t slotAfter = reinterpret_cast<uintptr_t>(probe);
    CloseHandle(probe);
    std::printf(
        "200 windows opened and closed during their searches in %lu ms; threads %d -> %d; "
        "probe handle slot %llu -> %llu\n",
        static_cast<unsigned long>(took), threadsBefore, tavik_test::LiveThreads(),
        static_cast<unsigned long long>(slotBefore), static_cast<unsigned long long>(slotAfter));
    EXPECT_TRUE(WaitUntil([&] { return tavik_test::LiveThreads() <= threadsBefore; }, 5));
    EXPECT_LE(slotAfter, slotBefore + 4 * 4) << "handles left open";
    EXPECT_EQ(nullptr, ModalKeyboard::Window());
    EXPECT_FALSE(W().Session().WorkerBusy());
}

TEST_F(StudyWindows, BestMoveWindow) {
    struct Case {
        const char* what;
        int moves;      // of the golden game; -1: a position where the side to move must pass
        int32_t depth;  // the search's: the study's normal depth, or -1 for the perfect search
        bool running;
        bool playable;
    } cases[] = {
        {"the start, no game", 0, 7, false, false},
        {"the start, in a game", 0, 7, true, true},
        {"14 empty squares: perfect search", 46, -1, true, true},
        // The game runs as it does while its pass box is up (starting one here would pass at
        // once): there is no move to play.
        {"the side to move must pass, in a game", -1, 7, true, false},
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
        if (c.running && c.moves >= 0) Command(kCmdStart);
        if (c.running && c.moves < 0) W().Session().SetRunning(true);
        const BoardState board = Board();
        const GameRecord before = Record();
        const ThinkResult expected = reference::Think(board, c.depth, -1).result;
        const std::string answer = c.moves < 0 ? "着手可能点がありません" : BestMoveText(expected);
        SentToControls sent;
        Drive(kCmdBestMove, kBestMoveTextId, [&](HWND window) {
            HWND text = GetDlgItem(window, expected::kBestMoveText),
                 play = GetDlgItem(window, expected::kPlay),
                 close = GetDlgItem(window, expected::kClose);
            ASSERT_TRUE(WaitUntil([&] { return Text(text) == answer; }, 60)) << Text(text);
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
            EXPECT_EQ(window, ModalKeyboard::Window());
            if (c.playable) {
                ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(play) != FALSE; }, 10));
                PostMessageA(play, BM_CLICK, 0, 0);
                WaitUntil([&] { return !IsWindow(window); }, 10);
                EXPECT_FALSE(IsWindow(window)) << "playing closes the window";
            }
        });
        // The window is closed, so its search has ended: whatever it enabled is in the record.
        EXPECT_EQ(c.playable, sent.EverEnabled(kPlayButtonId)) << "着手";
        if (c.running && c.moves < 0) W().Session().SetRunning(false);
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
        EXPECT_EQ(nullptr, ModalKeyboard::Window());
    }
}

// Every text the best-move window shows, in order, even one that shows for a moment: the
// searching text with the depth searched, then the answer with its value (at the end of the game,
// the margin of the winner).
TEST_F(StudyWindows, TheSearchingTextShowsTheDepth) {
    struct Case {
        const char* what;
        int moves;              // of the golden game
        int normal, perfect;    // the study depths
        const char* searching;  // what the window shows while it searches
        int32_t depth;          // the search's
    } cases[] = {
        {"the start: the normal depth", 0, 9, 16, "最善手探索中...(深さ9)", 9},
        {"14 empty squares: a perfect search of them all", 46, 7, 16, "最善手探索中...(深さ14)",
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PositionAfter(c.moves);
        W().Settings().study.normalDepth = c.normal;
        W().Settings().study.perfectDepth = c.perfect;
        const ThinkResult best = reference::Think(Board(), c.depth, -1).result;
        std::string value = std::to_string(best.value);
        if (c.depth < 0) {
            ASSERT_GT(best.value, 65536) << "black wins this game";
            value = "黒" + std::to_string(best.value - 65536) + "石勝ち";
        }
        const std::string answer = "最善手は" + Square(best.move) + "です\r\n評価値:" + value;
        SentToControls sent;
        Drive(kCmdBestMove, kBestMoveTextId, [&](HWND window) {
            HWND text = GetDlgItem(window, kBestMoveTextId);
            EXPECT_TRUE(WaitUntil([&] { return Text(text).rfind("最善手は", 0) == 0; }, 60))
                << Text(text);
        });
        EXPECT_EQ((std::vector<std::string>{"", c.searching, answer}), sent.Texts(kBestMoveTextId));
    }
}

// Closes every study window of this process that opens while it lives, and counts them: a
// command that must open nothing fails its test then, instead of waiting in the window's loop.
class StudyWindowCloser {
public:
    StudyWindowCloser() : thread_([this] { Run(); }) {}
    ~StudyWindowCloser() {
        stop_ = true;
        thread_.join();
    }
    int Closed() const { return closed_; }

private:
    void Run() {
        while (!stop_) {
            for (int control : {kEvalListId, kBestMoveTextId}) {
                FindArgs args{control, nullptr};
                EnumWindows(FindModalWindow, reinterpret_cast<LPARAM>(&args));
                if (!args.found) continue;
                ++closed_;
                PostMessageA(args.found, WM_CLOSE, 0, 0);
                WaitUntil([&] { return !IsWindow(args.found); }, 20);
            }
            Sleep(5);
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<int> closed_{0};
    std::thread thread_;
};

// The study menu describes the position on the board: while the computer thinks, or while its
// move is on the way to the board and the next computer is about to think, every study command
// opens nothing (the menu is greyed then, and the command refuses as well).
TEST_F(StudyWindows, TheStudyCommandsOpenNothingWhileTheComputerHasTheGame) {
    struct Case {
        const char* what;
        int moves;  // of the golden game
        bool whiteComputer;
    } cases[] = {
        // Black searches 20 empty squares to the end: minutes, unless the game stops.
        {"the computer thinks", 40, false},
        // Black's book move is handed over at once and waits here for its turn.
        {"a computer's move on its way, computer against computer", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Command(kCmdStop);
        PositionAfter(c.moves);
        W().Settings().black = {1, "", 7, 0, 20};
        W().Settings().white = {c.whiteComputer ? 1 : 0, "", 7, 0, 0};
        std::optional<GameSession::Turn> hold;
        if (c.whiteComputer) hold.emplace(W().Session());
        Command(kCmdStart);
        ASSERT_TRUE(PumpUntil([&] {
            return c.whiteComputer ? W().Session().MovesInFlight() == 1
                                   : W().Session().WorkerBusy();
        }));
        for (UINT command :
             {kCmdBestMove, kCmdEvaluate, kCmdWinSearch, kCmdPerfectSearch, kCmdOpenness}) {
            StudyWindowCloser closer;
            Command(command);
            EXPECT_EQ(0, closer.Closed()) << "command " << command << " opened a study window";
        }
        Command(kCmdStop);
        hold.reset();
        ASSERT_TRUE(PumpUntil([&] { return W().Session().MovesInFlight() == 0; }));
    }
}

// Stopping the game (中断) while a study window searches stops the computer player, whose last
// search ended long ago; the study search goes on to its answer.
TEST_F(StudyWindows, AGameStoppedDuringAStudySearchLeavesTheSearchAlone) {
    struct Case {
        UINT command;
        int control;
        int studyDepth;  // a search of some seconds
    } cases[] = {
        {kCmdBestMove, kBestMoveTextId, 12},
        {kCmdEvaluate, kEvalListId, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Command(kCmdStop);
        PositionAfter(19);  // white to move
        W().Settings().black = {0, "", 7, 0, 0};
        W().Settings().white = {1, "", 1, 0, 0};
        W().Settings().study.normalDepth = c.studyDepth;
        Command(kCmdStart);
        // The computer answers at once and the person's turn begins; its thread is the game's
        // until the game stops.
        ASSERT_TRUE(PumpUntil([&] {
            return RecordedMoves(Record()) == 20 && W().Session().MovesInFlight() == 0 &&
                   !W().Session().WorkerBusy();
        }));
        // What the same search answers when nothing stops it.
        const BoardState board = Board();
        SearchCancel cancel;
        std::string answer;
        std::vector<ThinkResult> rows;
        if (c.command == kCmdBestMove) {
            answer = BestMoveText(*FindBestMove(board, W().Settings().study, cancel));
        } else {
            AnalysisOptions options;
            options.depths = W().Settings().study;
            rows = *AnalyseAllMoves(board, options, cancel);
        }
        Drive(c.command, c.control, [&](HWND window) {
            HWND control = GetDlgItem(window, c.control);
            const auto searching = [&] {
                return c.command == kCmdBestMove
                           ? Text(control).rfind("最善手探索中", 0) == 0
                           : Rows(control) == 0 &&
                                 Text(window).find("を探索中") != std::string::npos;
            };
            ASSERT_TRUE(WaitUntil(searching, 20));
            SendMessageA(Main(), WM_COMMAND, kCmdStop, 0);
            EXPECT_FALSE(W().Session().Running());
            ASSERT_TRUE(searching()) << "the search had ended before the game stopped";
            if (c.command == kCmdBestMove) {
                EXPECT_TRUE(WaitUntil([&] { return Text(control) == answer; }, 60))
                    << Text(control);
                return;
            }
            ASSERT_TRUE(
                WaitUntil([&] { return Text(window) == StudyTitle(StudyMode::kEvaluate); }, 60))
                << Text(window);
            ASSERT_EQ(static_cast<int>(rows.size()), Rows(control));
            for (size_t i = 0; i < rows.size(); ++i)
                EXPECT_EQ((std::vector<std::string>{SquareName(rows[i].move),
                                                    FormatValue(rows[i].value)}),
                          ListRow(control, static_cast<int>(i)))
                    << "row " << i;
        });
    }
}

}  // namespace
