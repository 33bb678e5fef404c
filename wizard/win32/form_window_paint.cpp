// What the form draws itself: its shapes, lines and pictures, and the colours of its labels.
#include "wizard/win32/form_window.h"

#include <algorithm>

#include "wizard/win32/form_window_parts.h"

namespace wizard::win32 {

LRESULT FormWindow::colour_static(HDC dc, HWND child) {
    const Item* item = item_by_window(child);
    if (!item || item->kind == Kind::TextBox) return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    const Control& c = form_.control(item->name);
    const uint32_t back = c.fill ? c.fill : sys_button_face;
    SetTextColor(dc, colour_of(c.fore));
    SetBkColor(dc, colour_of(back));
    return reinterpret_cast<LRESULT>(brush_for(back));
}

void FormWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    // What the form draws itself, in design order: later items lie over earlier ones.
    const std::vector<Control>& controls = form_.controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (!c.visible) continue;
        const RECT r = scale_.rect(c.rect);
        switch (c.kind) {
        case Kind::Shape:
            if (c.fill) FillRect(dc, &r, brush_for(c.fill));
            if (c.border) FrameRect(dc, &r, brush_for(c.border));
            break;
        case Kind::Line: {
            // Lines are drawn as bands of line_width pixels below or right of their path,
            // so a wide light line under a thin dark one looks etched.
            const int w = scale_.line_width(c.line_width);
            RECT band = r;
            if (r.top == r.bottom) {
                band = RECT{std::min(r.left, r.right), r.top, std::max(r.left, r.right), r.top + w};
            } else if (r.left == r.right) {
                band = RECT{r.left, std::min(r.top, r.bottom), r.left + w, std::max(r.top, r.bottom)};
            } else {
                host::com::GdiObject<HPEN> pen(CreatePen(PS_SOLID, w, colour_of(c.fill)));
                HGDIOBJ old = SelectObject(dc, pen.get());
                MoveToEx(dc, r.left, r.top, nullptr);
                LineTo(dc, r.right, r.bottom);
                SelectObject(dc, old);
                break;
            }
            FillRect(dc, &band, brush_for(c.fill));
            break;
        }
        case Kind::Image:
            if (const Item* item = item_by_name(c.name)) item->picture.draw(dc, r);
            break;
        default:
            break;
        }
    }
    EndPaint(window_, &ps);
}

}  // namespace wizard::win32
