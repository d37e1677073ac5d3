// Owners of the GDI and USER objects the program creates: each handle is released exactly once,
// by the object that holds it, in the reverse order of creation when several live together.
#ifndef TAVIK_GAME_UI_GDI_H
#define TAVIK_GAME_UI_GDI_H

#include <windows.h>

#include <utility>

namespace tavik::ui {

// A handle and the call that releases it; move-only. An empty owner holds a null handle.
template <class Handle, class Release>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(Handle handle = nullptr) {
        if (handle_) Release{}(handle_);
        handle_ = handle;
    }
    Handle release() { return std::exchange(handle_, nullptr); }

private:
    Handle handle_ = nullptr;
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteMemoryDc {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DestroyMenuHandle {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct DestroyAccelerators {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

using OwnedFont = Owned<HFONT, DeleteGdiObject>;
using OwnedBrush = Owned<HBRUSH, DeleteGdiObject>;
using OwnedPen = Owned<HPEN, DeleteGdiObject>;
using OwnedBitmap = Owned<HBITMAP, DeleteGdiObject>;
using OwnedDc = Owned<HDC, DeleteMemoryDc>;
using OwnedMenu = Owned<HMENU, DestroyMenuHandle>;
using OwnedAccelerators = Owned<HACCEL, DestroyAccelerators>;
using OwnedIcon = Owned<HICON, DestroyIconHandle>;

// An object selected into a DC for the owner's lifetime; the object it displaced goes back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), displaced_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, displaced_); }

private:
    HDC dc_;
    HGDIOBJ displaced_;
};

// A window's device context, released when the owner goes.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ReleaseDC(window_, dc_); }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A bitmap selected into a memory DC of its own, as the back buffer, the board texture and the
// stones are kept: the bitmap stays selected between uses, and on release it is selected out
// before the bitmap and the DC are deleted.
class MemoryBitmap {
public:
    MemoryBitmap() = default;
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;
    ~MemoryBitmap() { Release(); }

    // Takes `bitmap` over, in a new DC compatible with `like`'s.
    void Hold(HBITMAP bitmap, HDC like) {
        Release();
        bitmap_.reset(bitmap);
        dc_.reset(CreateCompatibleDC(like));
        displaced_ = SelectObject(dc_.get(), bitmap);
        BITMAP info{};
        if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
            width_ = info.bmWidth;
            height_ = info.bmHeight;
        }
    }
    void Release() {
        if (dc_) SelectObject(dc_.get(), displaced_);
        bitmap_.reset();
        dc_.reset();
        displaced_ = nullptr;
        width_ = height_ = 0;
    }
    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    OwnedDc dc_;
    OwnedBitmap bitmap_;
    HGDIOBJ displaced_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace tavik::ui

#endif
