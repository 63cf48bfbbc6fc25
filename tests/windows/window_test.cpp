// The Win32 window layer with real windows under Wine: placement, pixel
// formats, the GL state it leaves, the loop, keys and mouse as the platform
// delivers them, closing and Escape.

#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <future>
#include <string>
#include <vector>

#include "message_box.h"
#include "window/window.h"

namespace {

using Events = std::vector<std::string>;
Events events;
int displays = 0, idles = 0;
int lastPaintAt = 0;  // idle calls counted at the last paint
DWORD deadline = 0;
void (*step)() = nullptr;  // run on every idle call until the window closes

HWND layerWindow(const char* title) { return FindWindowA("tkLibWClass", title); }

void recordReshape(int width, int height) {
    events.push_back("reshape " + std::to_string(width) + " " + std::to_string(height));
}
void recordDisplay() {
    ++displays;
    lastPaintAt = idles;
    events.push_back("display");
}
template <int Code>
void recordKey() {
    events.push_back("key " + std::to_string(Code));
}
// Wine paints a new window twice: wait for 20 idle calls without a paint.
bool settled() { return displays > 0 && idles - lastPaintAt >= 20; }

void runStep() {
    ++idles;
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
        events.push_back("timeout");
        closeWindow();
    } else if (step) {
        step();
    }
}

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        displays = idles = lastPaintAt = 0;
        step = nullptr;
        deadline = GetTickCount() + 5000;
        setDisplayMode(ModeDoubleBuffer | ModeDepth16);
        setWindowPosition(0, 0, 500, 500);
    }
    void TearDown() override { closeWindow(); }

    // Opens the window with the recorders and the idle step installed.
    HWND open(const char* title) {
        if (openWindow(title) != 1) return nullptr;
        setReshapeHandler(recordReshape);
        setIdleHandler(runStep);
        return layerWindow(title);
    }
};

struct FormatCase {
    int mode;
    bool doubleBuffer;
    GLint depthBits, alphaBits;
    bool stencil, accum;
};

TEST_F(Win32Window, PixelFormatFollowsTheModeBits) {
    const FormatCase cases[] = {
        {ModeDoubleBuffer | ModeDepth16, true, 16, 0, false, false},
        {ModeDoubleBuffer, true, 0, 0, false, false},
        {0, false, 0, 0, false, false},
        {ModeDoubleBuffer | ModeDepth, true, 24, 0, false, false},
        {ModeDoubleBuffer | ModeDepth | ModeDepth16, true, 16, 0, false, false},
        // Alpha is left to the platform's closest match (Wine gives none).
        {ModeDoubleBuffer | ModeDepth | ModeStencil, true, 24, 0, true, false},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        setDisplayMode(c.mode);
        ASSERT_EQ(openWindow("pixel-format"), 1);
        GLboolean doubleBuffer = GL_FALSE;
        GLint red = 0, depth = 0, alpha = 0, stencil = 0;
        glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
        glGetIntegerv(GL_RED_BITS, &red);
        glGetIntegerv(GL_DEPTH_BITS, &depth);
        glGetIntegerv(GL_ALPHA_BITS, &alpha);
        glGetIntegerv(GL_STENCIL_BITS, &stencil);
        closeWindow();
        EXPECT_EQ(doubleBuffer == GL_TRUE, c.doubleBuffer);
        EXPECT_EQ(red, 8);
        EXPECT_EQ(depth, c.depthBits);
        EXPECT_EQ(alpha, c.alphaBits);
        EXPECT_EQ(stencil > 0, c.stencil);
    }
}

HWND current = nullptr;
int stage = 0, mark = 0;

TEST_F(Win32Window, ReshapeOnceThenRequestsMergeIntoOnePaint) {
    current = open("merge");
    ASSERT_NE(current, nullptr);
    stage = 0;
    step = [] {
        if (!settled()) return;
        if (stage++ == 0) {
            mark = displays;
            requestRedraw();
            requestRedraw();
            requestRedraw();
        } else {
            closeWindow();
        }
    };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "reshape 500 500");
    EXPECT_EQ(displays, mark + 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "reshape 500 500"), 1);
}

void post(UINT message, WPARAM wParam) { PostMessageA(current, message, wParam, 0); }

// Key presses go through TranslateMessage as typed keys do: the layer must
// take the seven keys from key presses and digits and letters from
// characters, once each, and drop everything else.
TEST_F(Win32Window, KeysArriveAsTheirCodesOncePerPressAndOthersAreDropped) {
    current = open("keys");
    ASSERT_NE(current, nullptr);
    addKeyHandler(38, recordKey<38>);
    addKeyHandler(13, recordKey<13>);
    addKeyHandler(32, recordKey<32>);
    addKeyHandler(97, recordKey<97>);
    addKeyHandler(48, recordKey<48>);
    addKeyHandler(90, recordKey<90>);
    addKeyHandler(37, recordKey<37>);
    addKeyHandler(36, recordKey<36>);
    addKeyHandler(123, recordKey<123>);
    // What dropped keys would show up as: Tab, Backspace, Delete, F1,
    // keypad +, ',' and '+'.
    addKeyHandler(9, recordKey<9>);
    addKeyHandler(8, recordKey<8>);
    addKeyHandler(46, recordKey<46>);
    addKeyHandler(112, recordKey<112>);
    addKeyHandler(107, recordKey<107>);
    addKeyHandler(44, recordKey<44>);
    addKeyHandler(43, recordKey<43>);
    stage = 0;
    step = [] {
        if (displays == 0) return;
        if (stage++ == 0) {
            for (WPARAM key : std::initializer_list<WPARAM>{VK_UP, VK_RETURN, VK_SPACE, 'A', '0',
                                                            VK_HOME, VK_F12})
                post(WM_KEYDOWN, key);
            post(WM_CHAR, 'Z');
            for (WPARAM key : std::initializer_list<WPARAM>{VK_TAB, VK_BACK, VK_DELETE, VK_F1,
                                                            VK_ADD, VK_OEM_COMMA})
                post(WM_KEYDOWN, key);
            post(WM_CHAR, '+');
            post(WM_KEYDOWN, VK_LEFT);
        } else if (settled()) {
            closeWindow();
        }
    };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    // Characters come after the key presses that typed them: order aside,
    // each deliverable key once.
    Events keys;
    for (const std::string& e : events)
        if (e.rfind("key", 0) == 0) keys.push_back(e);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (Events{"key 123", "key 13", "key 32", "key 36", "key 37", "key 38", "key 48",
                            "key 90", "key 97"}));
}

// A resize is checked end to end (screen_e2e.sh resize); minimising is not.
TEST_F(Win32Window, MinimisingReshapesToZero) {
    current = open("minimise");
    ASSERT_NE(current, nullptr);
    stage = 0;
    step = [] {
        if (settled() && stage++ == 0) ShowWindow(current, SW_MINIMIZE);
    };
    deadline = GetTickCount() + 1000;  // minimised, nothing more happens
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "reshape 0 0"), 1);
}

TEST_F(Win32Window, MouseButtonsCaptureAndReleaseTheMouse) {
    current = open("mouse");
    ASSERT_NE(current, nullptr);
    for (UINT down : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        SendMessageA(current, down, 0, 0);
        EXPECT_EQ(GetCapture(), current);
        SendMessageA(current, down + 1, 0, 0);  // the matching button-up
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

// A left-button drag reports each move, also outside the window while the
// mouse is captured; other buttons do not drag. The wheel's parts of a notch
// add up to whole ones, reported at the cursor's client point.
TEST_F(Win32Window, LeftDragAndWheelNotchesReachTheirHandlers) {
    current = open("drag");
    ASSERT_NE(current, nullptr);
    setDragHandler([](int dx, int dy) {
        events.push_back("drag " + std::to_string(dx) + " " + std::to_string(dy));
    });
    setWheelHandler([](int notches, int x, int y) {
        events.push_back("wheel " + std::to_string(notches) + " " + std::to_string(x) + " " +
                         std::to_string(y));
    });
    events.clear();
    const auto at = [](int x, int y) {
        return MAKELPARAM(static_cast<short>(x), static_cast<short>(y));
    };
    SendMessageA(current, WM_LBUTTONDOWN, MK_LBUTTON, at(100, 100));
    SendMessageA(current, WM_MOUSEMOVE, MK_LBUTTON, at(130, 110));
    SendMessageA(current, WM_MOUSEMOVE, MK_LBUTTON, at(-10, 90));
    SendMessageA(current, WM_LBUTTONUP, 0, at(-10, 90));
    SendMessageA(current, WM_MOUSEMOVE, 0, at(50, 50));
    SendMessageA(current, WM_RBUTTONDOWN, MK_RBUTTON, at(50, 50));
    SendMessageA(current, WM_MOUSEMOVE, MK_RBUTTON, at(80, 80));
    SendMessageA(current, WM_RBUTTONUP, 0, at(80, 80));
    POINT cursor = {20, 30};
    ClientToScreen(current, &cursor);
    for (int delta : {40, 40, 40, -240, -60})
        SendMessageA(current, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<short>(delta)),
                     at(cursor.x, cursor.y));
    setDragHandler(nullptr);
    setWheelHandler(nullptr);
    EXPECT_EQ(events, (Events{"drag 30 10", "drag -140 -20", "wheel 1 20 30", "wheel -2 20 30"}));
}

int ticks = 0;

TEST_F(Win32Window, TimerRunsWhileTheLoopWaitsForMessages) {
    current = open("timer");
    ASSERT_NE(current, nullptr);
    setIdleHandler(nullptr);  // the loop now sleeps in GetMessage
    ticks = 0;
    setTimerHandler(
        [] {
            if (++ticks == 3) closeWindow();
        },
        0.02);
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    EXPECT_EQ(ticks, 3);
}

// Run on an 8-bit (palette) display, where Wine offers no GL pixel format.
TEST(EightBitDisplay, MissingPixelFormatIsReportedInAnErrorBoxAndOpeningFails) {
    const std::string failed = "Selecting a pixel format failed\n";
    auto box = std::async(std::launch::async, [] { return dismissMessageBox("Error", 5000); });
    setDisplayMode(ModeDoubleBuffer | ModeDepth16);
    setWindowPosition(0, 0, 500, 500);
    EXPECT_EQ(openWindow("eight-bit"), 0);
    EXPECT_EQ(box.get(), failed);
    EXPECT_EQ(layerWindow("eight-bit"), nullptr);

    // Single-buffered: the double-buffered second attempt fails the same way.
    auto boxes = std::async(std::launch::async, [] {
        return dismissMessageBox("Error", 5000) + dismissMessageBox("Error", 5000);
    });
    setDisplayMode(ModeDepth16);
    EXPECT_EQ(openWindow("eight-bit"), 0);
    EXPECT_EQ(boxes.get(), failed + failed);
    EXPECT_EQ(layerWindow("eight-bit"), nullptr);
    EXPECT_EQ(runMainLoop(recordDisplay), 0);  // no window: returns at once
    EXPECT_EQ(displays, 0);
}

}  // namespace
