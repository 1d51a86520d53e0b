// MessageBoxA on SDL's message box: OK and Yes/No boxes with the four standard icons.
//
// Return answers with the default button (Yes or OK) and Escape with the cancelling one
// (No or OK), so every box can be answered from the keyboard. Boxes are never owned by a
// window here: the owner handle is ignored. Button sets other than MB_OK and MB_YESNO fail.
#include <SDL.h>

#include <cstdio>

#include "platform/win32.h"

namespace {

constexpr Uint32 kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
constexpr Uint32 kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;

constexpr SDL_MessageBoxButtonData kOkButtons[] = {{kReturn | kEscape, IDOK, "OK"}};
constexpr SDL_MessageBoxButtonData kYesNoButtons[] = {{kReturn, IDYES, "Yes"},
                                                      {kEscape, IDNO, "No"}};

struct ButtonSet {
    UINT type;
    const SDL_MessageBoxButtonData* buttons;
    int count;
    int dismissed;  // the answer when the box is closed without a button, as Escape gives
};

constexpr ButtonSet kButtonSets[] = {
    {MB_OK, kOkButtons, 1, IDOK},
    {MB_YESNO, kYesNoButtons, 2, IDNO},
};

struct IconFlag {
    UINT icon;
    Uint32 flag;
};

// SDL has no question icon; a question is closest to an informational box.
constexpr IconFlag kIconFlags[] = {
    {MB_ICONHAND, SDL_MESSAGEBOX_ERROR},
    {MB_ICONEXCLAMATION, SDL_MESSAGEBOX_WARNING},
    {MB_ICONINFORMATION, SDL_MESSAGEBOX_INFORMATION},
    {MB_ICONQUESTION, SDL_MESSAGEBOX_INFORMATION},
};

const ButtonSet* FindButtonSet(UINT type) {
    for (const ButtonSet& set : kButtonSets) {
        if (set.type == (type & MB_TYPEMASK)) return &set;
    }
    return nullptr;
}

Uint32 IconFlagFor(UINT type) {
    for (const IconFlag& entry : kIconFlags) {
        if (entry.icon == (type & MB_ICONMASK)) return entry.flag;
    }
    return 0;
}

// With no box the user would learn nothing; the terminal is the last place left to say it.
int Unshown(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return 0;
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    // Windows' own defaults for missing strings.
    if (text == nullptr) text = "";
    if (caption == nullptr) caption = "Error";

    const ButtonSet* set = FindButtonSet(type);
    if (set == nullptr) return Unshown(caption, text);

    SDL_MessageBoxData box{};
    box.flags = IconFlagFor(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = set->count;
    box.buttons = set->buttons;
    int answer = -1;
    if (SDL_ShowMessageBox(&box, &answer) != 0) return Unshown(caption, text);
    return answer < 0 ? set->dismissed : answer;
}
