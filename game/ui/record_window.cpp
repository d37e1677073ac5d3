// The windows beside the main one: the game-record window, which stays open beside the board,
// and the machinery of the modal windows (their nested loop and their closing).
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "game_flow.h"
#include "ui.h"

namespace tavik::ui {

namespace {

HWND CreateAuxWindow(const char* caption, DWORD style, int width, int height) {
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "NORMALDLG", caption, style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, width, height, g_ui.main, nullptr, g_ui.instance, nullptr);
    HICON small = static_cast<HICON>(LoadImageA(g_ui.instance, MAKEINTRESOURCEA(110), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    return window;
}

void AddColumn(HWND list, int index, const char* text, int width, int format) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

LRESULT CALLBACK KifuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        g_ui.kifuList = CreateWindowExA(WS_EX_CLIENTEDGE, "SysListView32", "",
                                        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0, 0, 124, 98,
                                        window, reinterpret_cast<HMENU>(kKifuListId), g_ui.instance, nullptr);
        SendMessageA(g_ui.kifuList, WM_SETFONT, reinterpret_cast<WPARAM>(g_ui.fonts[kFontKifu]), TRUE);
        AddColumn(g_ui.kifuList, 0, "", 30, LVCFMT_LEFT);
        AddColumn(g_ui.kifuList, 1, "場所", 40, LVCFMT_LEFT);
        AddColumn(g_ui.kifuList, 2, "評価値", 80, LVCFMT_LEFT);
        AddColumn(g_ui.kifuList, 3, "思考時間", 65, LVCFMT_RIGHT);
        AddColumn(g_ui.kifuList, 4, "評価局面数", 80, LVCFMT_RIGHT);
        SendMessageA(g_ui.kifuList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        return TRUE;
    }
    case WM_SIZE:
        MoveWindow(g_ui.kifuList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_CLOSE: CloseKifuWindow(); return 0;
    case WM_DESTROY:
        // Also when the main window goes: the window is owned by it and dies first. The
        // setting stays as it was, so the next start opens the window again.
        if (g_ui.kifu == window) {
            g_ui.kifu = nullptr;
            g_ui.kifuList = nullptr;
        }
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void OpenKifuWindow() {
    SetMenuChecked(kCmdShowKifu, true);
    g_settings.showKifu = 1;
    if (g_ui.kifu) return;
    g_ui.kifu = CreateAuxWindow("棋譜", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 158, 177);
    SetWindowLongPtrA(g_ui.kifu, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KifuWindowProc));
    SendMessageA(g_ui.kifu, WM_INITDIALOG, 0, 0);
    RECT main;
    GetWindowRect(g_ui.main, &main);
    MoveWindow(g_ui.kifu, main.right, main.top, 330, 300, TRUE);
    ShowWindow(g_ui.kifu, SW_SHOW);
    SetFocus(g_ui.main);
    RebuildRecordList();
}

void CloseKifuWindow() {
    SetMenuChecked(kCmdShowKifu, false);
    g_settings.showKifu = 0;
    if (g_ui.kifu) DestroyWindow(g_ui.kifu);
}

namespace {

// The modal windows by name; each is made, subclassed and initialised by its creator. A name
// without a window here creates nothing.
struct ModalWindow {
    const char* name;
    HWND (*create)();
};
const ModalWindow kModalWindows[] = {
    {"", nullptr},  // the version, evaluation, best-move and players windows join here
};

}  // namespace

WPARAM RunModalWindow(HWND owner, const char* name) {
    HWND window = nullptr;
    for (const ModalWindow& modal : kModalWindows)
        if (modal.create && std::strcmp(modal.name, name) == 0) window = modal.create();
    if (!window) return 0;
    ShowWindow(window, SW_SHOW);
    EnableWindow(owner, FALSE);
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.wParam;
}

void CloseModalWindow(HWND window, WPARAM result) {
    EnableWindow(GetWindow(window, GW_OWNER), TRUE);
    DestroyWindow(window);
    PostMessageA(nullptr, WM_QUIT, result, 0);
}

}  // namespace tavik::ui
