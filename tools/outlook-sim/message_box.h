#pragma once
// A message box as the user reads it off the screen: its title and text, the buttons it
// shows, its icon and default button, and whether it stands task-modal. From these the style
// the add-in asked for is read back, as the transcript reports it.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace outlook_sim {

struct BoxReading {
    std::u16string title, text;
    int style = 0;  // MB_ buttons, icon, default button and MB_TASKMODAL
};

// `marker`: a hidden top-level window of the thread, which a task-modal box disables while
// it stands.
BoxReading read_box(HWND box, HWND marker);

// Whether the box shows the button (or part) of that id.
bool shown_part(HWND box, int id);

// "Error N: description", the add-in's report of a failure that reached the top of a user
// action: N and the description.
std::optional<std::pair<int64_t, std::u16string>> reported_failure(const std::u16string& text);

}  // namespace outlook_sim
