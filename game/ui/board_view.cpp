// The board picture: composed in the 401 x 401 back buffer and copied to the window in one
// piece, so nothing flickers. The textures and stones stay selected in memory DCs of their own
// between redraws; a redraw makes only a few pens and brushes.
#include "ui.h"

namespace tavik::ui {

namespace {

constexpr COLORREF kKeyColour = RGB(0, 255, 0);
constexpr int kSquare = 50;

struct Picture {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ displaced = nullptr;
    int width = 0, height = 0;
};

Picture g_texture;
Picture g_stones[2];  // black, white

// The UI thread and the move thread both redraw; one at a time, and never while the window is
// being painted from the same buffer.
CRITICAL_SECTION g_renderLock;
bool g_renderLockReady = false;

void Release(Picture& picture) {
    if (!picture.dc) return;
    SelectObject(picture.dc, picture.displaced);
    DeleteObject(picture.bitmap);
    DeleteDC(picture.dc);
    picture = Picture{};
}

Picture Select(HBITMAP bitmap) {
    Picture picture;
    picture.bitmap = bitmap;
    BITMAP info{};
    if (picture.bitmap && GetObjectA(picture.bitmap, sizeof info, &info)) {
        picture.width = info.bmWidth;
        picture.height = info.bmHeight;
    }
    HDC windowDc = GetDC(g_ui.main);
    picture.dc = CreateCompatibleDC(windowDc);
    ReleaseDC(g_ui.main, windowDc);
    picture.displaced = SelectObject(picture.dc, picture.bitmap);
    return picture;
}

Picture Load(int resource) {
    return Select(static_cast<HBITMAP>(
        LoadImageA(g_ui.instance, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void CopyToWindow() {
    HDC dc = GetDC(g_ui.main);
    BitBlt(dc, 0, 0, kBoardPixels, kBoardPixels, g_ui.backDc, 0, 0, SRCCOPY);
    ReleaseDC(g_ui.main, dc);
}

}  // namespace

void InitRenderLock() {
    if (!g_renderLockReady) {
        InitializeCriticalSection(&g_renderLock);
        g_renderLockReady = true;
    }
}

BOOL TransparentStretchBlt(HDC dest, int x, int y, int width, int height, HDC source,
                           int sourceWidth, int sourceHeight, COLORREF key) {
    HDC maskDc = CreateCompatibleDC(dest), inverseDc = CreateCompatibleDC(dest);
    HDC backDc = CreateCompatibleDC(dest), foreDc = CreateCompatibleDC(dest);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP inverse = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP back = CreateCompatibleBitmap(dest, width, height);
    HBITMAP fore = CreateCompatibleBitmap(dest, width, height);
    HGDIOBJ old[4] = {SelectObject(maskDc, mask), SelectObject(inverseDc, inverse),
                      SelectObject(backDc, back), SelectObject(foreDc, fore)};

    // Colour to monochrome: pixels of the source's background colour become white.
    const COLORREF oldBack = SetBkColor(source, key);
    BOOL ok = StretchBlt(maskDc, 0, 0, width, height, source, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
    SetBkColor(source, oldBack);
    ok &= BitBlt(inverseDc, 0, 0, width, height, maskDc, 0, 0, NOTSRCCOPY);
    // Monochrome to colour maps white to the background colour and black to the text colour of
    // the destination DC: make them white and black for the AND masks.
    const COLORREF oldBackDest = SetBkColor(backDc, RGB(255, 255, 255));
    const COLORREF oldTextDest = SetTextColor(backDc, RGB(0, 0, 0));
    SetBkColor(foreDc, RGB(255, 255, 255));
    SetTextColor(foreDc, RGB(0, 0, 0));
    ok &= BitBlt(backDc, 0, 0, width, height, dest, x, y, SRCCOPY);
    ok &= BitBlt(backDc, 0, 0, width, height, maskDc, 0, 0, SRCAND);
    ok &= StretchBlt(foreDc, 0, 0, width, height, source, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
    ok &= BitBlt(foreDc, 0, 0, width, height, inverseDc, 0, 0, SRCAND);
    ok &= BitBlt(dest, x, y, width, height, backDc, 0, 0, SRCCOPY);
    ok &= BitBlt(dest, x, y, width, height, foreDc, 0, 0, SRCPAINT);
    SetBkColor(backDc, oldBackDest);
    SetTextColor(backDc, oldTextDest);

    SelectObject(maskDc, old[0]);
    SelectObject(inverseDc, old[1]);
    SelectObject(backDc, old[2]);
    SelectObject(foreDc, old[3]);
    DeleteObject(mask);
    DeleteObject(inverse);
    DeleteObject(back);
    DeleteObject(fore);
    DeleteDC(maskDc);
    DeleteDC(inverseDc);
    DeleteDC(backDc);
    DeleteDC(foreDc);
    return ok;
}

void PaintBoard(HDC dc) {
    HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    LOGBRUSH hollowStyle{BS_NULL, 0, 0};
    HBRUSH hollow = CreateBrushIndirect(&hollowStyle);
    HBRUSH hollowMark = CreateBrushIndirect(&hollowStyle);
    HBRUSH solid = CreateSolidBrush(RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, black);
    HGDIOBJ oldBrush = SelectObject(dc, hollow);

    // Texture tiles from the origin; the last row and column are cut so the texture stops at
    // 399 and only the grid line reaches 400.
    const int w = g_texture.width, h = g_texture.height;
    if (w > 0 && h > 0) {
        for (int r = 0; r <= 400 / h; ++r)
            for (int c = 0; c <= 400 / w; ++c) {
                const int tileW = (c + 1) * w <= 400 ? w : 400 - c * w;
                const int tileH = (r + 1) * h <= 400 ? h : 400 - r * h;
                BitBlt(dc, c * w, r * h, tileW, tileH, g_texture.dc, 0, 0, SRCCOPY);
            }
    }

    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const int x = kSquare * c, y = kSquare * r, cell = c + r * 9 + 10;
            Rectangle(dc, x, y, x + kSquare + 1, y + kSquare + 1);
            if (g_settings.showPossiblePosition && CanDrop(&g_board, cell)) {
                SelectObject(dc, green);
                SelectObject(dc, hollowMark);
                Rectangle(dc, x + 1, y + 1, x + kSquare, y + kSquare);
                SelectObject(dc, hollow);
            }
            SelectObject(dc, black);
            const int32_t disc = g_board.cells[cell];
            if (disc == 1 || disc == -1) {
                const Picture& stone = g_stones[disc == 1 ? 0 : 1];
                TransparentStretchBlt(dc, x, y, kSquare, kSquare, stone.dc, stone.width, stone.height,
                                      kKeyColour);
            }
        }

    SelectObject(dc, solid);
    const int stars[4][2] = {{96, 96}, {296, 96}, {96, 296}, {296, 296}};
    for (const auto& s : stars) Ellipse(dc, s[0], s[1], s[0] + 9, s[1] + 9);

    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(black);
    DeleteObject(green);
    DeleteObject(hollow);
    DeleteObject(hollowMark);
    DeleteObject(solid);
}

void Redraw() {
    if (!g_ui.backDc) return;
    EnterCriticalSection(&g_renderLock);
    PaintBoard(g_ui.backDc);
    CopyToWindow();
    LeaveCriticalSection(&g_renderLock);
    UpdateTurnStatus();
}

void PaintFromBackBuffer(HDC dc) {
    EnterCriticalSection(&g_renderLock);
    BitBlt(dc, 0, 0, kBoardPixels, kBoardPixels, g_ui.backDc, 0, 0, SRCCOPY);
    LeaveCriticalSection(&g_renderLock);
}

void UseBoardTexture(HBITMAP bitmap) {
    EnterCriticalSection(&g_renderLock);
    Release(g_texture);
    g_texture = Select(bitmap);
    LeaveCriticalSection(&g_renderLock);
}

void LoadBoardDesign(int design) {
    static const int kResources[] = {101, 105, 108};
    UseBoardTexture(static_cast<HBITMAP>(LoadImageA(g_ui.instance, MAKEINTRESOURCEA(kResources[design - 1]),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    SetRadio(kCmdBoardGreen, kCmdBoardMeadow, kCmdBoardGreen + design - 1);
    g_settings.boardNumber = design;
    Redraw();
}

void LoadStoneDesign(int design) {
    EnterCriticalSection(&g_renderLock);
    Release(g_stones[0]);
    Release(g_stones[1]);
    g_stones[0] = Load(design == 1 ? 102 : 106);
    g_stones[1] = Load(design == 1 ? 103 : 107);
    LeaveCriticalSection(&g_renderLock);
    SetRadio(kCmdStoneGo, kCmdStoneFlat, kCmdStoneGo + design - 1);
    g_settings.stoneNumber = design;
    Redraw();
}

void ReleaseDesigns() {
    EnterCriticalSection(&g_renderLock);
    Release(g_texture);
    Release(g_stones[0]);
    Release(g_stones[1]);
    LeaveCriticalSection(&g_renderLock);
}

}  // namespace tavik::ui
