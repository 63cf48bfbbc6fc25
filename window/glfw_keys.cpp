#include "glfw_keys.h"

#include "window/window.h"

#include <GLFW/glfw3.h>

int codeForKey(int platformKey) {
    switch (platformKey) {
        case GLFW_KEY_ENTER:
        case GLFW_KEY_KP_ENTER: return KeyReturn;
        case GLFW_KEY_ESCAPE: return KeyEscape;
        case GLFW_KEY_SPACE: return KeySpace;
        case GLFW_KEY_LEFT: return KeyLeft;
        case GLFW_KEY_UP: return KeyUp;
        case GLFW_KEY_RIGHT: return KeyRight;
        case GLFW_KEY_DOWN: return KeyDown;
        case GLFW_KEY_HOME: return KeyHome;
        case GLFW_KEY_F12: return KeyF12;
        default: return 0;
    }
}

int codeForCharacter(unsigned int codepoint) {
    // Typed characters, so Shift and Caps Lock have already chosen the case.
    const bool digit = codepoint >= '0' && codepoint <= '9';
    const bool capital = codepoint >= 'A' && codepoint <= 'Z';
    const bool small = codepoint >= 'a' && codepoint <= 'z';
    return (digit || capital || small) ? static_cast<int>(codepoint) : 0;
}
