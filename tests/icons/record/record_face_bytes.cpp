// Prints the button faces of the pictures in face_cases.h as a real GDI makes them; its
// output under Wine is tests/icons/face_bytes_wine.txt, which the native tests compare the
// stand-in with. Built for Windows by hand (one line), it is not built with the test suite:
//
//   x86_64-w64-mingw32-g++-posix -std=c++20 -I. tests/icons/record/record_face_bytes.cpp
//     addin/button_faces.cpp host/object.cpp host/variant.cpp host/failure.cpp host/text.cpp
//     -static -lgdi32 -luser32 -loleaut32 -o record.exe
//   wine reg add "HKCU\Control Panel\Colors" /v TitleText /d "255 255 255" /f
//   wine record.exe | tr -d '\r' > tests/icons/face_bytes_wine.txt
//
// (A fresh Wine prefix has black caption text; the standard scheme's is white.)
#include <cstdio>

#include "tests/icons/face_cases.h"

int main() {
    for (const auto& c : icons_test::face_cases()) std::fputs(icons_test::face_bytes(c).c_str(), stdout);
    return 0;
}
