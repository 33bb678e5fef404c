#include "tools/outlook-sim/message_box.h"

#include <vector>

#include "host/com/bstr.h"
#include "host/text.h"

namespace outlook_sim {

namespace {

// The box's text; its icon's id differs between window systems.
constexpr int box_text_id = 0xFFFF;
constexpr int box_icon_ids[] = {0x0440, 0x0014};

// The button sets a message box can have, in the order they stand, by the style's low bits.
const std::vector<std::vector<int>>& button_sets() {
    static const std::vector<std::vector<int>> sets = {
        {IDOK},
        {IDOK, IDCANCEL},
        {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO},
        {IDRETRY, IDCANCEL},
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
    };
    return sets;
}

std::u16string text_of(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    int n = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return host::com::from_wide(text.data(), static_cast<size_t>(n > 0 ? n : 0));
}

// The style a message box was asked for, read back from what it shows: its buttons, the
// default one and its icon, and whether it disabled the thread's other windows (task-modal).
int box_style(HWND box, HWND marker) {
    const auto& sets = button_sets();
    int style = 0;
    for (size_t s = 0; s < sets.size(); ++s) {
        bool all = true;
        for (int id : sets[s]) all = all && shown_part(box, id);
        // The largest set that is all there (Yes, No and Cancel holds Yes and No).
        if (all && sets[s].size() >= sets[static_cast<size_t>(style)].size()) style = static_cast<int>(s);
    }
    const auto& set = sets[static_cast<size_t>(style)];
    for (size_t i = 0; i < set.size(); ++i) {
        HWND b = GetDlgItem(box, set[i]);
        if (b && (GetWindowLongPtrW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            style |= static_cast<int>(i) << 8;
            break;
        }
    }
    for (int id : box_icon_ids) {
        if (!shown_part(box, id)) continue;
        auto icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, id, STM_GETICON, 0, 0));
        if (!icon) continue;
        const std::pair<LPCWSTR, int> icons[] = {
            {IDI_HAND, MB_ICONHAND}, {IDI_QUESTION, MB_ICONQUESTION},
            {IDI_EXCLAMATION, MB_ICONEXCLAMATION}, {IDI_ASTERISK, MB_ICONASTERISK}};
        for (const auto& [name, bits] : icons)
            if (LoadIconW(nullptr, name) == icon) style |= bits;
        break;
    }
    if (marker && !IsWindowEnabled(marker)) style |= MB_TASKMODAL;
    return style;
}

}  // namespace

bool shown_part(HWND box, int id) {
    HWND c = GetDlgItem(box, id);
    return c && (GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE);
}

BoxReading read_box(HWND box, HWND marker) {
    return {text_of(box), text_of(GetDlgItem(box, box_text_id)), box_style(box, marker)};
}

std::optional<std::pair<int64_t, std::u16string>> reported_failure(const std::u16string& text) {
    constexpr std::u16string_view prefix = u"Error ";
    if (text.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    size_t i = prefix.size();
    const size_t start = i;
    if (i < text.size() && text[i] == u'-') ++i;
    const size_t digits = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
    if (i == digits || text.compare(i, 2, u": ") != 0) return std::nullopt;
    return std::make_pair(std::stoll(host::to_utf8(text.substr(start, i - start))), text.substr(i + 2));
}

}  // namespace outlook_sim
