// The desktop's boxes: SDL's message box, with OK or Yes and No buttons and the four standard
// icons.
//
// Return answers with the default button (Yes or OK) and Escape with the cancelling one
// (No or OK), so every box can be answered from the keyboard.
#include "platform/desktop/desktop.h"

namespace standin::desktop {

namespace {

constexpr Uint32 kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
constexpr Uint32 kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;

constexpr SDL_MessageBoxButtonData kOkButtons[] = {{kReturn | kEscape, IDOK, "OK"}};
constexpr SDL_MessageBoxButtonData kYesNoButtons[] = {{kReturn, IDYES, "Yes"},
                                                      {kEscape, IDNO, "No"}};

struct ButtonSet {
    BoxButtons buttons;
    const SDL_MessageBoxButtonData* data;
    int count;
    int dismissed;  // the answer when the box is closed without a button, as Escape gives
};

constexpr ButtonSet kButtonSets[] = {
    {BoxButtons::Ok, kOkButtons, 1, IDOK},
    {BoxButtons::YesNo, kYesNoButtons, 2, IDNO},
};

// SDL has no question icon; a question is closest to an informational box.
Uint32 IconFlagFor(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Stop:
            return SDL_MESSAGEBOX_ERROR;
        case BoxIcon::Exclamation:
            return SDL_MESSAGEBOX_WARNING;
        case BoxIcon::Information:
        case BoxIcon::Question:
            return SDL_MESSAGEBOX_INFORMATION;
        case BoxIcon::None:
            break;
    }
    return 0;
}

}  // namespace

int ShowBox(const char* caption, const char* text, BoxButtons buttons, BoxIcon icon) {
    const ButtonSet* set = &kButtonSets[0];
    for (const ButtonSet& candidate : kButtonSets) {
        if (candidate.buttons == buttons) set = &candidate;
    }
    SDL_MessageBoxData box{};
    box.flags = IconFlagFor(icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = set->count;
    box.buttons = set->data;
    int answer = -1;
    if (SDL_ShowMessageBox(&box, &answer) != 0) return 0;
    return answer < 0 ? set->dismissed : answer;
}

}  // namespace standin::desktop
