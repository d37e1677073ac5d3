// The keyboard of the modal windows as a thing with an owner: two plain windows of the test's
// own, owners of the keyboard made and destroyed in turn, then one Escape taken from the queue.
// Each window counts the WM_CLOSE messages it gets, so a hook too many (two closes) shows as
// plainly as a hook too few (none).
#include "modal_windows.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

namespace {

using tavik::ui::ModalKeyboard;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        return 0;  // counted, not closed: a second close would reach the window too
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct KeyboardCase {
    const char* steps;  // "+1" makes an owner for window 1, "-1" destroys it; in this order
    int closes[2];      // the WM_CLOSE messages each window gets from one Escape
    int hasKeyboard;    // the window ModalKeyboard::Window() names after the steps (0: none)
};

const KeyboardCase kCases[] = {
    {"+1", {1, 0}, 1},           // the hook is there while its owner lives
    {"+1 -1", {0, 0}, 0},        // and goes with it
    {"+1 +2", {0, 1}, 2},        // a new owner takes the keyboard over, the old hook goes
    {"+1 +2 -1", {0, 1}, 2},     // an owner taken over leaves the new one's keyboard when it goes
    {"+1 -1 +2", {0, 1}, 2},     // a gone owner leaves no hook behind to answer with the next
    {"+1 +2 -2 -1", {0, 0}, 0},  // both gone, in either order: no keyboard
};

TEST(ModalKeyboard, OneOwnerAtATimeHasTheHookForItsLifetime) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = CountingProcedure;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "ModalKeyboardTest";
    ASSERT_TRUE(RegisterClassA(&cls));
    for (const KeyboardCase& c : kCases) {
        SCOPED_TRACE(c.steps);
        int closes[2] = {0, 0};
        HWND windows[2];
        for (int i = 0; i < 2; ++i) {
            windows[i] = CreateWindowA("ModalKeyboardTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                       nullptr, nullptr, cls.hInstance, nullptr);
            ASSERT_NE(nullptr, windows[i]);
            SetWindowLongPtrA(windows[i], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&closes[i]));
        }
        std::optional<ModalKeyboard> owners[2];
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            const int i = step[1] - '1';
            if (step[0] == '+')
                owners[i].emplace(windows[i]);
            else
                owners[i].reset();
        }
        EXPECT_EQ(c.hasKeyboard ? windows[c.hasKeyboard - 1] : nullptr, ModalKeyboard::Window());

        // The hook looks at messages as they leave the queue, whatever window they are for.
        PostMessageA(windows[0], WM_KEYDOWN, VK_ESCAPE, 0);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        EXPECT_EQ(c.closes[0], closes[0]) << "window 1";
        EXPECT_EQ(c.closes[1], closes[1]) << "window 2";

        for (auto& owner : owners) owner.reset();
        for (HWND window : windows) DestroyWindow(window);
    }
    UnregisterClassA("ModalKeyboardTest", cls.hInstance);
}

}  // namespace
