// The players window and the version window in the real program under Wine: every control as
// the live window has it, the lists, what OK, cancel, Escape and the close message leave in the
// settings and the record (also with a move on its way to the board), the presets and the swap,
// the keyboard, the version text, and the banner picture released at every close.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "expected_layout.h"
#include "modal_windows.h"
#include "player_dialog.h"
#include "players_window.h"
#include "ui_test_support.h"
#include "version_text.h"
#include "version_window.h"

namespace {

using namespace tavik_ui_test;

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

std::string ShownItem(HWND list) {
    const int item = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    if (item < 0) return "(none)";
    char text[64] = {};
    SendMessageA(list, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    return text;
}

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

auto Fields(const PlayerSettings& p) {
    return std::make_tuple(p.isComputer, p.playerName, p.normalDepth, p.winDepth, p.perfectDepth);
}

// Waits until `window` is gone (closed by what the script did last).
bool Closed(HWND window) {
    return WaitUntil([&] { return !IsWindow(window); }, 10);
}

class PlayersWindowTest : public ModalWindowTest {
protected:
    // Opens 対局者設定 and runs `script` on it.
    void Players(const std::function<void(HWND)>& script) {
        Drive(kCmdPlayers, kSwapButtonId, script);
    }
    HWND Item(HWND window, int group, int offset) { return GetDlgItem(window, group + offset); }
};

TEST_F(PlayersWindowTest, EveryControlAsTheWindowHasIt) {
    using expected::Control;
    W().Settings().black.playerName = "山田太郎";
    W().Settings().white.playerName = "花子";
    Players([&](HWND window) {
        EXPECT_EQ("対局者設定", Text(window));
        RECT outer, main;
        GetWindowRect(window, &outer);
        GetWindowRect(Main(), &main);
        EXPECT_EQ(427, outer.right - outer.left);
        EXPECT_EQ(285, outer.bottom - outer.top);
        EXPECT_LE(std::abs((outer.left + outer.right) - (main.left + main.right)), 1) << "centred";
        EXPECT_LE(std::abs((outer.top + outer.bottom) - (main.top + main.bottom)), 1);
        EXPECT_EQ(WS_CAPTION,
                  GetWindowLongA(window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
        EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_EQ(Main(), GetWindow(window, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(Main()));
        EXPECT_EQ(window, ModalKeyboard::Window());

        int count = 0;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ++count;
        EXPECT_EQ(expected::kPlayersControls.size(), static_cast<size_t>(count))
            << "no control more or less";
        const HFONT font = W().Font(kFontPlayers);
        for (const Control& e : expected::kPlayersControls) {
            SCOPED_TRACE(e.id);
            HWND control = GetDlgItem(window, e.id);
            ASSERT_NE(nullptr, control);
            EXPECT_EQ(e.cls, ClassOf(control));
            if (e.text) {
                EXPECT_EQ(e.text, Text(control));
            }
            const LONG style = GetWindowLongA(control, GWL_STYLE);
            const LONG kindMask = ClassOf(control) == "BUTTON"     ? BS_TYPEMASK | BS_NOTIFY
                                  : ClassOf(control) == "COMBOBOX" ? 3
                                  : ClassOf(control) == "STATIC"   ? SS_TYPEMASK
                                                                   : ES_AUTOHSCROLL;
            // A radio button is a tab stop while it is checked: Tab stops once per group.
            const bool isRadio =
                (e.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON && e.cls == std::string("BUTTON");
            const LONG expected = isRadio && !IsChecked(control) ? e.style & ~WS_TABSTOP : e.style;
            EXPECT_EQ(expected, style & (kindMask | WS_TABSTOP | WS_GROUP)) << std::hex << style;
            EXPECT_EQ(WS_CHILD | WS_VISIBLE, style & (WS_CHILD | WS_VISIBLE));
            EXPECT_EQ(ClassOf(control) == "EDIT",
                      (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
            EXPECT_EQ(font, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
            if (ClassOf(control) == "COMBOBOX") {
                // A closed drop-down list is as high as its font needs; the height given is the
                // open list's.
                EXPECT_EQ(e.place, Place(control).substr(0, Place(control).find('x')));
                RECT closed, dropped;
                GetWindowRect(control, &closed);
                SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0,
                             reinterpret_cast<LPARAM>(&dropped));
                // The open list ends 127 pixels below the box's top on Windows; Wine leaves out
                // the box and its border, so it ends a little higher there.
                const int reach = dropped.bottom - closed.top;
                EXPECT_TRUE(reach > 95 && reach <= 127) << reach;
                // The list scrolls when its items need more room than it has: the ten depths do.
                COMBOBOXINFO info{};
                info.cbSize = sizeof info;
                GetComboBoxInfo(control, &info);
                if (ListItems(control).size() == 10) {
                    EXPECT_TRUE((style | GetWindowLongA(info.hwndList, GWL_STYLE)) & WS_VSCROLL);
                }
            } else {
                EXPECT_EQ(e.place, Place(control));
            }
        }
        EXPECT_EQ("山田太郎", Text(GetDlgItem(window, expected::kBlackName)));
        EXPECT_EQ("花子", Text(GetDlgItem(window, expected::kWhiteName)));
        for (int group : {kBlackGroupId, kWhiteGroupId}) {
            EXPECT_EQ(NormalDepthItemTexts(), ListItems(Item(window, group, kNormalDepthOffset)));
            EXPECT_EQ(WinDepthItemTexts(), ListItems(Item(window, group, kWinDepthOffset)));
            EXPECT_EQ(PerfectDepthItemTexts(), ListItems(Item(window, group, kPerfectDepthOffset)));
        }
        EXPECT_EQ("終盤20手", ListItems(GetDlgItem(window, expected::kWhiteWinDepth)).back());
        EXPECT_EQ("終盤18手", ListItems(GetDlgItem(window, expected::kWhitePerfectDepth)).back());
    });
    EXPECT_EQ(nullptr, ModalKeyboard::Window()) << "the hook goes with the window";
    EXPECT_TRUE(IsWindowEnabled(Main()));
}

TEST_F(PlayersWindowTest, StoredSettingsAsTheControlsShowThem) {
    AppSettings& settings = W().Settings();
    settings.black = {0, "kuro", 3, 19, 0};
    settings.white = {1, "shiro", 10, 99,
                      20};  // a win depth of no item, a perfect depth past the list
    Players([&](HWND window) {
        EXPECT_TRUE(IsChecked(GetDlgItem(window, expected::kBlackHuman)));
        EXPECT_FALSE(IsChecked(GetDlgItem(window, expected::kBlackComputer)));
        EXPECT_FALSE(IsChecked(GetDlgItem(window, expected::kWhiteHuman)));
        EXPECT_TRUE(IsChecked(GetDlgItem(window, expected::kWhiteComputer)));
        const std::vector<std::string> shown{
            ShownItem(GetDlgItem(window, expected::kBlackNormalDepth)),
            ShownItem(GetDlgItem(window, expected::kBlackWinDepth)),
            ShownItem(GetDlgItem(window, expected::kBlackPerfectDepth)),
            ShownItem(GetDlgItem(window, expected::kWhiteNormalDepth)),
            ShownItem(GetDlgItem(window, expected::kWhiteWinDepth)),
            ShownItem(GetDlgItem(window, expected::kWhitePerfectDepth))};
        EXPECT_EQ(
            (std::vector<std::string>{"3手", "終盤18手", "使用しない", "10手", "(none)", "(none)"}),
            shown);
        SendMessageA(GetDlgItem(window, kPlayersOkId), BM_CLICK, 0, 0);
        EXPECT_TRUE(Closed(window));
    });
    // OK without a touch: 19 becomes the 18 it showed; a list with no item stores its first item.
    EXPECT_EQ(Fields(PlayerSettings{0, "kuro", 3, 18, 0}), Fields(settings.black));
    EXPECT_EQ(Fields(PlayerSettings{1, "shiro", 10, 0, 0}), Fields(settings.white));
}

// What each way of closing leaves after the same changes to the controls.
TEST_F(PlayersWindowTest, OkStoresAndEveryOtherCloseKeepsTheSettings) {
    enum class Ending { kOk, kCancel, kEscape, kCloseMessage, kReturnOnOk };
    for (Ending close : {Ending::kOk, Ending::kCancel, Ending::kEscape, Ending::kCloseMessage,
                         Ending::kReturnOnOk}) {
        SCOPED_TRACE(static_cast<int>(close));
        AppSettings& settings = W().Settings();
        settings.black = {0, "山田太郎", 7, 18, 16};
        settings.white = {1, "Tavik", 7, 18, 16};
        const PlayerSettings blackBefore = settings.black, whiteBefore = settings.white;
        const std::string storedBefore = [] {
            std::string bytes;
            DWORD type = 0;
            ReadStored("IsBlackComputer", bytes, type);
            return bytes;
        }();
        Players([&](HWND window) {
            SendMessageA(GetDlgItem(window, expected::kWhiteStrong), BM_CLICK, 0,
                         0);  // 強い for white
            SendMessageA(GetDlgItem(window, kSwapButtonId), BM_CLICK, 0, 0);
            SendMessageA(GetDlgItem(window, expected::kWhiteName), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>("花子"));
            switch (close) {
                case Ending::kOk:
                    SendMessageA(GetDlgItem(window, kPlayersOkId), BM_CLICK, 0, 0);
                    break;
                case Ending::kCancel:
                    SendMessageA(GetDlgItem(window, kPlayersCancelId), BM_CLICK, 0, 0);
                    break;
                case Ending::kEscape:
                    PostMessageA(GetDlgItem(window, expected::kBlackNormalDepth), WM_KEYDOWN,
                                 VK_ESCAPE, 0);
                    break;
                case Ending::kCloseMessage:
                    PostMessageA(window, WM_CLOSE, 0, 0);
                    break;
                case Ending::kReturnOnOk:
                    // Tab until OK has the focus, then Return presses it.
                    for (int i = 0; i < 40 && Focus() != GetDlgItem(window, kPlayersOkId); ++i) {
                        const HWND before = Focus();
                        PostMessageA(window, WM_KEYDOWN, VK_TAB, 0);
                        WaitUntil([&] { return Focus() != before; }, 2);
                    }
                    ASSERT_EQ(GetDlgItem(window, kPlayersOkId), Focus());
                    PostMessageA(Focus(), WM_KEYDOWN, VK_RETURN, 0);
                    break;
            }
            EXPECT_TRUE(Closed(window));
        });
        if (close == Ending::kOk || close == Ending::kReturnOnOk) {
            EXPECT_EQ(Fields(PlayerSettings{1, "山田太郎", 9, 20, 18}), Fields(settings.black));
            EXPECT_EQ(Fields(PlayerSettings{0, "花子", 7, 18, 16}), Fields(settings.white));
            EXPECT_STREQ("Tavik", Record().blackName) << "the record names who plays";
            EXPECT_STREQ("花子", Record().whiteName);
        } else {
            EXPECT_EQ(Fields(blackBefore), Fields(settings.black));
            EXPECT_EQ(Fields(whiteBefore), Fields(settings.white));
        }
        std::string storedAfter;
        DWORD type = 0;
        ReadStored("IsBlackComputer", storedAfter, type);
        EXPECT_EQ(storedBefore, storedAfter) << "the registry hears of it only at exit";
        EXPECT_EQ(nullptr, ModalKeyboard::Window());
        EXPECT_TRUE(IsWindowEnabled(Main()));
    }
    Close();
    EXPECT_EQ(1u, StoredDword("IsBlackComputer"));
    EXPECT_EQ(20u, StoredDword("BlackThinkWinDepth"));
}

// OK changes the names as any change of the game: stopped, the move on its way landed (here:
// dropped, the game being stopped), then the names, which the record keeps.
TEST_F(PlayersWindowTest, OkNamesThePlayersInTheRecordWhileAMoveIsOnItsWay) {
    W().Settings().black = {0, "黒の人", 7, 18, 16};
    W().Settings().white = {0, "白の人", 7, 18, 16};
    Command(kCmdStart);
    std::atomic<int> statusTexts{0};
    W().statusObserver = [&](int, const char*) { ++statusTexts; };
    std::atomic<bool> held{false};
    std::thread driver([&] {
        // The move handed over below waits for this turn.
        GameSession::Turn hold(W().Session());
        held = true;
        const HWND window = WaitForModalWindow(kSwapButtonId);
        EXPECT_NE(nullptr, window) << "the window did not open";
        if (!window) return;
        SendMessageA(GetDlgItem(window, expected::kBlackName), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>("山田太郎"));
        SendMessageA(GetDlgItem(window, expected::kWhiteName), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>("花子"));
        const int before = statusTexts;
        PostMessageA(GetDlgItem(window, kPlayersOkId), BM_CLICK, 0, 0);
        // The turn ends once OK has stopped the game (which shows in the status bar) and waits for
        // the move, or once the window has gone without waiting.
        EXPECT_TRUE(WaitUntil([&] { return statusTexts > before || !IsWindow(window); }, 20));
    });
    EXPECT_TRUE(WaitUntil([&] { return held.load(); }, 20));
    EXPECT_TRUE(W().Flow().PlayMove(51, 0, 0));  // F5
    EXPECT_EQ(1, W().Session().MovesInFlight());
    Command(kCmdPlayers);
    driver.join();
    W().statusObserver = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return W().Session().MovesInFlight() == 0; }));
    EXPECT_EQ("山田太郎", W().Settings().black.playerName);
    const GameRecord record = Record();
    EXPECT_STREQ("山田太郎", record.blackName);
    EXPECT_STREQ("花子", record.whiteName);
}

TEST_F(PlayersWindowTest, SwapMovesTheChoicesAndLeavesTheNames) {
    W().Settings().black = {0, "山田太郎", 5, 16, 14};
    W().Settings().white = {1, "", 9, 20, 18};
    Players([&](HWND window) {
        SendMessageA(GetDlgItem(window, kSwapButtonId), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsChecked(GetDlgItem(window, expected::kBlackHuman)));
        EXPECT_TRUE(IsChecked(GetDlgItem(window, expected::kBlackComputer)));
        EXPECT_TRUE(IsChecked(GetDlgItem(window, expected::kWhiteHuman)));
        EXPECT_FALSE(IsChecked(GetDlgItem(window, expected::kWhiteComputer)));
        EXPECT_EQ("9手", ShownItem(GetDlgItem(window, expected::kBlackNormalDepth)));
        EXPECT_EQ("終盤20手", ShownItem(GetDlgItem(window, expected::kBlackWinDepth)));
        EXPECT_EQ("終盤18手", ShownItem(GetDlgItem(window, expected::kBlackPerfectDepth)));
        EXPECT_EQ("5手", ShownItem(GetDlgItem(window, expected::kWhiteNormalDepth)));
        EXPECT_EQ("終盤16手", ShownItem(GetDlgItem(window, expected::kWhiteWinDepth)));
        EXPECT_EQ("終盤14手", ShownItem(GetDlgItem(window, expected::kWhitePerfectDepth)));
        EXPECT_EQ("山田太郎", Text(GetDlgItem(window, expected::kBlackName)));
        EXPECT_EQ("", Text(GetDlgItem(window, expected::kWhiteName)));
        // The presets reach only their own side.
        SendMessageA(GetDlgItem(window, expected::kBlackWeak), BM_CLICK, 0, 0);  // 弱い for black
        EXPECT_EQ("5手", ShownItem(GetDlgItem(window, expected::kBlackNormalDepth)));
        EXPECT_EQ("終盤16手", ShownItem(GetDlgItem(window, expected::kBlackWinDepth)));
        EXPECT_EQ("終盤14手", ShownItem(GetDlgItem(window, expected::kBlackPerfectDepth)));
        SendMessageA(GetDlgItem(window, expected::kWhiteNormal), BM_CLICK, 0, 0);  // 普通 for white
        EXPECT_EQ("7手", ShownItem(GetDlgItem(window, expected::kWhiteNormalDepth)));
        EXPECT_EQ("終盤18手", ShownItem(GetDlgItem(window, expected::kWhiteWinDepth)));
        EXPECT_EQ("終盤16手", ShownItem(GetDlgItem(window, expected::kWhitePerfectDepth)));
        EXPECT_EQ("5手", ShownItem(GetDlgItem(window, expected::kBlackNormalDepth)))
            << "black untouched";
        // The radios of one colour exclude each other, and leave the other colour's alone.
        SendMessageA(GetDlgItem(window, expected::kBlackHuman), BM_CLICK, 0, 0);
        EXPECT_TRUE(IsChecked(GetDlgItem(window, expected::kBlackHuman)));
        EXPECT_FALSE(IsChecked(GetDlgItem(window, expected::kBlackComputer)));
        EXPECT_TRUE(IsChecked(GetDlgItem(window, expected::kWhiteHuman)));
    });
}

TEST_F(PlayersWindowTest, TheNameBoxTakesWhatItCanShow) {
    W().Settings().black.playerName = "";
    std::string wide, typed;
    Players([&](HWND window) {
        HWND box = GetDlgItem(window, expected::kBlackName);
        RECT client;
        GetClientRect(box, &client);
        HDC dc = GetDC(box);
        SelectObject(dc, W().Font(kFontPlayers));
        auto width = [dc](const std::string& text) {
            SIZE size;
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        };
        // Wide letters until the box refuses them, then narrow ones into what room is left.
        for (int i = 0; i < 60; ++i) SendMessageA(box, WM_CHAR, 'W', 0);
        wide = Text(box);
        for (int i = 0; i < 30; ++i) SendMessageA(box, WM_CHAR, 'i', 0);
        typed = Text(box);
        SendMessageA(box, WM_CHAR, 'i', 0);
        EXPECT_EQ(typed, Text(box)) << "a full box takes nothing more";
        EXPECT_LE(width(typed), client.right - client.left);
        EXPECT_GT(width(wide + "W"), client.right - client.left - 4)
            << "the wide letters stopped for want of room";
        ReleaseDC(box, dc);
        SendMessageA(GetDlgItem(window, kPlayersOkId), BM_CLICK, 0, 0);
    });
    EXPECT_GT(wide.size(), 3u);
    EXPECT_LT(wide.size(), 60u) << "the box stops taking letters when it is full";
    EXPECT_LT(typed.size(), wide.size() + 30) << "and the narrow ones too";
    EXPECT_EQ(typed, W().Settings().black.playerName);
}

// Ctrl+V is the main window's paste of a transcript, but only there: in a name box of this
// window the keys paste the clipboard's text into the box, and the game is left alone. The keys
// are typed as a person types them, so they pass every message loop on their way.
TEST_F(PlayersWindowTest, CtrlVInANameBoxPastesIntoTheBox) {
    W().Settings().white.playerName = "";
    const GameRecord before = Record();
    ASSERT_TRUE(OpenClipboard(Main()));
    EmptyClipboard();
    const char name[] = "f5d6 花子";  // a transcript too, as the main window would read it
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof name);
    std::memcpy(GlobalLock(block), name, sizeof name);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    std::string pasted;
    Players([&](HWND window) {
        HWND box = GetDlgItem(window, expected::kWhiteName);
        // The window shows before it is active, and its activation takes the focus to the
        // window itself: a focus put into the box meanwhile would be lost. So wait for the
        // activation (which also makes the window the foreground one, where typed keys go),
        // then click into the box.
        ASSERT_TRUE(WaitUntil(
            [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                GetGUIThreadInfo(uiThread, &info);
                return info.hwndActive == window && GetForegroundWindow() == window;
            },
            10));
        ASSERT_TRUE(WaitUntil(
            [&] {
                PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
                return WaitUntil([&] { return Focus() == box; }, 1);
            },
            10));
        INPUT keys[4] = {};
        const WORD codes[4] = {VK_CONTROL, 'V', 'V', VK_CONTROL};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i];
            keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
        }
        SendInput(4, keys, sizeof keys[0]);
        WaitUntil([&] { return Text(box) == name; }, 10);
        pasted = Text(box);
        SendMessageA(GetDlgItem(window, kPlayersOkId), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(name, pasted) << "the keys pasted into the box";
    EXPECT_EQ(name, W().Settings().white.playerName);
    const GameRecord after = Record();
    EXPECT_EQ(0, RecordedMoves(after)) << "no transcript was pasted into the game";
    EXPECT_EQ(0, std::memcmp(before.moves, after.moves, sizeof before.moves));
}

TEST_F(PlayersWindowTest, TabMovesThroughTheControlsInOrder) {
    // A group of radios is one stop, at its checked radio: black's human, white's computer.
    using namespace expected;
    const std::vector<int> order{kBlackNormalDepth, kBlackWinDepth,     kBlackPerfectDepth,
                                 kBlackWeak,        kBlackNormal,       kBlackStrong,
                                 kWhiteComputer,    kWhiteName,         kWhiteNormalDepth,
                                 kWhiteWinDepth,    kWhitePerfectDepth, kWhiteWeak,
                                 kWhiteNormal,      kWhiteStrong,       kSwap,
                                 kPlayersOk,        kPlayersCancel,     kBlackHuman,
                                 kBlackName,        kBlackNormalDepth};
    std::vector<int> seen;
    Players([&](HWND window) {
        HWND name = GetDlgItem(window, expected::kBlackName);
        PostMessageA(name, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(name, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        ASSERT_TRUE(WaitUntil([&] { return Focus() == name; }, 5))
            << "a click puts the focus into the name box";
        for (size_t i = 0; i < order.size(); ++i) {
            const HWND before = Focus();
            PostMessageA(before, WM_KEYDOWN, VK_TAB, 0);
            WaitUntil([&] { return Focus() != before; }, 2);
            seen.push_back(GetDlgCtrlID(Focus()));
        }
    });
    EXPECT_EQ(order, seen);
}

// A stand-in for the engine's version record.
int32_t OSTRAKON_CALL StandInVersion(VersionInfo* info) {
    *info = VersionInfo{};
    info->majorVersion = 2;
    info->minorVersion = 1;
    std::strcpy(info->productName, "Stand-in engine");
    std::strcpy(info->copyright, "(C) 2026 stand-in");
    return -1;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start) + " (no CR LF at the end)");
    return lines;
}

std::string LongText(HWND control) {
    std::string text(4096, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

using VersionWindowTest = ModalWindowTest;

TEST_F(VersionWindowTest, LayoutTextAndNoKeyboard) {
    VersionInfo engine{};
    GetVersionInfo(&engine);
    Drive(kCmdVersion, kBannerId, [&](HWND window) {
        EXPECT_EQ("Tavik\x82\xcc\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1",
                  Text(window));
        RECT outer, main;
        GetWindowRect(window, &outer);
        GetWindowRect(Main(), &main);
        EXPECT_EQ(435, outer.right - outer.left);
        EXPECT_EQ(361, outer.bottom - outer.top);
        EXPECT_LE(std::abs((outer.left + outer.right) - (main.left + main.right)), 1) << "centred";
        EXPECT_EQ(WS_CAPTION,
                  GetWindowLongA(window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
        EXPECT_EQ(nullptr, ModalKeyboard::Window()) << "no keyboard hook";

        HWND ok = GetDlgItem(window, expected::kVersionOk),
             text = GetDlgItem(window, expected::kVersionText),
             picture = GetDlgItem(window, expected::kBanner);
        EXPECT_EQ("BUTTON", ClassOf(ok));
        EXPECT_EQ("OK", Text(ok));
        EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK);
        EXPECT_EQ("252,297 166x28", Place(ok));
        EXPECT_EQ("EDIT", ClassOf(text));
        const LONG bits = WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_WANTRETURN;
        EXPECT_EQ(bits, GetWindowLongA(text, GWL_STYLE) & bits);
        EXPECT_TRUE(GetWindowLongA(text, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ("10,52 408x231", Place(text));
        EXPECT_EQ("STATIC", ClassOf(picture));
        EXPECT_EQ(SS_BITMAP, GetWindowLongA(picture, GWL_STYLE) & SS_TYPEMASK);
        EXPECT_EQ("171,10 88x31", Place(picture));
        // A picture has no text, so no font either.
        for (HWND control : {ok, text})
            EXPECT_EQ(W().Font(kFontVersion),
                      reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));

        const std::vector<std::string> lines = Lines(LongText(text));
        ASSERT_EQ(12u, lines.size());
        EXPECT_EQ("Tavik.exe", lines[0]);
        EXPECT_EQ("\t\x90\xbb\x95\x69\x96\xbc\x81\x40\x81\x40 : Tavik", lines[1]);
        EXPECT_EQ("\t\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93 : 2.13", lines[2]);
        EXPECT_EQ(std::string("\t\x92\x98\x8d\xec\x8c\xa0\x8f\xee\x95\xf1 : ") + kProgramCopyright,
                  lines[3]);
        EXPECT_EQ("", lines[4]);
        EXPECT_EQ("Ostrakon.dll", lines[5]);
        EXPECT_EQ(std::string("\t\x90\xbb\x95\x69\x96\xbc\x81\x40\x81\x40 : ") + engine.productName,
                  lines[6]);
        EXPECT_EQ("\t\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93 : 2.01", lines[7]);
        EXPECT_EQ(std::string("\t\x92\x98\x8d\xec\x8c\xa0\x8f\xee\x95\xf1 : ") + engine.copyright,
                  lines[8]);
        EXPECT_EQ("", lines[9]);
        EXPECT_EQ(std::string("\x8d\xec\x8e\xd2\x83\x54\x83\x43\x83\x67 : ") + kAuthorSite,
                  lines[10]);
        EXPECT_EQ(std::string("\x8d\xec\x8e\xd2\x83\x81\x81\x5b\x83\x8b : ") + kAuthorMail,
                  lines[11]);

        // Escape, Return and Tab get no dialog handling: the window stays until OK. A selection
        // posted after the keys marks when the window has taken them all.
        for (WPARAM key : {VK_ESCAPE, VK_RETURN, VK_TAB}) PostMessageA(ok, WM_KEYDOWN, key, 0);
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(text, EM_SETSEL, 2, 5);
        EXPECT_TRUE(WaitUntil(
            [&] {
                DWORD from = 0, to = 0;
                SendMessageA(text, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                             reinterpret_cast<LPARAM>(&to));
                return !IsWindow(window) || (from == 2 && to == 5);
            },
            10));
        EXPECT_TRUE(IsWindow(window));
        SendMessageA(ok, BM_CLICK, 0, 0);
        EXPECT_TRUE(Closed(window));
    });
    EXPECT_TRUE(IsWindowEnabled(Main()));
}

TEST_F(VersionWindowTest, TheEngineVersionComesFromTheEngine) {
    W().engineVersion = StandInVersion;
    std::vector<std::string> lines;
    Drive(kCmdVersion, kBannerId,
          [&](HWND window) { lines = Lines(LongText(GetDlgItem(window, kVersionTextId))); });
    ASSERT_EQ(12u, lines.size());
    EXPECT_EQ("\t\x90\xbb\x95\x69\x96\xbc\x81\x40\x81\x40 : Stand-in engine", lines[6]);
    EXPECT_EQ("\t\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93 : 2.01", lines[7]);
    EXPECT_EQ("\t\x92\x98\x8d\xec\x8c\xa0\x8f\xee\x95\xf1 : (C) 2026 stand-in", lines[8]);
}

TEST_F(VersionWindowTest, TheBannerIsReleasedAtEveryClose) {
    const DWORD countBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    int released = 0;
    for (int i = 0; i < 100; ++i) {
        HGDIOBJ banner = nullptr;
        Drive(kCmdVersion, kBannerId, [&](HWND window) {
            banner = reinterpret_cast<HGDIOBJ>(
                SendMessageA(GetDlgItem(window, kBannerId), STM_GETIMAGE, IMAGE_BITMAP, 0));
            BITMAP bitmap{};
            if (i == 0) {
                ASSERT_EQ(OBJ_BITMAP, static_cast<int>(GetObjectType(banner)));
                GetObjectA(banner, sizeof bitmap, &bitmap);
                EXPECT_EQ(88, bitmap.bmWidth);
                EXPECT_EQ(31, bitmap.bmHeight);
            }
            SendMessageA(GetDlgItem(window, kVersionOkId), BM_CLICK, 0, 0);
            Closed(window);
        });
        released += banner && GetObjectType(banner) == 0;
    }
    EXPECT_EQ(100, released) << "the banner of each opening is deleted when its window closes";
    const DWORD countAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (countBefore == 0) {
        std::printf(
            "Wine reports no GDI object count (GetGuiResources answers 0): the banner's handle was "
            "checked instead, deleted after each of the 100 closes.\n");
    } else {
        EXPECT_EQ(countBefore, countAfter) << "GDI objects over 100 openings and closings";
    }
}

}  // namespace
