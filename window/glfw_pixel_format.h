#pragma once

// Turning a display-mode word into the pixel format asked of the platform.

// False when no visual of this kind exists here (colour index).
bool pixelFormatAvailable(int mode);

// Sets the framebuffer hints for the next window.
void hintPixelFormat(int mode);
