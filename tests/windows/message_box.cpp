#include "message_box.h"

#include <windows.h>

namespace {

BOOL CALLBACK collectStaticText(HWND child, LPARAM text) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char buffer[512] = {};
        GetWindowTextA(child, buffer, sizeof buffer);
        *reinterpret_cast<std::string*>(text) += buffer;
    }
    return TRUE;
}

}  // namespace

std::string dismissMessageBox(const char* caption, int timeoutMs) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutMs);
    HWND box = nullptr;
    while (!(box = FindWindowA("#32770", caption))) {
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) return "<no box>";
        Sleep(20);
    }
    std::string text;
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&text));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    // Gone before we report, so that a caller may look for the next one.
    while (IsWindow(box) && static_cast<LONG>(GetTickCount() - deadline) <= 0) Sleep(10);
    return text;
}
