// The GL state a new screen-mode window starts with: GL's initial material
// and light 0, no other light, an empty modelview stack, myInit's switches
// and the view's projection for a client area of `size` pixels square.
#pragma once

void restoreWindowDefaults(int size);
