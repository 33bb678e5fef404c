#pragma once
// mTrIcons: the faces of the command-bar buttons on Windows. The host's PasteFace takes a
// button's picture from the clipboard, as a face image and a transparency mask under two
// registered formats; this module prepares both from an ordinary picture and the one colour
// that is to be transparent, with the platform's graphics, clipboard and memory functions.
// The add-in reaches it through ComEnvironment::copy_button_face.
#include <cstdint>

#include "host/com/gdi_handles.h"
#include "host/object.h"

namespace host::com::mTrIcons {

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
void CopyFaceToClipboard(const Object& picture, uint32_t mask_colour);

// The steps, each usable on its own.

// A monochrome bitmap of the bitmap's size: 1 (white) where the bitmap has the colour rgb,
// 0 elsewhere. rgb is compared through a memory context compatible with reference_dc, with
// palette selected into it. Empty when the bitmap's width or height is below 1 or above
// 30000, or when the platform cannot make the mask. The caller owns the result.
Bitmap CreateMaskBitmap(HBITMAP bitmap, COLORREF rgb, HDC reference_dc, HPALETTE palette);

// Stores, on the clipboard as it is, a copy of its device-independent bitmap under the face
// format and the mask's bits under the mask format: the mask's 40-byte info header, its two
// colour entries, its rows bottom-up padded to 4 bytes, then two zero bytes. Stores
// nothing unless the mask is a 1-bit bitmap; a format that cannot be stored is left out.
void PutFaceAndMask(HBITMAP mask, HDC reference_dc);

// Places the bitmap on the clipboard as a device-independent bitmap (32 bits per pixel,
// rows bottom-up), replacing any there; the other formats stay. Raises 481 for a handle
// that is not a bitmap, 521 when the clipboard cannot be opened or refuses the block,
// 7 when there is no memory for it.
void PutPictureOnClipboard(HBITMAP bitmap, HDC reference_dc);

}  // namespace host::com::mTrIcons
