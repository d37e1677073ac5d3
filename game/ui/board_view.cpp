#include "board_view.h"

#include "board_functions.h"
#include "resource_ids.h"

namespace tavik::ui {

namespace {

constexpr COLORREF kKeyColour = RGB(0, 255, 0);
constexpr COLORREF kValueBox = RGB(24, 24, 24);
constexpr COLORREF kValueText = RGB(255, 255, 255);
constexpr COLORREF kBestValue = RGB(255, 204, 0);

HBITMAP LoadPicture(HINSTANCE instance, int resource) {
    return static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

void BoardView::Create(HINSTANCE instance, HWND window) {
    instance_ = instance;
    window_ = window;
    WindowDc dc(window);
    back_.Hold(CreateCompatibleBitmap(dc.get(), kBoardPixels, kBoardPixels), dc.get());
}

void BoardView::Release() {
    std::lock_guard<std::mutex> lock(lock_);
    texture_.Release();
    stones_[0].Release();
    stones_[1].Release();
    back_.Release();
    for (OwnedFont& font : valueFonts_) font.reset();
    boardDesign_ = stoneDesign_ = 0;
}

void BoardView::ShowDesigns(int boardDesign, int stoneDesign) {
    static const int kTextures[] = {IDB_BOARD_GREEN, IDB_BOARD_BLUEGREEN, IDB_BOARD_GRASS};
    std::lock_guard<std::mutex> lock(lock_);
    WindowDc dc(window_);
    if (boardDesign != boardDesign_) {
        texture_.Hold(LoadPicture(instance_, kTextures[boardDesign - 1]), dc.get());
        boardDesign_ = boardDesign;
    }
    if (stoneDesign != stoneDesign_) {
        const bool go = stoneDesign == 1;
        stones_[0].Hold(LoadPicture(instance_, go ? IDB_STONE_GO_BLACK : IDB_STONE_FLAT_BLACK),
                        dc.get());
        stones_[1].Hold(LoadPicture(instance_, go ? IDB_STONE_GO_WHITE : IDB_STONE_FLAT_WHITE),
                        dc.get());
        stoneDesign_ = stoneDesign;
    }
}

void BoardView::UseTexture(HBITMAP bitmap) {
    std::lock_guard<std::mutex> lock(lock_);
    WindowDc dc(window_);
    texture_.Hold(bitmap, dc.get());
    boardDesign_ = 0;  // no design of the menu: the next ShowDesigns loads one again
}

BOOL TransparentStretchBlt(HDC dest, int x, int y, int width, int height, HDC source,
                           int sourceWidth, int sourceHeight, COLORREF key) {
    OwnedDc maskDc(CreateCompatibleDC(dest)), inverseDc(CreateCompatibleDC(dest));
    OwnedDc backDc(CreateCompatibleDC(dest)), foreDc(CreateCompatibleDC(dest));
    OwnedBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    OwnedBitmap inverse(CreateBitmap(width, height, 1, 1, nullptr));
    OwnedBitmap back(CreateCompatibleBitmap(dest, width, height));
    OwnedBitmap fore(CreateCompatibleBitmap(dest, width, height));
    // Declared after what they select, so they put the DCs' own bitmaps back first.
    Selection maskIn(maskDc.get(), mask.get()), inverseIn(inverseDc.get(), inverse.get());
    Selection backIn(backDc.get(), back.get()), foreIn(foreDc.get(), fore.get());

    // Colour to monochrome: pixels of the source's background colour become white.
    const COLORREF oldBack = SetBkColor(source, key);
    BOOL ok = StretchBlt(maskDc.get(), 0, 0, width, height, source, 0, 0, sourceWidth, sourceHeight,
                         SRCCOPY);
    SetBkColor(source, oldBack);
    ok &= BitBlt(inverseDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, NOTSRCCOPY);
    // Monochrome to colour maps white to the background colour and black to the text colour of
    // the destination DC: make them white and black for the AND masks.
    for (HDC dc : {backDc.get(), foreDc.get()}) {
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
    }
    ok &= BitBlt(backDc.get(), 0, 0, width, height, dest, x, y, SRCCOPY);
    ok &= BitBlt(backDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCAND);
    ok &= StretchBlt(foreDc.get(), 0, 0, width, height, source, 0, 0, sourceWidth, sourceHeight,
                     SRCCOPY);
    ok &= BitBlt(foreDc.get(), 0, 0, width, height, inverseDc.get(), 0, 0, SRCAND);
    ok &= BitBlt(dest, x, y, width, height, backDc.get(), 0, 0, SRCCOPY);
    ok &= BitBlt(dest, x, y, width, height, foreDc.get(), 0, 0, SRCPAINT);
    return ok;
}

void BoardView::PaintBoard(HDC dc, const BoardState& board, bool legalMoveFrames) {
    OwnedPen black(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    OwnedPen green(CreatePen(PS_SOLID, 1, RGB(0, 255, 0)));
    LOGBRUSH hollowStyle{BS_NULL, 0, 0};
    OwnedBrush hollow(CreateBrushIndirect(&hollowStyle));
    OwnedBrush hollowMark(CreateBrushIndirect(&hollowStyle));
    OwnedBrush solid(CreateSolidBrush(RGB(0, 0, 0)));
    // The DC's own pen and brush go back before the five are deleted.
    Selection pen(dc, black.get());
    Selection brush(dc, hollow.get());

    // Texture tiles from the origin; the last row and column are cut so the texture stops at
    // 399 and only the grid line reaches 400.
    const int w = texture_.width(), h = texture_.height();
    if (w > 0 && h > 0) {
        for (int r = 0; r <= 400 / h; ++r)
            for (int c = 0; c <= 400 / w; ++c) {
                const int tileW = (c + 1) * w <= 400 ? w : 400 - c * w;
                const int tileH = (r + 1) * h <= 400 ? h : 400 - r * h;
                BitBlt(dc, c * w, r * h, tileW, tileH, texture_.dc(), 0, 0, SRCCOPY);
            }
    }

    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            const int x = kSquarePixels * c, y = kSquarePixels * r, cell = CellOf(c, r);
            Rectangle(dc, x, y, x + kSquarePixels + 1, y + kSquarePixels + 1);
            if (legalMoveFrames && CanDrop(&board, cell)) {
                SelectObject(dc, green.get());
                SelectObject(dc, hollowMark.get());
                Rectangle(dc, x + 1, y + 1, x + kSquarePixels, y + kSquarePixels);
                SelectObject(dc, hollow.get());
            }
            SelectObject(dc, black.get());
            const int32_t disc = board.cells[cell];
            if (disc == 1 || disc == -1) {
                const MemoryBitmap& stone = stones_[disc == 1 ? 0 : 1];
                TransparentStretchBlt(dc, x, y, kSquarePixels, kSquarePixels, stone.dc(),
                                      stone.width(), stone.height(), kKeyColour);
            }
        }

    SelectObject(dc, solid.get());
    const int stars[4][2] = {{96, 96}, {296, 96}, {96, 296}, {296, 296}};
    for (const auto& s : stars) Ellipse(dc, s[0], s[1], s[0] + 9, s[1] + 9);
}

void BoardView::PaintValues(HDC dc, const std::vector<HintSquare>& values) {
    if (values.empty()) return;
    for (int bold = 0; bold < 2; ++bold)
        if (!valueFonts_[bold])
            valueFonts_[bold].reset(CreateFontA(-13, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                                FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                VARIABLE_PITCH | FF_SWISS, "ＭＳ Ｐゴシック"));
    // A dark box behind light text reads the same on every texture and over the green frame,
    // which the box leaves visible around it. The best move's box has a gold rim and gold text.
    OwnedBrush box(CreateSolidBrush(kValueBox));
    OwnedPen plainRim(CreatePen(PS_SOLID, 1, kValueBox));
    OwnedPen bestRim(CreatePen(PS_SOLID, 1, kBestValue));
    Selection brush(dc, box.get());
    Selection pen(dc, plainRim.get());
    Selection font(dc, valueFonts_[0].get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    for (const HintSquare& square : values) {
        const int column = square.cell % 9 - 1, row = square.cell / 9 - 1;
        if (column < 0 || column > 7 || row < 0 || row > 7) continue;
        const int x = kSquarePixels * column, y = kSquarePixels * row;
        SelectObject(dc, valueFonts_[square.exact ? 1 : 0].get());
        SIZE size{};
        GetTextExtentPoint32A(dc, square.text.c_str(), static_cast<int>(square.text.size()), &size);
        // At most the square's inside less the frame and a pixel either side of it.
        const int width = size.cx + 6 < kSquarePixels - 5 ? size.cx + 6 : kSquarePixels - 5;
        const int height = size.cy + 2;
        RECT r{x + (kSquarePixels - width) / 2 + 1, y + (kSquarePixels - height) / 2 + 1, 0, 0};
        r.right = r.left + width;
        r.bottom = r.top + height;
        SelectObject(dc, square.best ? bestRim.get() : plainRim.get());
        RoundRect(dc, r.left, r.top, r.right, r.bottom, 5, 5);
        SetTextColor(dc, square.best ? kBestValue : kValueText);
        DrawTextA(dc, square.text.c_str(), static_cast<int>(square.text.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void BoardView::PaintLocked(const BoardState& board, bool legalMoveFrames,
                            const std::vector<HintSquare>& values) {
    PaintBoard(back_.dc(), board, legalMoveFrames);
    PaintValues(back_.dc(), values);
    WindowDc dc(window_);
    BitBlt(dc.get(), 0, 0, kBoardPixels, kBoardPixels, back_.dc(), 0, 0, SRCCOPY);
}

void BoardView::Paint(const BoardState& board, bool legalMoveFrames,
                      const std::vector<HintSquare>& values) {
    std::lock_guard<std::mutex> lock(lock_);
    if (back_.dc()) PaintLocked(board, legalMoveFrames, values);
}

OwnedBitmap BoardView::PaintCopy(const BoardState& board, bool legalMoveFrames) {
    std::lock_guard<std::mutex> lock(lock_);
    if (!back_.dc()) return OwnedBitmap();
    PaintLocked(board, legalMoveFrames, {});  // the pictures never carry the values
    // Of the back buffer's own format: a bitmap compatible with its memory DC.
    OwnedBitmap copy(CreateCompatibleBitmap(back_.dc(), kBoardPixels, kBoardPixels));
    if (!copy) return copy;
    OwnedDc dc(CreateCompatibleDC(back_.dc()));
    const Selection in(dc.get(), copy.get());
    BitBlt(dc.get(), 0, 0, kBoardPixels, kBoardPixels, back_.dc(), 0, 0, SRCCOPY);
    return copy;
}

void BoardView::CopyTo(HDC dc) {
    std::lock_guard<std::mutex> lock(lock_);
    if (back_.dc()) BitBlt(dc, 0, 0, kBoardPixels, kBoardPixels, back_.dc(), 0, 0, SRCCOPY);
}

}  // namespace tavik::ui
