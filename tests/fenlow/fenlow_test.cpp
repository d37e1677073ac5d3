// Fenlow.dll as the game sees it: the export table, the __stdcall convention, window centring
// on real windows, menu states after CheckMenuItem, the game-side name that must reach
// Fenlow's CheckMenuItem rather than user32's, and the dialogs, answered by a hook.
#include "fenlow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "pe_image.h"

namespace {

using tavik_test::CallExport;
using tavik_test::ExportCall;
using tavik_test::ExportNames;

HMODULE Fenlow() {
    static HMODULE module = LoadLibraryA("Fenlow.dll");
    return module;
}

uintptr_t Arg(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// A hidden frameless window: its window rectangle is exactly what it was created with.
HWND Popup(int x, int y, int width, int height) {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// --- The dialogs are answered by a CBT hook on this thread, through posted button commands:
// the first window to be activated is the dialog, any other one a message box it raised.
struct DialogScript {
    DialogScript(UINT toDialog, UINT toBox) : dialogAnswer(toDialog), boxAnswer(toBox) {}
    UINT dialogAnswer;  // posted to the dialog when it first appears
    UINT boxAnswer;     // posted to each message box; the dialog is cancelled after it
    // what the hook saw
    HWND dialog = nullptr;
    std::string title;
    std::vector<std::string> childTexts;
    int boxes = 0;
    bool cancelOnReturn = false;
};

DialogScript* activeScript = nullptr;

BOOL CALLBACK CollectChildText(HWND child, LPARAM script) {
    reinterpret_cast<DialogScript*>(script)->childTexts.push_back(WindowText(child));
    return TRUE;
}

LRESULT CALLBACK AnswerDialogs(int code, WPARAM wParam, LPARAM lParam) {
    // Activation also passes to no window at all when a dialog closes.
    if (code == HCBT_ACTIVATE && wParam != 0 && activeScript != nullptr) {
        DialogScript& script = *activeScript;
        const auto window = reinterpret_cast<HWND>(wParam);
        if (script.dialog == nullptr) {
            script.dialog = window;
            script.title = WindowText(window);
            EnumChildWindows(window, CollectChildText, reinterpret_cast<LPARAM>(&script));
            PostMessageA(window, WM_COMMAND, script.dialogAnswer, 0);
        } else if (window != script.dialog) {
            ++script.boxes;
            PostMessageA(window, WM_COMMAND, script.boxAnswer, 0);
            script.cancelOnReturn = true;
        } else if (script.cancelOnReturn) {
            // Back from a box that did not end the dialog: give up on it.
            script.cancelOnReturn = false;
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

template <class Call>
void Answered(DialogScript& script, Call call) {
    activeScript = &script;
    HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerDialogs, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    call();
    UnhookWindowsHookEx(hook);
    activeScript = nullptr;
}

const char kFilter[] = "Game (*.tvk)\0*.tvk\0All files (*.*)\0*.*\0";
const std::string kOpenTitle = "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8a\x4a\x82\xad";
const std::string kSaveTitle = "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x95\xdb\x91\xb6";
const std::string kFolderTitle = "\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xcc\x91\x49\x91\xf0";

std::string TempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

TEST(FenlowExports, UndecoratedNamesOnly) {
    ASSERT_NE(Fenlow(), nullptr);
    // In the table's own order, which must be sorted: the loader finds names by binary search,
    // and a table out of order loses CheckMenuItem.
    const std::vector<std::string> names = ExportNames(Fenlow());
    EXPECT_EQ(names, (std::vector<std::string>{"CheckMenuItem", "DllMain", "GetFileDlg",
                                               "GetFolderDlg", "MoveWindowToCenter"}));
}

// Every export called through its address: on 32-bit Windows it also removes its own
// arguments (__stdcall).
TEST(FenlowExports, EveryExportAnswersThroughItsAddress) {
    ASSERT_NE(Fenlow(), nullptr);
    const HWND window = Popup(10, 20, 30, 40);
    const uintptr_t module = Arg(Fenlow());
    struct Call {
        const char* name;
        std::vector<uintptr_t> args;
        uint32_t expected;
    };
    // Calls that open no dialog, with arguments for which the answer is known.
    const std::vector<Call> calls = {
        {"CheckMenuItem", {0, 1041, 1}, 0},           // no menu
        {"MoveWindowToCenter", {0, Arg(window)}, 0},  // no window to move
        {"MoveWindowToCenter", {Arg(window), 0}, 0},  // no reference
        {"DllMain", {module, DLL_PROCESS_ATTACH, 0}, 1},
        {"DllMain", {module, DLL_THREAD_ATTACH, 0}, 0},
        {"DllMain", {module, DLL_THREAD_DETACH, 0}, 0},
        {"DllMain", {module, DLL_PROCESS_DETACH, 0}, 0},
    };
    for (const Call& call : calls) {
        SCOPED_TRACE(call.name);
        const auto fn = reinterpret_cast<const void*>(GetProcAddress(Fenlow(), call.name));
        ASSERT_NE(fn, nullptr);
        const ExportCall result = CallExport(fn, call.args);
        EXPECT_EQ(result.stackDelta, 0);
        EXPECT_EQ(result.returned, call.expected);
    }
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 10) << "a window without a reference stays where it was";
    EXPECT_EQ(rect.top, 20);

    // The dialogs, cancelled at once by the hook.
    char file[MAX_PATH] = "unchanged";
    const std::vector<std::pair<const char*, std::vector<uintptr_t>>> dialogs = {
        {"GetFileDlg", {0, Arg(file), Arg(kFilter), 1}},
        {"GetFileDlg", {0, Arg(file), Arg(kFilter), 0}},
        {"GetFolderDlg", {0, Arg(file)}},
    };
    for (const auto& [name, args] : dialogs) {
        SCOPED_TRACE(name);
        const auto fn = reinterpret_cast<const void*>(GetProcAddress(Fenlow(), name));
        DialogScript script{IDCANCEL, IDOK};
        ExportCall result{0xDEADBEEF, -1};
        Answered(script, [&] { result = CallExport(fn, args); });
        EXPECT_EQ(result.stackDelta, 0);
        EXPECT_EQ(result.returned, 0u);
        EXPECT_NE(script.dialog, nullptr) << "the dialog was never shown";
        EXPECT_STREQ(file, "unchanged");
    }
    DestroyWindow(window);
}

TEST(MoveWindowToCenter, CentresWithHalvesRoundedToEven) {
    struct Case {
        const char* name;
        RECT reference;
        int width, height;
        int x, y;
    };
    const std::vector<Case> cases = {
        {"350.5 and 300.5 round down to even", {100, 100, 901, 701}, 300, 200, 350, 300},
        {"351.5 and 301.5 round up to even", {102, 102, 903, 703}, 300, 200, 352, 302},
        {"odd sizes: 349.5 and 299.5 round up", {100, 100, 900, 700}, 301, 201, 350, 300},
        {"whole numbers stay", {0, 0, 800, 600}, 300, 200, 250, 200},
        {"negative halves: -650.5 and -500.5", {-901, -701, -100, -100}, 300, 200, -650, -500},
        {"negative halves: -651.5 and -501.5", {-903, -703, -100, -100}, 300, 200, -652, -502},
        {"larger than the reference", {0, 0, 100, 100}, 301, 203, -100, -52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RECT& r = c.reference;
        const HWND reference = Popup(r.left, r.top, r.right - r.left, r.bottom - r.top);
        const HWND window = Popup(5, 7, c.width, c.height);
        ASSERT_NE(reference, nullptr);
        ASSERT_NE(window, nullptr);
        RECT check;
        GetWindowRect(reference, &check);
        ASSERT_TRUE(EqualRect(&check, &r)) << "the reference was not placed as asked";

        EXPECT_NE(MoveWindowToCenter(window, reference), 0);
        RECT moved;
        GetWindowRect(window, &moved);
        EXPECT_EQ(moved.left, c.x);
        EXPECT_EQ(moved.top, c.y);
        EXPECT_EQ(moved.right - moved.left, c.width) << "the size stays";
        EXPECT_EQ(moved.bottom - moved.top, c.height);
        DestroyWindow(window);
        DestroyWindow(reference);
    }
}

// A menu bar with one submenu of three items, as the game builds its menus.
struct Menus {
    HMENU bar = CreateMenu();
    HMENU sub = CreatePopupMenu();
    Menus() {
        AppendMenuA(sub, MF_STRING, 1041, "one");
        AppendMenuA(sub, MF_STRING, 1042, "two");
        AppendMenuA(sub, MF_STRING, 1043, "three");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "menu");
    }
    ~Menus() { DestroyMenu(bar); }  // destroys the submenu with it
    void Set(UINT id, UINT state) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE;
        item.fState = state;
        SetMenuItemInfoA(bar, id, FALSE, &item);
    }
    UINT State(UINT id) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE;
        GetMenuItemInfoA(bar, id, FALSE, &item);
        return item.fState;
    }
};

TEST(CheckMenuItem, ReplacesTheWholeState) {
    using CheckFn = BOOL(__stdcall*)(HMENU, UINT, int32_t);
    const auto check = reinterpret_cast<CheckFn>(
        reinterpret_cast<void*>(GetProcAddress(Fenlow(), "CheckMenuItem")));
    ASSERT_NE(check, nullptr);
    struct Case {
        const char* name;
        UINT before;
        bool onBar;  // called with the menu bar, the item being in its submenu
        UINT id;
        int32_t flag;
        bool succeeds;
        UINT after1042;  // the state of item 1042 afterwards
    };
    const std::vector<Case> cases = {
        {"flag 0 on a greyed item enables it", MFS_GRAYED, true, 1042, 0, true, MFS_UNCHECKED},
        {"checking also clears the grey", MFS_GRAYED, true, 1042, 1, true, MFS_CHECKED},
        {"unchecking", MFS_CHECKED, false, 1042, 0, true, MFS_UNCHECKED},
        {"any non-zero flag checks", MFS_UNCHECKED, false, 1042, -1, true, MFS_CHECKED},
        {"the default state goes", MFS_DEFAULT | MFS_CHECKED, true, 1042, 1, true, MFS_CHECKED},
        {"an unknown command fails", MFS_GRAYED, true, 1099, 0, false, MFS_GRAYED},
        {"by command, never by position", MFS_GRAYED, false, 1, 0, false, MFS_GRAYED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Menus menus;
        for (UINT id : {1041u, 1042u, 1043u}) menus.Set(id, c.before);
        ASSERT_EQ(menus.State(1042), c.before);
        const BOOL result = check(c.onBar ? menus.bar : menus.sub, c.id, c.flag);
        EXPECT_EQ(result != 0, c.succeeds);
        EXPECT_EQ(menus.State(1042), c.after1042);
        EXPECT_EQ(menus.State(1041), c.before) << "the neighbours stay";
        EXPECT_EQ(menus.State(1043), c.before);
    }
}

TEST(FenlowBinding, GameSideNameReachesFenlowsCheckMenuItem) {
    // Through the import library, as the game calls it (fenlow.h declares it dllimport, so its
    // address is the one the loader wrote into this program's import table).
    const auto bound = reinterpret_cast<const void*>(&FenlowCheckMenuItem);
    const HMODULE loaded = GetModuleHandleA("Fenlow.dll");
    ASSERT_NE(loaded, nullptr) << "Fenlow.dll was not loaded with the program";
    EXPECT_EQ(bound, reinterpret_cast<const void*>(GetProcAddress(loaded, "CheckMenuItem")));
    EXPECT_NE(bound, reinterpret_cast<const void*>(
                         GetProcAddress(GetModuleHandleA("user32.dll"), "CheckMenuItem")));

    // And it behaves as Fenlow's: user32's CheckMenuItem with flag 0 would leave the grey.
    Menus menus;
    menus.Set(1042, MFS_GRAYED);
    EXPECT_NE(FenlowCheckMenuItem(menus.bar, 1042, 0), 0);
    EXPECT_EQ(menus.State(1042), static_cast<UINT>(MFS_UNCHECKED));
}

void WriteScratchFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("game", f);
    std::fclose(f);
}

TEST(GetFileDlg, TitlesAnswersAndQuestions) {
    const std::string existing = TempPath("fenlow_test_game.tvk");
    const std::string missing = TempPath("fenlow_test_missing.tvk");
    WriteScratchFile(existing);
    DeleteFileA(missing.c_str());
    struct Case {
        const char* name;
        int32_t open;
        std::string proposed;
        UINT dialogAnswer, boxAnswer;
        int32_t result;
        int boxes;
        std::string file;  // the buffer afterwards
    };
    const std::vector<Case> cases = {
        {"open, cancelled", 1, existing, IDCANCEL, IDOK, 0, 0, existing},
        {"open an existing file", 1, existing, IDOK, IDOK, -1, 0, existing},
        {"open refuses a missing file", 1, missing, IDOK, IDOK, 0, 1, missing},
        {"save, cancelled", 0, existing, IDCANCEL, IDOK, 0, 0, existing},
        {"save over a file: asked, yes", 0, existing, IDOK, IDYES, -1, 1, existing},
        {"save over a file: asked, no", 0, existing, IDOK, IDNO, 0, 1, existing},
        // One set of flags serves both dialogs: "must exist" does not stop a new save, and the
        // default extension "*" stands for the chosen filter's.
        {"save a new file", 0, missing, IDOK, IDOK, -1, 0, missing},
        {"save takes the filter's extension", 0, TempPath("fenlow_test_missing"), IDOK, IDOK, -1, 0,
         missing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char file[MAX_PATH] = {};
        c.proposed.copy(file, sizeof file - 1);
        DialogScript script{c.dialogAnswer, c.boxAnswer};
        int32_t result = 1;
        Answered(script, [&] { result = GetFileDlg(nullptr, file, kFilter, c.open); });
        EXPECT_EQ(script.title, c.open ? kOpenTitle : kSaveTitle);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(script.boxes, c.boxes);
        EXPECT_EQ(lstrcmpiA(file, c.file.c_str()), 0) << file;
    }
    DeleteFileA(existing.c_str());
}

TEST(GetFolderDlg, ShowsItsTitleAndCancels) {
    char path[MAX_PATH] = "unchanged";
    DialogScript script{IDCANCEL, IDOK};
    int32_t result = 1;
    Answered(script, [&] { result = GetFolderDlg(nullptr, path); });
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(path, "unchanged");
    EXPECT_NE(std::find(script.childTexts.begin(), script.childTexts.end(), kFolderTitle),
              script.childTexts.end());
}

}  // namespace
