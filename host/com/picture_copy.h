#pragma once
// The button picture as the system picture loader gives it, made fit for the monochrome mask
// the button faces need.
#include <windows.h>
#include <ocidl.h>

#include "host/com/com_ptr.h"

namespace host::com {

// Wine's picture loader gives a GIF as a 32-bit bitmap whose every pixel has 0xFF in its
// fourth byte, and its colour-to-monochrome BitBlt compares whole 32-bit pixels, so no pixel
// would ever match the buttons' mask colour. A 32-bit bitmap is therefore copied into a DIB
// section of its own with that byte cleared, keeping the palette it was loaded with; other
// pictures are passed on as loaded.
com_ptr<IPicture> without_fourth_byte(com_ptr<IPicture> picture);

}  // namespace host::com
