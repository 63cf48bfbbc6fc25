// The palette of formats that need one. The pixel-format description is
// supplied by the test (Wine has no GL format on a palette display); every
// GDI call is the real one. PaletteLogic runs on any display; PaletteDisplay
// needs an 8-bit (PseudoColor) one.

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "win32_palette.h"
#include "palette_testing.h"
#include "window/window.h"

namespace {

PIXELFORMATDESCRIPTOR supplied;
int suppliedReader(HDC, PIXELFORMATDESCRIPTOR* pfd) {
    *pfd = supplied;
    return 1;
}

PIXELFORMATDESCRIPTOR format332(DWORD extraFlags = 0) {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_NEED_PALETTE | extraFlags;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 8;
    pfd.cRedBits = 3;
    pfd.cRedShift = 0;
    pfd.cGreenBits = 3;
    pfd.cGreenShift = 3;
    pfd.cBlueBits = 2;
    pfd.cBlueShift = 6;
    return pfd;
}

LRESULT CALLBACK testProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (handlePaletteMessage(window, message, wParam, lParam, &result)) return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window of our own whose procedure hands palette messages to the layer.
class Palette : public ::testing::Test {
protected:
    HWND window = nullptr;
    HDC dc = nullptr;

    void SetUp() override {
        static const bool registered = [] {
            WNDCLASSA c = {};
            c.lpfnWndProc = testProcedure;
            c.hInstance = GetModuleHandleA(nullptr);
            c.lpszClassName = "PaletteTest";
            return RegisterClassA(&c) != 0;
        }();
        ASSERT_TRUE(registered);
        window = CreateWindowExA(0, "PaletteTest", "palette", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNA);  // hidden windows take no redraw requests
        dc = GetDC(window);
        noteSystemVersion();
        setPixelFormatReader(suppliedReader);
    }

    void TearDown() override {
        releasePalette();
        setPixelFormatReader(nullptr);
        ReleaseDC(window, dc);
        DestroyWindow(window);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HPALETTE make(const PIXELFORMATDESCRIPTOR& pfd, int mode = 0) {
        supplied = pfd;
        paletteAttach(window, dc, mode);
        return createRgbPalette(dc);
    }
};

std::vector<PALETTEENTRY> entriesOf(HPALETTE palette) {
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(palette, 0, 0, nullptr));
    GetPaletteEntries(palette, 0, static_cast<UINT>(entries.size()), entries.data());
    return entries;
}

std::array<int, 3> rgb(const PALETTEENTRY& e) { return {e.peRed, e.peGreen, e.peBlue}; }

// The 3-3-2 ramp colour of index i.
std::array<int, 3> ramp332(int i) {
    static const int three[8] = {0, 63, 104, 139, 171, 200, 229, 255};
    static const int two[4] = {0, 116, 191, 255};
    return {three[i & 7], three[(i >> 3) & 7], two[(i >> 6) & 3]};
}

int squaredDistance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    int sum = 0;
    for (int c = 0; c < 3; ++c) sum += (a[c] - b[c]) * (a[c] - b[c]);
    return sum;
}

TEST(PaletteLogic, ComponentRampsForOneTwoThreeAndOtherBitCounts) {
    const int one[2] = {0, 255};
    for (int v = 0; v < 2; ++v) EXPECT_EQ(componentRamp(v << 5, 1, 5), one[v]);
    const int two[4] = {0, 116, 191, 255};
    for (int v = 0; v < 4; ++v) EXPECT_EQ(componentRamp(v << 6, 2, 6), two[v]);
    const int three[8] = {0, 63, 104, 139, 171, 200, 229, 255};
    for (int v = 0; v < 8; ++v) EXPECT_EQ(componentRamp(v << 3, 3, 3), three[v]);
    EXPECT_EQ(componentRamp(0xF8, 3, 3), 255);     // only the channel's own bits count
    EXPECT_EQ(componentRamp(0x1234, 4, 4), 0x23);  // other counts: the low 8 bits
    EXPECT_EQ(componentRamp(200, 8, 0), 200);
}

TEST_F(Palette, StaticColoursGoToTheirExactEntryOrTheNearestUntakenOne) {
    HPALETTE palette = make(format332());
    ASSERT_NE(palette, nullptr);
    const std::vector<PALETTEENTRY> entries = entriesOf(palette);
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_EQ(rgb(entries[0]), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(entries[0].peFlags, 0);
    EXPECT_EQ(rgb(entries[255]), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(entries[255].peFlags, 0);

    // Where each default-palette colour should land: exact matches first,
    // then in order the nearest entry not yet taken, lowest index on ties.
    PALETTEENTRY system[20];
    ASSERT_EQ(
        GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, system),
        20u);
    std::array<int, 20> where;
    std::array<bool, 256> taken{};
    where.fill(-1);
    for (int k = 0; k < 20; ++k)
        for (int i = 0; i < 256 && where[k] < 0; ++i)
            if (!taken[i] && ramp332(i) == rgb(system[k])) taken[where[k] = i] = true;
    for (int k = 0; k < 20; ++k) {
        if (where[k] >= 0) continue;
        int best = -1;
        for (int i = 0; i < 256; ++i)
            if (!taken[i] && (best < 0 || squaredDistance(ramp332(i), rgb(system[k])) <
                                              squaredDistance(ramp332(best), rgb(system[k]))))
                best = i;
        taken[where[k] = best] = true;
    }
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        if (taken[i]) {
            EXPECT_EQ(entries[i].peFlags, 0);
        } else {
            EXPECT_EQ(rgb(entries[i]), ramp332(i));
            EXPECT_EQ(entries[i].peFlags, PC_NOCOLLAPSE);
        }
    }
    for (int k = 0; k < 20; ++k) EXPECT_EQ(rgb(entries[where[k]]), rgb(system[k])) << k;
}

TEST_F(Palette, TakeoverKeepsTheRampsWithEntriesZeroAnd255Free) {
    for (int mode : {0, int{ModeOwnStaticColours}}) {
        HPALETTE palette = make(format332(mode ? 0 : PFD_NEED_SYSTEM_PALETTE), mode);
        ASSERT_NE(palette, nullptr);
        const std::vector<PALETTEENTRY> entries = entriesOf(palette);
        ASSERT_EQ(entries.size(), 256u);
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(rgb(entries[i]), ramp332(i)) << i;
            EXPECT_EQ(entries[i].peFlags, (i == 0 || i == 255) ? 0 : PC_NOCOLLAPSE) << i;
        }
        releasePalette();
    }
}

TEST_F(Palette, FormatsThatNeedNoPaletteGetNone) {
    PIXELFORMATDESCRIPTOR trueColour = format332();
    trueColour.dwFlags &= ~PFD_NEED_PALETTE;
    trueColour.cColorBits = 24;
    EXPECT_EQ(make(trueColour), nullptr);
    PIXELFORMATDESCRIPTOR indexed = format332();
    indexed.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(make(indexed), nullptr);
    EXPECT_EQ(currentPalette(), nullptr);
}

// ---- On a palette display ----

class PaletteDisplay : public Palette {};

COLORREF plain(COLORREF colour) { return colour & 0xFFFFFF; }

// Writes a value under HKCU "Control Panel\Colors" (the suite's own prefix).
void setRegistryColour(const char* name, const char* value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Colors", 0, nullptr, 0, KEY_SET_VALUE,
                    nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

int waiting(HWND window, UINT message) {
    MSG m;
    int count = 0;
    while (PeekMessageA(&m, window, message, message, PM_REMOVE)) ++count;
    return count;
}

bool redrawRequested(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != 0; }

TEST_F(PaletteDisplay, IsWhatTheseTestsRunOn) {
    if (!(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) GTEST_SKIP() << "not a palette display";
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 256);
}

TEST_F(PaletteDisplay, RealisesTheRampColours) {
    HPALETTE palette = make(format332());
    ASSERT_NE(palette, nullptr);
    // Realised into the window's device context. (Wine maps it into the
    // shared X colormap, so the system palette itself is no witness.)
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette);
    EXPECT_NE(RealizePalette(dc), GDI_ERROR);
    EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(63, 0, 0)), 1u);
    EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(104, 63, 116)), 2u + (1 << 3) + (1 << 6));
    EXPECT_FALSE(staticColoursTaken());
    EXPECT_EQ(GetSystemPaletteUse(dc), static_cast<UINT>(SYSPAL_STATIC));
}

TEST_F(PaletteDisplay, TakeoverAndGiveBackFollowActivation) {
    const COLORREF before1 = GetSysColor(1);
    setRegistryColour("Scrollbar", "10 20 30");
    setRegistryColour("Background", "1 2");  // fewer than three numbers: not a colour
    setRegistryColour("Menu", "300 256 7");  // each component cut to 8 bits
    waiting(nullptr, WM_SYSCOLORCHANGE);

    ASSERT_NE(make(format332(), ModeOwnStaticColours), nullptr);
    EXPECT_TRUE(staticColoursTaken());
    EXPECT_EQ(GetSystemPaletteUse(dc), static_cast<UINT>(SYSPAL_NOSTATIC));
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    const COLORREF takeover[25] = {white, black, black, white, white, white, black, black, black,
                                   white, white, white, white, black, white, white, black, black,
                                   black, black, black, black, white, black, white};
    for (int i = 0; i < systemColourCount(); ++i)
        EXPECT_EQ(plain(GetSysColor(i)), takeover[i]) << i;
    EXPECT_EQ(waiting(window, WM_SYSCOLORCHANGE), 1);

    // Deactivated: the colours come back from the registry.
    SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(staticColoursTaken());
    EXPECT_EQ(GetSystemPaletteUse(dc), static_cast<UINT>(SYSPAL_STATIC));
    EXPECT_EQ(plain(GetSysColor(0)), RGB(10, 20, 30));
    EXPECT_EQ(plain(GetSysColor(1)), plain(before1));
    EXPECT_EQ(plain(GetSysColor(4)), RGB(44, 0, 7));
    EXPECT_EQ(waiting(window, WM_SYSCOLORCHANGE), 1);

    // Activated again: taken again, answered 1 without default processing.
    EXPECT_EQ(SendMessageA(window, WM_ACTIVATE, WA_ACTIVE, 0), 1);
    EXPECT_TRUE(staticColoursTaken());
    EXPECT_EQ(plain(GetSysColor(0)), takeover[0]);

    // The window's clean-up gives everything back.
    releasePalette();
    EXPECT_FALSE(staticColoursTaken());
    EXPECT_EQ(GetSystemPaletteUse(dc), static_cast<UINT>(SYSPAL_STATIC));
    EXPECT_EQ(plain(GetSysColor(0)), RGB(10, 20, 30));
    EXPECT_EQ(currentPalette(), nullptr);
}

TEST_F(PaletteDisplay, RefusedTakeoverIsRetriedThroughOneUserMessage) {
    SetSystemPaletteUse(dc, SYSPAL_NOSTATIC);  // someone else holds the static colours
    ASSERT_NE(make(format332(), ModeOwnStaticColours), nullptr);
    EXPECT_FALSE(staticColoursTaken());
    SendMessageA(window, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(HWND_DESKTOP), 0);
    EXPECT_EQ(waiting(window, WM_USER), 1);  // posted once, however often refused

    SetSystemPaletteUse(dc, SYSPAL_STATIC);  // released
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
    EXPECT_TRUE(staticColoursTaken());
    EXPECT_EQ(GetSystemPaletteUse(dc), static_cast<UINT>(SYSPAL_NOSTATIC));
}

TEST_F(PaletteDisplay, ColourChangeRebuildsThePalette) {
    HPALETTE first = make(format332());
    ASSERT_NE(first, nullptr);
    ValidateRect(window, nullptr);
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    HPALETTE second = currentPalette();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(GetObjectType(first), 0u);  // the old one was deleted
    EXPECT_TRUE(redrawRequested(window));
    EXPECT_EQ(SendMessageA(window, WM_QUERYNEWPALETTE, 0, 0), 1);
}

}  // namespace
