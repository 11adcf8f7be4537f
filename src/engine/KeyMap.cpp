#include "engine/KeyMap.h"

#include "engine/hge.h"

int virtualKeyFromScancode(SDL_Scancode code) {
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return HGEK_A + (code - SDL_SCANCODE_A);
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return HGEK_0 + 1 + (code - SDL_SCANCODE_1);
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return HGEK_F1 + (code - SDL_SCANCODE_F1);
  if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9) return 0x61 + (code - SDL_SCANCODE_KP_1);
  switch (code) {
    case SDL_SCANCODE_0: return HGEK_0;
    case SDL_SCANCODE_ESCAPE: return HGEK_ESCAPE;
    case SDL_SCANCODE_RETURN: return HGEK_ENTER;
    case SDL_SCANCODE_KP_ENTER: return HGEK_ENTER;
    case SDL_SCANCODE_SPACE: return HGEK_SPACE;
    case SDL_SCANCODE_BACKSPACE: return HGEK_BACKSPACE;
    case SDL_SCANCODE_TAB: return HGEK_TAB;
    case SDL_SCANCODE_LEFT: return HGEK_LEFT;
    case SDL_SCANCODE_UP: return HGEK_UP;
    case SDL_SCANCODE_RIGHT: return HGEK_RIGHT;
    case SDL_SCANCODE_DOWN: return HGEK_DOWN;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return HGEK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return HGEK_CTRL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return HGEK_ALT;
    case SDL_SCANCODE_PAUSE: return 0x13;
    case SDL_SCANCODE_CAPSLOCK: return 0x14;
    case SDL_SCANCODE_PAGEUP: return 0x21;
    case SDL_SCANCODE_PAGEDOWN: return 0x22;
    case SDL_SCANCODE_END: return 0x23;
    case SDL_SCANCODE_HOME: return 0x24;
    case SDL_SCANCODE_PRINTSCREEN: return 0x2C;
    case SDL_SCANCODE_INSERT: return 0x2D;
    case SDL_SCANCODE_DELETE: return 0x2E;
    case SDL_SCANCODE_LGUI: return 0x5B;
    case SDL_SCANCODE_RGUI: return 0x5C;
    case SDL_SCANCODE_APPLICATION: return 0x5D;
    case SDL_SCANCODE_KP_0: return 0x60;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
    case SDL_SCANCODE_KP_PLUS: return 0x6B;
    case SDL_SCANCODE_KP_MINUS: return 0x6D;
    case SDL_SCANCODE_KP_PERIOD: return 0x6E;
    case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 0x90;
    case SDL_SCANCODE_SCROLLLOCK: return 0x91;
    case SDL_SCANCODE_SEMICOLON: return 0xBA;
    case SDL_SCANCODE_EQUALS: return 0xBB;
    case SDL_SCANCODE_COMMA: return 0xBC;
    case SDL_SCANCODE_MINUS: return 0xBD;
    case SDL_SCANCODE_PERIOD: return 0xBE;
    case SDL_SCANCODE_SLASH: return 0xBF;
    case SDL_SCANCODE_GRAVE: return 0xC0;
    case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
    case SDL_SCANCODE_BACKSLASH: return 0xDC;
    case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
    case SDL_SCANCODE_APOSTROPHE: return 0xDE;
    default: return 0;
  }
}
