#include <windows.h>

#include "layer.h"

// A console program that opens a window still reports in message boxes;
// the box returns once the user dismisses it.
void platformShowMessage(const char* caption, const char* text) {
    MessageBoxA(GetFocus(), text, caption, MB_OK);
}
