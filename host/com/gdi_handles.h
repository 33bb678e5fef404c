#pragma once
// Small owners for what the Windows graphics, clipboard and memory functions hand out, so
// that every device context, GDI object, palette selection, open clipboard and memory block
// is given back on every path, failures included.
#include <windows.h>
#include <olectl.h>

#include <utility>

#include "host/unique_any.h"

namespace host::com {

// A device context of the screen (GetDC of no window), released with ReleaseDC.
class ScreenDC {
public:
    ScreenDC() : dc_(::GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A memory device context compatible with another, deleted with DeleteDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) : dc_(::CreateCompatibleDC(reference)) {}
    ~MemoryDC() {
        if (dc_) ::DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// The owner of a GDI object (bitmap, palette, pen, font, brush), deleted with DeleteObject.
inline void delete_gdi_object(HGDIOBJ object) { ::DeleteObject(object); }
template <class H>
using GdiObject = host::unique_any<H, &delete_gdi_object>;

using Bitmap = GdiObject<HBITMAP>;
using Palette = GdiObject<HPALETTE>;

// An object selected into a device context; the previous one goes back in at the end.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A palette selected into a device context; the previous palette goes back in at the end.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE palette, BOOL force_background)
        : dc_(dc), force_(force_background), previous_(::SelectPalette(dc, palette, force_background)) {}
    ~PaletteSelection() {
        if (previous_) ::SelectPalette(dc_, previous_, force_);
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }

private:
    HDC dc_;
    BOOL force_;
    HPALETTE previous_;
};

// The clipboard, open for as long as this lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner = nullptr) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// A global memory block, freed at the end unless ownership went elsewhere (release).
inline void free_global(HGLOBAL block) { ::GlobalFree(block); }
using GlobalBlock = host::unique_any<HGLOBAL, &free_global>;

// A global memory block locked for access, unlocked at the end.
class GlobalLocked {
public:
    explicit GlobalLocked(HGLOBAL block) : block_(block), data_(::GlobalLock(block)) {}
    ~GlobalLocked() {
        if (data_) ::GlobalUnlock(block_);
    }
    GlobalLocked(const GlobalLocked&) = delete;
    GlobalLocked& operator=(const GlobalLocked&) = delete;
    void* get() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    HGLOBAL block_;
    void* data_;
};

}  // namespace host::com
