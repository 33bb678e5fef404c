#pragma once
// The Windows-level steps of the button faces (see addin/button_faces.h), written against the
// platform's graphics, clipboard and memory functions, real or stand-in.
#include "addin/button_faces.h"
#include "host/win32_api.h"

namespace addin::mTrIcons {

// A monochrome bitmap of the bitmap's size: 1 (white) where the bitmap has the colour rgb,
// 0 elsewhere. rgb is compared through a memory context compatible with reference_dc, with
// palette selected into it. Empty when the bitmap's width or height is below 1 or above
// 30000, or when the platform cannot make the mask. The caller owns the result.
host::win32::Bitmap CreateMaskBitmap(HBITMAP bitmap, COLORREF rgb, HDC reference_dc, HPALETTE palette);

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

}  // namespace addin::mTrIcons
