// The screen viewer in an offscreen context, as the viewer checks, the
// hostile-input tests and the soak test drive it: a fresh start per scene,
// and what every frame must leave behind.
#pragma once

#include <cstddef>
#include <string>

constexpr int kViewerSurface = 64;  // pixels square; the picture is not examined

// Opens the context (aborts without one) with screen mode's initial state.
void openViewerSession();
// Support state, view and GL state as a new window has them.
void freshViewerState();

struct AfterFrame {
    int materialDepth;
    int lightDepth;
    int lights;
    std::size_t lists;
    bool operator==(const AfterFrame&) const = default;
};

// Modelview stack and matrix back where the frame began, no display list
// left open, at most eight lights and exactly as many GL lights on; fills
// `after` and returns what is wrong, or an empty string.
std::string checkFrameLeft(AfterFrame& after);

// The echo without the support module's one-time notices, which join it
// right after the statement that caused them.
std::string withoutNotices(std::string echo);
