// MessageBoxA: OK and Yes/No boxes with the four standard icons, shown by the backend.
//
// Boxes are never owned by a window here: the owner handle is ignored. Button sets other than
// MB_OK and MB_YESNO fail. A box that cannot be shown fails too, after its text is written to
// stderr: with no box the user would learn nothing, and the terminal is the last place left to
// say it.
#include <cstdio>

#include "platform/core/core.h"

namespace {

struct IconKind {
    UINT icon;
    standin::BoxIcon kind;
};

constexpr IconKind kIcons[] = {
    {MB_ICONHAND, standin::BoxIcon::Stop},
    {MB_ICONEXCLAMATION, standin::BoxIcon::Exclamation},
    {MB_ICONINFORMATION, standin::BoxIcon::Information},
    {MB_ICONQUESTION, standin::BoxIcon::Question},
};

standin::BoxIcon IconOf(UINT type) {
    for (const IconKind& entry : kIcons) {
        if (entry.icon == (type & MB_ICONMASK)) return entry.kind;
    }
    return standin::BoxIcon::None;
}

int Unshown(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return 0;
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    // Windows' own defaults for missing strings.
    if (text == nullptr) text = "";
    if (caption == nullptr) caption = "Error";

    standin::BoxButtons buttons = standin::BoxButtons::Ok;
    switch (type & MB_TYPEMASK) {
        case MB_OK:
            break;
        case MB_YESNO:
            buttons = standin::BoxButtons::YesNo;
            break;
        default:
            return Unshown(caption, text);
    }
    int answer = standin::TheBackend().showBox(caption, text, buttons, IconOf(type));
    return answer != 0 ? answer : Unshown(caption, text);
}
