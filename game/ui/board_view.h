// The board picture: composed in a 401 x 401 back buffer and copied to the window in one
// piece, so nothing flickers. The chosen texture and stones stay selected in memory DCs of
// their own between redraws; a redraw makes only a few pens and brushes. The back buffer is
// also the picture the bitmap export and the clipboard copy take.
#ifndef TAVIK_GAME_UI_BOARD_VIEW_H
#define TAVIK_GAME_UI_BOARD_VIEW_H

#include <windows.h>

#include <mutex>
#include <vector>

#include "gdi.h"
#include "hint_search.h"
#include "ostrakon.h"

namespace tavik::ui {

class BoardView {
public:
    // The back buffer, compatible with `window`, whose board area it paints.
    void Create(HINSTANCE instance, HWND window);
    // The designs and the back buffer, in the order the shutdown releases them.
    void Release();

    // Board design 1..3 and stone design 1..2: the resources of what differs from what is
    // loaded are loaded. The numbers are valid ones (the settings are mended when read).
    void ShowDesigns(int boardDesign, int stoneDesign);
    // Takes `bitmap` over as the texture, whatever its size (it tiles the board).
    void UseTexture(HBITMAP bitmap);

    // Paints `board` (with a green frame on each legal move when `legalMoveFrames`, and the
    // move values `values` on top) into the back buffer and copies it onto the window. Any
    // thread; one paint at a time.
    void Paint(const BoardState& board, bool legalMoveFrames,
               const std::vector<HintSquare>& values = {});
    // WM_PAINT: the back buffer only, as it is.
    void CopyTo(HDC dc);
    // Paints `board` into the back buffer and onto the window, and answers a copy of the
    // picture taken before any other paint can change it (the bitmap export and the clipboard
    // take the picture so, without the legal-move frames and the move values); null when there is
    // no back buffer. The copy is the caller's: what it does with it (a file, message boxes) runs
    // without the lock, so a repaint meanwhile never waits for it.
    OwnedBitmap PaintCopy(const BoardState& board, bool legalMoveFrames);

    HDC BackDc() const { return back_.dc(); }
    HBITMAP BackBitmap() const { return back_.bitmap(); }

private:
    void PaintBoard(HDC dc, const BoardState& board, bool legalMoveFrames);
    void PaintValues(HDC dc, const std::vector<HintSquare>& values);
    // The lock is held.
    void PaintLocked(const BoardState& board, bool legalMoveFrames,
                     const std::vector<HintSquare>& values);

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    std::mutex lock_;  // the user-interface thread and the move threads both paint
    MemoryBitmap back_;
    MemoryBitmap texture_;
    MemoryBitmap stones_[2];                 // black, white
    OwnedFont valueFonts_[2];                // normal, bold (exact values); made when first needed
    int boardDesign_ = 0, stoneDesign_ = 0;  // what is loaded; 0 none (or a texture of a test)
};

// Draws `source` (its whole `sourceWidth` x `sourceHeight`) stretched into the rectangle of
// `dest`, leaving out the source pixels of colour `key`.
BOOL TransparentStretchBlt(HDC dest, int x, int y, int width, int height, HDC source,
                           int sourceWidth, int sourceHeight, COLORREF key);

}  // namespace tavik::ui

#endif
