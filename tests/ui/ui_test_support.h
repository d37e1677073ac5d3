// What the tests of the real windows share: a settings key they prepare, a window started
// and closed as a run of the game would, the message pump, and the registry read back.
#ifndef TAVIK_TESTS_UI_UI_TEST_SUPPORT_H
#define TAVIK_TESTS_UI_UI_TEST_SUPPORT_H

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app_settings.h"
#include "ui.h"

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

inline HKEY OpenSettings() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
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
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char data[4096];
    DWORD size = sizeof data;
    const bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
                    ERROR_SUCCESS;
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

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        g_commandLineForTests = "Tavik.exe";
    }
    void Start() {
        ASSERT_NE(nullptr, StartUp(GetModuleHandleA(nullptr)));
        Pump();
    }
    void Close() {
        if (g_ui.main) SendMessageA(g_ui.main, WM_CLOSE, 0, 0);
        Pump();
        if (g_ui.accelerators) DestroyAcceleratorTable(g_ui.accelerators);
        g_ui.accelerators = nullptr;
    }
    void TearDown() override { Close(); }

    static UINT State(UINT id) { return GetMenuState(g_ui.menuBar, id, MF_BYCOMMAND); }
    static bool Greyed(UINT id) { return (State(id) & MF_GRAYED) != 0; }
    static bool Checked(UINT id) { return (State(id) & MF_CHECKED) != 0; }
    static COLORREF Pixel(int x, int y) { return GetPixel(g_ui.backDc, x, y); }
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
        if (process == GetCurrentProcessId() && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(window))
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
