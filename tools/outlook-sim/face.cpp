#include "tools/outlook-sim/face.h"

#include <windows.h>

#include <cstdio>
#include <iostream>

#include "addin/commands.h"
#include "host/com/bstr.h"
#include "host/com/button_faces.h"
#include "host/com/com_environment.h"
#include "host/text.h"

namespace outlook_sim {

namespace {

std::string clipboard_hex(const char* label, UINT format) {
    std::string out = label;
    if (!OpenClipboard(nullptr)) return out + " (clipboard busy)";
    HANDLE h = GetClipboardData(format);
    if (!h) {
        CloseClipboard();
        return out + " none";
    }
    const SIZE_T n = GlobalSize(h);
    const auto* p = static_cast<const unsigned char*>(GlobalLock(h));
    out += " " + std::to_string(n) + " ";
    char hex[3];
    for (SIZE_T i = 0; p && i < n; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", p[i]);
        out += hex;
    }
    GlobalUnlock(h);
    CloseClipboard();
    return out;
}

}  // namespace

int print_face(const std::wstring& picture_file) {
    try {
        host::com::ComEnvironment env;
        host::Object picture = env.load_picture(host::com::from_wide(picture_file.c_str()));
        env.copy_button_face(picture, addin::button_mask_colour);
    } catch (const host::Failure& f) {
        std::cerr << "outlook-sim: the face cannot be made: " << f.number() << " " << host::to_utf8(f.description())
                  << "\n";
        return 2;
    }
    std::cout << clipboard_hex("dib", CF_DIB) << "\n"
              << clipboard_hex("face", RegisterClipboardFormatA(host::com::mTrIcons::face_format)) << "\n"
              << clipboard_hex("mask", RegisterClipboardFormatA(host::com::mTrIcons::mask_format)) << "\n";
    return 0;
}

}  // namespace outlook_sim
