// The event loop with a real window on a private Xvfb. Each test drives the
// loop from its idle handler through a small script and records every
// reshape, paint and key handler call in order.

#include "window/window.h"
#include "xvfb_server.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Events = std::vector<std::string>;

Events events;
int displays = 0;
int idles = 0;
bool timedOut = false;
Clock::time_point deadline;
std::function<bool()> script;  // run on every idle call; true closes the window

void recordReshape(int width, int height) {
    events.push_back("reshape " + std::to_string(width) + " " + std::to_string(height));
}

void recordDisplay() {
    ++displays;
    events.push_back("display");
}

void recordA() { events.push_back("A"); }
void recordB() { events.push_back("B"); }
void recordC() { events.push_back("C"); }

void runScript() {
    ++idles;
    if (Clock::now() > deadline) {
        timedOut = true;
        closeWindow();
    } else if (script && script()) {
        closeWindow();
    }
}

// Runs an X client against the test's server, for events only the X server
// can produce (resizing, real key presses).
void xdotool(const std::string& title, const std::string& action) {
    const std::string command =
        "xdotool search --name '^" + title + "$' " + action + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class EventLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(useOwnXvfb());
        alarm(20);  // a loop blocked for good ends the test instead of hanging it
        events.clear();
        displays = idles = 0;
        timedOut = false;
        script = nullptr;
        deadline = Clock::now() + std::chrono::seconds(5);
        setDisplayMode(ModeDoubleBuffer | ModeDepth16);
        setWindowPosition(0, 0, 500, 500);
        ASSERT_EQ(openWindow(title().c_str()), 1);
        setReshapeHandler(recordReshape);
        setIdleHandler(runScript);
    }

    void TearDown() override {
        closeWindow();
        alarm(0);
    }

    static std::string title() {
        return std::string("loop-") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
};

TEST_F(EventLoop, ReshapesOnceWithTheClientSizeBeforeAnyEvent) {
    script = [] { return displays >= 1; };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(events, (Events{"reshape 500 500", "display"}));
}

TEST_F(EventLoop, RequestsBeforeAPaintMergeIntoOne) {
    int step = 0;
    int requestedAt = 0;
    script = [&] {
        if (displays == 0) return false;
        if (step++ == 0) {
            requestRedraw();
            requestRedraw();
            requestRedraw();
            requestedAt = idles;
            return false;
        }
        return idles - requestedAt >= 20;
    };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(displays, 2);
}

// Paint 2 clears the idle handler and asks for paint 3 with no event to come:
// the loop must look the idle handler up again (it is gone) and must not go
// to sleep on a pending paint. Paint 3 closes the window.
int idlesAtClear = -1;

void clearIdleThenClose() {
    recordDisplay();
    if (displays == 2) {
        setIdleHandler(nullptr);
        idlesAtClear = idles;
        requestRedraw();
    } else if (displays == 3) {
        closeWindow();
    }
}

TEST_F(EventLoop, IdleRunsWhileNothingHappensAndStopsOnceCleared) {
    idlesAtClear = -1;
    script = [] {
        if (displays >= 1 && idles >= 10) requestRedraw();
        return false;
    };
    EXPECT_EQ(runMainLoop(clearIdleThenClose), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(displays, 3);
    EXPECT_GE(idlesAtClear, 10);
    EXPECT_EQ(idles, idlesAtClear);
}

TEST_F(EventLoop, HandledKeyPaintsOnceUnhandledKeyNever) {
    addKeyHandler(201, recordA);
    addKeyHandler(201, recordB);
    int step = 0;
    int unhandledAt = 0;
    script = [&] {
        if (displays == 0) return false;
        if (step == 0) {
            dispatchKey(201);
        } else if (step == 1) {
            dispatchKey(202);
            unhandledAt = idles;
        }
        ++step;
        // A paint requested during one idle call comes before the next one,
        // so twenty more show that none is coming.
        return step > 2 && idles - unhandledAt >= 20;
    };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(events, (Events{"reshape 500 500", "display", "A", "B", "display"}));
}

TEST_F(EventLoop, ResizeReshapesWithTheNewSizeThenPaintsOnce) {
    bool resized = false;
    int repaintedAt = -1;
    script = [&] {
        if (displays == 0) return false;
        if (!resized) {
            xdotool(title(), "windowsize 320 240");
            resized = true;
        }
        if (repaintedAt < 0 && displays >= 2) repaintedAt = idles;
        return repaintedAt >= 0 && idles - repaintedAt >= 20;
    };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(events, (Events{"reshape 500 500", "display", "reshape 320 240", "display"}));
}

TEST_F(EventLoop, KeyHandlerClosingTheWindowEndsTheLoop) {
    // The press arrives from the X server, so the close happens inside the
    // platform's event dispatch; nothing may run for the window after it.
    addKeyHandler('q', closeWindow);
    addKeyHandler('q', recordC);
    bool sent = false;
    script = [&] {
        if (displays >= 1 && !sent) {
            xdotool(title(), "key --window %1 q");
            sent = true;
        }
        return false;
    };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(events, (Events{"reshape 500 500", "display", "C"}));
    EXPECT_EQ(swapWindowBuffers(), 0);
}

// Paint 1 asks for paint 2, so an idle step, if any, falls between them.
void closeOnSecondPaint() {
    recordDisplay();
    if (displays == 1)
        requestRedraw();
    else
        closeWindow();
}

TEST_F(EventLoop, ClosingDropsTheHandlersButKeepsTheKeyTable) {
    addKeyHandler(203, recordC);
    script = [] { return displays >= 1; };
    EXPECT_EQ(runMainLoop(recordDisplay), 0);

    events.clear();
    dispatchKey(203);
    EXPECT_EQ(events, Events{"C"});

    // The next window starts without the old idle handler.
    const int idlesBefore = idles;
    ASSERT_EQ(openWindow("loop-second-window"), 1);
    events.clear();
    displays = 0;
    EXPECT_EQ(runMainLoop(closeOnSecondPaint), 0);
    EXPECT_EQ(idles, idlesBefore);
    EXPECT_EQ(events, (Events{"display", "display"}));  // defaultReshape is back
}

}  // namespace
