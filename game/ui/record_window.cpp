#include "record_window.h"

#include <commctrl.h>

#include "aux_window.h"
#include "texts.h"

namespace tavik::ui {

namespace {

void AddColumn(HWND list, int index, const char* text, int width, int format) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

LRESULT CALLBACK RecordWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecordWindow* self = SelfOf<RecordWindow>(window);
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_INITDIALOG: {
            HWND list =
                Control(window, WS_EX_CLIENTEDGE, "SysListView32", "", LVS_REPORT | LVS_SINGLESEL,
                        0, 0, 124, 98, kRecordListId, self->frame_.Font(kFontKifu));
            AddColumn(list, 0, "", 30, LVCFMT_LEFT);
            AddColumn(list, 1, "場所", 40, LVCFMT_LEFT);
            AddColumn(list, 2, "評価値", 80, LVCFMT_LEFT);
            AddColumn(list, 3, "思考時間", 65, LVCFMT_RIGHT);
            AddColumn(list, 4, "評価局面数", 80, LVCFMT_RIGHT);
            SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
            self->list_ = list;
            return TRUE;
        }
        case WM_SIZE:
            MoveWindow(self->list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_CLOSE:
            // The setting decides whether the window is open; the main window follows it.
            self->host_.HideRecordWindow();
            return 0;
        case WM_DESTROY:
            // Also when the main window goes: the window is owned by it and dies first. The
            // setting stays as it was, so the next start opens the window again.
            self->window_ = nullptr;
            self->list_ = nullptr;
            Release(window);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void RecordWindow::Open() {
    if (window_) return;
    HWND window = frame_.CreateAuxWindow("棋譜", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 158, 177);
    Subclass(window, this, Procedure);
    window_ = window;
    SendMessageA(window, WM_INITDIALOG, 0, 0);
    RECT main;
    GetWindowRect(frame_.Handle(), &main);
    MoveWindow(window, main.right, main.top, 330, 300, TRUE);
    ShowWindow(window, SW_SHOW);
    SetFocus(frame_.Handle());
    Rebuild(host_.RecordCopy());
}

void RecordWindow::Close() {
    if (HWND window = window_) DestroyWindow(window);
}

void RecordWindow::Rebuild(const GameRecord& record) {
    HWND list = list_;
    if (!list) return;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const int moves = RecordedMoves(record);
    for (int row = 0; row < moves; ++row) AppendRow(row, record.moves[row]);
}

void RecordWindow::AppendRow(int row, const MoveEntry& entry) {
    HWND list = list_;
    if (!list) return;
    const auto texts = RecordRowTexts(entry, row);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(texts[0].c_str());
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (int column = 1; column < 5; ++column) {
        item.iSubItem = column;
        item.pszText = const_cast<char*>(texts[column].c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
}

}  // namespace tavik::ui
