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

// The idle handler while the view spins: one step and one frame. toggleSpin
// installs it when the spin starts and removes it when it stops, so a still
// view leaves the event loop waiting.
void spinIdle();
bool spinning();
void stopSpin();
