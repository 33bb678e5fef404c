#pragma once
// The button face the add-in makes of a picture file, under the real graphics functions: the
// picture loaded as the add-in loads it, its face prepared as for the buttons, and the three
// clipboard blocks printed as tests/outlook-sim/contactsicon_face.txt holds them (one
// "name size hex" line each for the bitmap, the face and the mask).
#include <string>

namespace outlook_sim {

// Prints the blocks to the standard output; returns the program's exit status.
int print_face(const std::wstring& picture_file);

}  // namespace outlook_sim
