// Windows virtual-key codes for SDL keys.
//
// Letters and digits follow the key's meaning in the current layout (as Windows maps VK_A..VK_Z
// through the layout); everything else is a fixed table. Left and right modifier keys share the
// generic code, which is what WM_KEYDOWN carries on Windows.
#include "platform/desktop/desktop.h"

namespace standin::desktop {

namespace {

struct KeyCode {
    SDL_Keycode sdl;
    BYTE vk;
};

constexpr KeyCode kKeyCodes[] = {
    {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_ESCAPE, VK_ESCAPE},  {SDLK_SPACE, VK_SPACE},
    {SDLK_PAUSE, VK_PAUSE},    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_PAGEUP, VK_PRIOR},   {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},        {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},      {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},    {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},  {SDLK_DELETE, VK_DELETE},
    {SDLK_LSHIFT, VK_SHIFT},   {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},  {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},      {SDLK_RALT, VK_MENU},
    {SDLK_F1, VK_F1},          {SDLK_F2, VK_F2},
    {SDLK_F3, VK_F3},          {SDLK_F4, VK_F4},
    {SDLK_F5, VK_F5},          {SDLK_F6, VK_F6},
    {SDLK_F7, VK_F7},          {SDLK_F8, VK_F8},
    {SDLK_F9, VK_F9},          {SDLK_F10, VK_F10},
    {SDLK_F11, VK_F11},        {SDLK_F12, VK_F12},
};

}  // namespace

BYTE VirtualKeyFor(const SDL_Keysym& key) {
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) return static_cast<BYTE>('A' + (key.sym - SDLK_a));
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9) return static_cast<BYTE>('0' + (key.sym - SDLK_0));
    for (const KeyCode& entry : kKeyCodes) {
        if (entry.sdl == key.sym) return entry.vk;
    }
    return 0;
}

}  // namespace standin::desktop
