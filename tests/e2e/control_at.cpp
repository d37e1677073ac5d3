// For the end-to-end scripts, run in the game's Wine desktop: finds the open window of the game
// that has a control with the given ID and writes, into OUTPUT, the middle of that control and
// the top-left corner of the main window's client area (where the board starts), both in the
// desktop's pixels: "CONTROL_X CONTROL_Y CLIENT_X CLIENT_Y". The script maps them onto the
// screen through the board it found in a screenshot.
// Usage: control_at ID OUTPUT; exit 1 when no window has the control yet.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Search {
    int id;
    HWND control;
    HWND main;
};

BOOL CALLBACK Visit(HWND window, LPARAM argument) {
    auto* search = reinterpret_cast<Search*>(argument);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (!IsWindowVisible(window)) return TRUE;
    if (lstrcmpA(cls, "NORMALDLG") == 0 && GetDlgItem(window, search->id))
        search->control = GetDlgItem(window, search->id);
    if (lstrcmpA(cls, "NORMAL0") == 0) search->main = window;
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: control_at ID OUTPUT\n");
        return 2;
    }
    Search search{std::atoi(argv[1]), nullptr, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (!search.control || !search.main) return 1;
    RECT r;
    GetWindowRect(search.control, &r);
    POINT client{0, 0};
    ClientToScreen(search.main, &client);
    FILE* out = std::fopen(argv[2], "w");
    if (!out) return 2;
    std::fprintf(out, "%ld %ld %ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2, client.x,
                 client.y);
    std::fclose(out);
    return 0;
}
