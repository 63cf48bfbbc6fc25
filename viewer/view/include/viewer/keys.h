// The keys of screen mode and the spin: the arrows turn the view by one
// degree, Return starts and stops a spin of one degree about both axes per
// frame. The handlers change the view only; the window layer redraws after
// a key.
#pragma once

void increaseAngleX();  // Up
void decreaseAngleX();  // Down
void decreaseAngleY();  // Right
void increaseAngleY();  // Left
void toggleSpin();      // Return
void homeView();        // Home: angles 0, zoom 1

// The mouse: a left-button drag turns the view by half a degree per pixel
// (right as Left, down as Up); each wheel notch zooms by 1.1 about the
// cursor, towards the screen larger.
constexpr float kDragDegreesPerPixel = 0.5f;
constexpr double kZoomPerNotch = 1.1;
void dragView(int dx, int dy);
void wheelZoom(int notches, int x, int y);

// The idle handler while the view spins: one step and one frame. toggleSpin
// installs it when the spin starts and removes it when it stops, so a still
// view leaves the event loop waiting.
void spinIdle();
bool spinning();
void stopSpin();
