#pragma once
// mTrIcons: the faces of the command-bar buttons. The host's PasteFace takes a button's
// picture from the clipboard, as a face image and a transparency mask under two registered
// formats; this module prepares both from an ordinary picture and the one colour that is
// to be transparent.
//
// The Windows-level steps (the mask bitmap, the two formats, the picture as a
// device-independent bitmap) are declared in addin/button_faces_gdi.h.
#include <cstdint>

#include "host/object.h"

namespace addin::mTrIcons {

// Names of the two clipboard formats PasteFace reads.
inline constexpr char face_format[] = "Toolbar Button Face";
inline constexpr char mask_format[] = "Toolbar Button Mask";

// Leaves the picture on the clipboard as a device-independent bitmap, and its face and mask
// (pixels of mask_colour transparent) under the two toolbar formats. The picture is an
// automation picture object (Handle, hPal, Type). mask_colour is an OLE colour: with the
// high bit set its low bits name a system colour, translated at the time of the call.
// Raises 481 (invalid picture) for no picture, a picture that is not a bitmap, or one
// without a bitmap handle; nothing is allocated or placed on the clipboard then. A
// failure to place the picture itself on the clipboard is raised too. Formats that
// cannot be stored (clipboard busy, no memory) are left out without an error.
void CopyFaceToClipboard(const host::Object& picture, uint32_t mask_colour);

}  // namespace addin::mTrIcons
