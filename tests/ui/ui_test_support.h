// What the tests of the real windows share: a settings key they prepare, a window started
// and closed as a run of the game would, the message pump, and the registry read back.
#ifndef TAVIK_TESTS_UI_UI_TEST_SUPPORT_H
#define TAVIK_TESTS_UI_UI_TEST_SUPPORT_H

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app_settings.h"
#include "game_file.h"
#include "main_window.h"
#include "settings_store.h"

namespace tavik_ui_test {

using namespace tavik;
using namespace tavik::ui;

inline void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
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

#ifdef TAVIK_DATA_DIR
// A whole game with two passes near the end (tests/data/games): positions along it.
inline const GameRecord& GoldenGame() {
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
#endif

// Handles the process holds. Windows counts them; Wine answers 0, but a new handle takes the
// lowest free slot there, so a leak shows as a higher value of a probe handle.
struct HandleGauge {
    bool counted;
    uint64_t Measure() const {
        if (counted) {
            DWORD count = 0;
            GetProcessHandleCount(GetCurrentProcess(), &count);
            return count;
        }
        HANDLE h = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(h);
        return reinterpret_cast<uintptr_t>(h) / 4;  // handle values step by four
    }
    static HandleGauge Choose() {
        DWORD count = 0;
        return HandleGauge{GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0};
    }
    // Whether ten handles left open raise the gauge by ten: a leak check means nothing unless
    // it does.
    bool SeesALeak() const {
        std::vector<HANDLE> leaked;
        const uint64_t before = Measure();
        for (int i = 0; i < 10; ++i) leaked.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        const uint64_t with = Measure();
        for (HANDLE h : leaked) CloseHandle(h);
        return with >= before + 10;
    }
};

inline HKEY OpenSettings() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
}

inline void ClearSettings() { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }

inline void StoreDword(const char* name, DWORD value) {
    HKEY key = OpenSettings();
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

inline void StoreBytes(const char* name, DWORD type, const std::string& bytes) {
    HKEY key = OpenSettings();
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

inline bool ReadStored(const char* name, std::string& bytes, DWORD& type) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char data[4096];
    DWORD size = sizeof data;
    const bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                     &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (ok) bytes.assign(data, size);
    return ok;
}

inline DWORD StoredDword(const char* name) {
    std::string bytes;
    DWORD type = 0;
    if (!ReadStored(name, bytes, type) || type != REG_DWORD || bytes.size() != 4) return 0xDEADBEEF;
    DWORD value;
    std::memcpy(&value, bytes.data(), 4);
    return value;
}

// A test of the main window: each Start makes a new window object, as a run of the game does,
// from the settings key the test prepared.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void Start() {
        window_.reset();
        window_ = std::make_unique<MainWindow>(GetModuleHandleA(nullptr), commandLine.c_str());
        window_->statusObserver = statusObserver;
        ASSERT_NE(nullptr, window_->Create());
        Pump();
    }
    // Closes the window as its close box does; the object stays for a look at what is left.
    void Close() {
        if (window_ && window_->Handle()) SendMessageA(window_->Handle(), WM_CLOSE, 0, 0);
        Pump();
    }
    void TearDown() override {
        Close();
        window_.reset();
        Pump();  // the quit message of the closed window
    }

    MainWindow& W() { return *window_; }
    HWND Main() { return window_->Handle(); }
    BoardState Board() { return window_->Session().Board(); }
    GameRecord Record() { return window_->Session().Record(); }
    void Command(UINT id) { SendMessageA(Main(), WM_COMMAND, id, 0); }
    // The position and the record as a test wants them, set the one way the window sets them.
    template <class Change>
    void SetGame(Change change) {
        ASSERT_TRUE(window_->Flow().ChangeGame(change));
        window_->Records().Rebuild(window_->Session().Record());
        window_->Redraw();
    }

#ifdef TAVIK_DATA_DIR
    // The golden game's record, with the board after its first `moves` moves.
    void PositionAfter(int moves) {
        SetGame([moves](BoardState& board, GameRecord& record) {
            record = GoldenGame();
            ReplayMoves(record, moves, board);
        });
    }
#endif

    UINT State(UINT id) { return GetMenuState(window_->Menus().Bar(), id, MF_BYCOMMAND); }
    bool Greyed(UINT id) { return (State(id) & MF_GRAYED) != 0; }
    bool Checked(UINT id) { return (State(id) & MF_CHECKED) != 0; }
    int ListRows() {  // the record window's rows
        return static_cast<int>(SendMessageA(window_->Records().List(), LVM_GETITEMCOUNT, 0, 0));
    }
    COLORREF Pixel(int x, int y) { return GetPixel(window_->View().BackDc(), x, y); }

    std::string commandLine = "Tavik.exe";
    std::function<void(int, const char*)> statusObserver;

private:
    std::unique_ptr<MainWindow> window_;
};

inline std::string Text(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A window's class, upper-cased: Windows says "Button" of the class created as "BUTTON".
inline std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    CharUpperA(name);
    return name;
}

// A control's place in its parent's client area, as "x,y widthxheight".
inline std::string Place(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

struct FindArgs {
    int controlId;
    HWND found;
};

inline BOOL CALLBACK FindModalWindow(HWND window, LPARAM argument) {
    auto* args = reinterpret_cast<FindArgs*>(argument);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        ClassOf(window) == "NORMALDLG" && GetDlgItem(window, args->controlId)) {
        args->found = window;
        return FALSE;
    }
    return TRUE;
}

// The open modal window that has a control `controlId` (the evaluation list, the best-move
// text, ...), once it shows; null after 20 s.
inline HWND WaitForModalWindow(int controlId) {
    for (int i = 0; i < 4000; ++i) {
        FindArgs args{controlId, nullptr};
        EnumWindows(FindModalWindow, reinterpret_cast<LPARAM>(&args));
        if (args.found) return args.found;
        Sleep(5);
    }
    return nullptr;
}

template <typename Condition>
inline bool WaitUntil(Condition done, double seconds = 60) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > seconds * 1000) return false;
        Sleep(1);
    }
    return true;
}

// A test of the modal windows: each runs its own message loop inside the command that opens
// it, so a test drives the window from a second thread (a script) while this thread is in that
// loop.
class ModalWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StoreDword("ShowKifu", 0);
        Start();
        uiThread = GetCurrentThreadId();
    }
    // Opens the window of `command` and runs `script` on a second thread while the window's
    // loop runs here; the script's window is closed when it returns, whatever it did.
    void Drive(UINT command, int controlId, const std::function<void(HWND)>& script) {
        std::thread driver([&] {
            const HWND window = WaitForModalWindow(controlId);
            EXPECT_NE(nullptr, window) << "the window did not open";
            if (!window) return;
            script(window);
            if (IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        });
        Command(command);
        driver.join();
    }
    HWND Focus() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(uiThread, &info);
        return info.hwndFocus;
    }
    DWORD uiThread = 0;
};

// Answers the message boxes of this process (from any thread) with OK and keeps their captions
// and texts, in the order they appeared.
class BoxAnswerer {
public:
    struct Box {
        std::string caption, text;
    };
    BoxAnswerer() : thread_([this] { Run(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<Box> Boxes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }
    size_t Count(const std::string& caption) {
        size_t n = 0;
        for (const Box& box : Boxes()) n += box.caption == caption;
        return n;
    }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (process == GetCurrentProcessId() && std::strcmp(cls, "#32770") == 0 &&
            IsWindowVisible(window))
            reinterpret_cast<BoxAnswerer*>(self)->Answer(window);
        return TRUE;
    }
    void Answer(HWND box) {
        for (HWND seen : answered_)
            if (seen == box) return;
        answered_.push_back(box);
        char caption[256] = {}, text[1024] = {};
        GetWindowTextA(box, caption, sizeof caption);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back({caption, text});
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    void Run() {
        while (!stop_) {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
            // Forget boxes that are gone, so a new one at the same handle is answered too.
            for (size_t i = 0; i < answered_.size();)
                if (!IsWindow(answered_[i]))
                    answered_.erase(answered_.begin() + static_cast<long>(i));
                else
                    ++i;
            Sleep(10);
        }
    }
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

}  // namespace tavik_ui_test

#endif
