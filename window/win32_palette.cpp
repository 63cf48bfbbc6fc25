// The palette for pixel formats that need one, and the system's static
// colours around it.

#include "win32_palette.h"
#include "testing/palette_testing.h"

#include <cstdio>

#include "win32_internal.h"
#include "window/window.h"

namespace {

struct SystemColour {
    const char* valueName;  // under HKCU "Control Panel\Colors"
    COLORREF takeover;      // set while the palette owns the static colours
};

constexpr COLORREF kWhite = PALETTERGB(255, 255, 255);
constexpr COLORREF kBlack = PALETTERGB(0, 0, 0);
constexpr int kMaxSystemColours = 25;
constexpr int kLiveColoursSaved = 21;
constexpr int kStaticColours = 20;

const SystemColour kSystemColours[kMaxSystemColours] = {
    {"Scrollbar", kWhite},     {"Background", kBlack},
    {"ActiveTitle", kBlack},   {"InactiveTitle", kWhite},
    {"Menu", kWhite},          {"Window", kWhite},
    {"WindowFrame", kBlack},   {"MenuText", kBlack},
    {"WindowText", kBlack},    {"TitleText", kWhite},
    {"ActiveBorder", kWhite},  {"InactiveBorder", kWhite},
    {"AppWorkspace", kWhite},  {"Hilight", kBlack},
    {"HilightText", kWhite},   {"ButtonFace", kWhite},
    {"ButtonShadow", kBlack},  {"GrayText", kBlack},
    {"ButtonText", kBlack},    {"InactiveTitleText", kBlack},
    {"ButtonHilight", kBlack}, {"ButtonDkShadow", kBlack},
    {"ButtonLight", kWhite},   {"InfoText", kBlack},
    {"InfoWindow", kWhite},
};

const int kIndices[kMaxSystemColours] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                         13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

struct PaletteState {
    HWND window = nullptr;
    HDC dc = nullptr;
    int displayMode = 0;
    HPALETTE palette = nullptr;
    bool ownsStaticColours = false;
    bool staticColoursTaken = false;
    int systemColourCount = kMaxSystemColours;
    COLORREF savedSystemColours[kMaxSystemColours] = {};
    PALETTEENTRY staticEntries[kStaticColours] = {};
    int staticIndex[kStaticColours] = {};
    int (*describe)(HDC, PIXELFORMATDESCRIPTOR*) = readPixelFormatDescription;
};

PaletteState state;

void postPaletteRealization() {
    MSG waiting;
    if (!PeekMessageA(&waiting, state.window, WM_USER, WM_USER, PM_NOREMOVE))
        PostMessageA(state.window, WM_USER, 0, 0);
}

int readRegistryColours(COLORREF* colours, int count) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Colors", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return 0;
    for (int i = 0; i < count; ++i) {
        char text[64 + 1] = {};
        DWORD type = 0, size = 64;
        if (RegQueryValueExA(key, kSystemColours[i].valueName, nullptr, &type,
                             reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            continue;
        long red = 0, green = 0, blue = 0;
        // Fewer than three numbers: the value is not a colour; keep the old one.
        if (std::sscanf(text, "%ld %ld %ld", &red, &green, &blue) != 3) continue;
        colours[i] =
            static_cast<COLORREF>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
    }
    RegCloseKey(key);
    return 1;
}

int takeStaticColours(HDC dc) {
    if (state.staticColoursTaken) return 1;
    if (SetSystemPaletteUse(dc, SYSPAL_NOSTATIC) != SYSPAL_STATIC) {
        // Someone else holds them: try again on the next pass through the queue.
        Sleep(0);
        postPaletteRealization();
        return 0;
    }
    for (int i = 0; i < kLiveColoursSaved; ++i) state.savedSystemColours[i] = GetSysColor(i);
    COLORREF takeover[kMaxSystemColours];
    for (int i = 0; i < kMaxSystemColours; ++i) takeover[i] = kSystemColours[i].takeover;
    SetSysColors(state.systemColourCount, kIndices, takeover);
    state.staticColoursTaken = true;
    PostMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
    return 1;
}

int giveBackStaticColours(HDC dc) {
    if (!state.staticColoursTaken) return 0;
    readRegistryColours(state.savedSystemColours, state.systemColourCount);
    SetSysColors(state.systemColourCount, kIndices, state.savedSystemColours);
    SetSystemPaletteUse(dc, SYSPAL_STATIC);
    PostMessageA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
    state.staticColoursTaken = false;
    return 1;
}

int realizeWindowPalette(HDC dc, HPALETTE palette, BOOL background) {
    if (!state.ownsStaticColours) {
        if (!SelectPalette(dc, palette, FALSE)) return -1;
        return static_cast<int>(RealizePalette(dc));
    }
    if (!background) {
        if (!takeStaticColours(dc)) return -1;
    } else {
        giveBackStaticColours(dc);
    }
    if (!UnrealizeObject(palette)) return -1;
    if (!SelectPalette(dc, palette, background)) return -1;
    return static_cast<int>(RealizePalette(dc));
}

// Every system palette entry reset, so the next realisation maps one to one.
void flushSystemPalette(HDC dc, int n) {
    if (n != 256) return;
    auto* black = static_cast<LOGPALETTE*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, 256 * 4 + 8));
    if (!black) return;
    black->palVersion = 0x300;
    black->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) black->palPalEntry[i].peFlags = PC_RESERVED | PC_NOCOLLAPSE;
    HPALETTE flush = CreatePalette(black);
    LocalFree(black);
    if (!flush) return;
    HPALETTE previous = SelectPalette(dc, flush, FALSE);
    RealizePalette(dc);
    if (previous) SelectPalette(dc, previous, FALSE);
    DeleteObject(flush);
}

int distance(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    const int red = a.peRed - b.peRed, green = a.peGreen - b.peGreen, blue = a.peBlue - b.peBlue;
    return red * red + green * green + blue * blue;
}

// Where in a 3-3-2 palette each of the 20 static colours goes.
void mapStaticColours(PALETTEENTRY* entries) {
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, kStaticColours,
                      state.staticEntries);
    for (PALETTEENTRY& e : state.staticEntries) e.peFlags = 0;
    for (int i = 0; i < 256; ++i) entries[i].peFlags = 0;  // 1: taken

    for (int k = 0; k < kStaticColours; ++k) {  // exact pass
        PALETTEENTRY& colour = state.staticEntries[k];
        for (int i = 0; i < 256; ++i) {
            if (entries[i].peFlags == 0 && distance(entries[i], colour) == 0) {
                colour.peFlags = 1;  // matched
                entries[i].peFlags = 1;
                state.staticIndex[k] = i;
                break;
            }
        }
    }
    for (int k = 0; k < kStaticColours; ++k) {  // nearest pass, lowest index on ties
        if (state.staticEntries[k].peFlags) continue;
        int best = 0, bestDistance = 0x30001;
        for (int i = 0; i < 256; ++i) {
            const int d = distance(entries[i], state.staticEntries[k]);
            if (entries[i].peFlags == 0 && d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        state.staticIndex[k] = best;
        entries[best].peFlags = 1;
    }
    for (int i = 0; i < 256; ++i) entries[i].peFlags = PC_NOCOLLAPSE;
    for (int k = 0; k < kStaticColours; ++k) {
        state.staticEntries[k].peFlags = 0;
        entries[state.staticIndex[k]].peFlags = 0;
    }
}

void fillPaletteEntries(const PIXELFORMATDESCRIPTOR& pfd, PALETTEENTRY* entries, int n) {
    for (int i = 0; i < n; ++i) {
        entries[i].peRed = static_cast<BYTE>(componentRamp(i, pfd.cRedBits, pfd.cRedShift));
        entries[i].peGreen = static_cast<BYTE>(componentRamp(i, pfd.cGreenBits, pfd.cGreenShift));
        entries[i].peBlue = static_cast<BYTE>(componentRamp(i, pfd.cBlueBits, pfd.cBlueShift));
        entries[i].peFlags = PC_NOCOLLAPSE;
    }
    if (n != 256) return;
    if (state.ownsStaticColours) {
        entries[0].peFlags = 0;
        entries[255].peFlags = 0;
        return;
    }
    const bool layout332 = pfd.cRedBits == 3 && pfd.cRedShift == 0 && pfd.cGreenBits == 3 &&
                           pfd.cGreenShift == 3 && pfd.cBlueBits == 2 && pfd.cBlueShift == 6;
    if (!layout332) return;
    mapStaticColours(entries);
    for (int k = 0; k < kStaticColours; ++k) {
        entries[state.staticIndex[k]] = state.staticEntries[k];
        entries[state.staticIndex[k]].peFlags = 0;
    }
}

bool needsPalette(const PIXELFORMATDESCRIPTOR& pfd) {
    return pfd.iPixelType == PFD_TYPE_RGBA && (pfd.dwFlags & PFD_NEED_PALETTE);
}

// A colour change elsewhere may have moved the static colours: rebuild.
void rebuildPalette() {
    PIXELFORMATDESCRIPTOR pfd;
    if (!state.dc || !state.palette || !state.describe(state.dc, &pfd) || !needsPalette(pfd))
        return;
    HPALETTE old = state.palette;
    state.palette = nullptr;
    if (createRgbPalette(state.dc)) {
        DeleteObject(old);
        requestRedrawOf(state.window);
    } else {
        state.palette = old;
    }
}

void realizeAndRedraw(BOOL background) {
    if (realizeWindowPalette(state.dc, state.palette, background) > 0)
        requestRedrawOf(state.window);
}

}  // namespace

void noteSystemVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // 148
    GetVersionExA(&version);
    const bool nt351 = version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                       version.dwMajorVersion == 3 &&
                       (version.dwMinorVersion == 5 || version.dwMinorVersion == 51);
    state.systemColourCount = nt351 ? 21 : kMaxSystemColours;
}

void paletteAttach(HWND window, HDC dc, int displayMode) {
    state.window = window;
    state.dc = dc;
    state.displayMode = displayMode;
}

void releasePalette() {
    if (state.palette) {
        auto* systemPalette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
        if (state.ownsStaticColours)
            realizeWindowPalette(state.dc, systemPalette, TRUE);  // gives the colours back
        else if (systemPalette)
            SelectPalette(state.dc, systemPalette, FALSE);
        DeleteObject(state.palette);
        state.palette = nullptr;
    }
    state.window = nullptr;
    state.dc = nullptr;
}

HPALETTE currentPalette() { return state.palette; }
bool staticColoursTaken() { return state.staticColoursTaken; }
int systemColourCount() { return state.systemColourCount; }

void setPixelFormatReader(int (*reader)(HDC, PIXELFORMATDESCRIPTOR*)) {
    state.describe = reader ? reader : readPixelFormatDescription;
}

int readPixelFormatDescription(HDC dc, PIXELFORMATDESCRIPTOR* pfd) {
    const int format = GetPixelFormat(dc);
    if (format <= 0) {
        reportError("Could not get pixel format for Dc 0x%08lX\n",
                    static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(dc)));
        return 0;
    }
    if (!DescribePixelFormat(dc, format, sizeof *pfd, pfd)) {
        reportError("Could not get a description of pixel format %d\n", format);
        return 0;
    }
    return format;
}

HPALETTE createRgbPalette(HDC dc) {
    if (state.palette) return state.palette;
    PIXELFORMATDESCRIPTOR pfd;
    if (!state.describe(dc, &pfd) || !needsPalette(pfd)) return nullptr;
    // Formats that need a palette have 8 colour bits at most.
    if (pfd.cColorBits > 8) return nullptr;
    state.ownsStaticColours =
        (pfd.dwFlags & PFD_NEED_SYSTEM_PALETTE) || (state.displayMode & ModeOwnStaticColours);

    const int n = 1 << pfd.cColorBits;
    auto* logical = static_cast<LOGPALETTE*>(LocalAlloc(LMEM_FIXED, n * 4 + 8));
    if (!logical) return nullptr;
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(n);
    fillPaletteEntries(pfd, logical->palPalEntry, n);
    state.palette = CreatePalette(logical);
    LocalFree(logical);

    flushSystemPalette(dc, n);
    realizeWindowPalette(dc, state.palette, FALSE);
    return state.palette;
}

int componentRamp(int i, int bits, int shift) {
    static const int ramp1[2] = {0, 255};
    static const int ramp2[4] = {0, 116, 191, 255};
    static const int ramp3[8] = {0, 63, 104, 139, 171, 200, 229, 255};
    const int v = i >> shift;
    switch (bits) {
        case 1: return ramp1[v & 1];
        case 2: return ramp2[v & 3];
        case 3: return ramp3[v & 7];
        default: return v & 0xFF;
    }
}

bool handlePaletteMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    switch (message) {
        case WM_ACTIVATE:
            if (!state.palette) return false;
            if (LOWORD(wParam) == WA_INACTIVE) {
                realizeAndRedraw(TRUE);
                return false;  // and default processing
            }
            if (HIWORD(wParam) != 0) return false;  // activated while minimised
            realizeAndRedraw(FALSE);
            *result = 1;
            return true;
        case WM_QUERYNEWPALETTE: *result = 1; return true;
        case WM_PALETTECHANGED:
            if (reinterpret_cast<HWND>(wParam) != window && !state.staticColoursTaken &&
                state.palette && SelectPalette(state.dc, state.palette, TRUE))
                RealizePalette(state.dc);
            *result = 0;
            return true;
        case WM_USER:
            if (state.palette) realizeAndRedraw(FALSE);
            *result = 0;
            return true;
        case WM_SYSCOLORCHANGE: rebuildPalette(); return false;
        default: return false;
    }
}
