#include "version_window.h"

#include "aux_window.h"
#include "fenlow.h"
#include "modal_windows.h"
#include "resource_ids.h"
#include "version_text.h"

namespace tavik::ui {

HWND VersionWindow::Create(AuxWindowHost& frame, VersionSource engineVersion) {
    auto* self = new VersionWindow(frame, engineVersion);
    self->window_ = frame.CreateAuxWindow("バージョン情報", WS_CAPTION, 435, 361);
    return Attach(self, self->window_, Procedure);
}

void VersionWindow::Initialise() {
    const HFONT font = frame_.Font(kFontVersion);
    HWND ok = Control(window_, 0, "BUTTON", "OK", BS_DEFPUSHBUTTON, 252, 297, 166, 28, kVersionOkId,
                      font);
    HWND text = Control(window_, WS_EX_CLIENTEDGE, "EDIT", "",
                        WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_WANTRETURN, 10,
                        52, 408, 231, kVersionTextId, font);
    HWND picture = Control(window_, 0, "STATIC", "", SS_BITMAP, 171, 10, 88, 31, kBannerId, font);
    banner_ = static_cast<HBITMAP>(LoadImageA(frame_.Instance(), MAKEINTRESOURCEA(IDB_BANNER),
                                              IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
    SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_));

    VersionInfo engine{};
    engineVersion_(&engine);
    SetWindowTextA(window_, VersionCaption().c_str());
    MoveWindowToCenter(window_, frame_.Handle());
    SetWindowTextA(text, VersionWindowText(engine).c_str());
    SetFocus(ok);  // Space presses it; nothing else handles the keyboard here
}

LRESULT CALLBACK VersionWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch<VersionWindow>(
        window, message, wParam, lParam, [&](VersionWindow& self) -> LRESULT {
            switch (message) {
                case WM_INITDIALOG:
                    self.Initialise();
                    return TRUE;
                case WM_COMMAND:
                    if (LOWORD(wParam) == kVersionOkId && HIWORD(wParam) == BN_CLICKED)
                        CloseModalWindow(window, 0);
                    return 0;
                case WM_CLOSE:
                    CloseModalWindow(window, 0);
                    return 0;
                case WM_DESTROY:
                    if (self.banner_) DeleteObject(self.banner_);
                    self.banner_ = nullptr;
                    return 0;
                default:
                    return DefWindowProcA(window, message, wParam, lParam);
            }
        });
}

}  // namespace tavik::ui
