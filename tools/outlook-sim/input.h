#pragma once
// The user's acts on the add-in's real windows, delivered as the window system delivers them:
// button clicks, typed text, focus, keys, drags and closing through the frame. Nothing happens
// on a control that is hidden or disabled, as for a person.
#include <windows.h>

#include <string>
#include <string_view>

#include "wizard/form.h"

namespace outlook_sim::input {

// The window of a control of a page (null for what the page paints itself).
HWND control(HWND page, const wizard::FormDesign& design, std::u16string_view name);

void press(HWND page, const wizard::FormDesign& design, std::u16string_view name);
void type(HWND page, const wizard::FormDesign& design, std::u16string_view name, const std::u16string& text);
void focus(HWND page, const wizard::FormDesign& design, std::u16string_view name);
// "Enter", "Tab", "Shift+Tab" or "Alt+" and a letter, on the page, which is made the active
// window first, to its control that has the focus.
void key(HWND page, const std::string& key);
// Drags the page to a place given in twips (the window system places whole pixels).
void move(HWND page, double left, double top);
// Closes the page through its window frame.
void close(HWND page);

// Lets the message loop run until nothing is waiting, as the host's loop does between two
// things the user does.
void pump();

}  // namespace outlook_sim::input
