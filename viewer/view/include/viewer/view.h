// The frame and the view: every frame clears the window, turns the view by
// two angles, draws what the frame drawer draws and shows it. The view box
// is 40 units across whatever the window's size, divided by the zoom.
#pragma once

// The initial GL state: smooth shading, depth test, lighting, light 0.
void myInit();

// Draws one frame: the display handler screen mode gives the window layer.
// Every frame starts from the material, lights and stack depths that the
// first one started with, so an unchanged scene gives the same picture on
// every frame, and ends at the modelview depth and matrix it began with.
void displayFrame();

// Viewport and projection for a client area of this size; a size of 0 (a
// minimised window) keeps the last projection.
void reshapeView(int width, int height);

// What each frame draws under the view's rotation: the scene (drawScene),
// or a compiled scene's scene(). Nothing is drawn until one is set.
void setFrameDrawer(void (*draw)());

// The view's rotation, in degrees about x then y, kept within [0, 360) so
// that a spin turns as smoothly after hours as at the start; a value that
// is not finite counts as 0.
struct ViewAngles {
    float angleX;
    float angleY;
};
ViewAngles viewAngles();
void setViewAngles(float angleX, float angleY);
void turnView(float byX, float byY);
// Angles 0, zoom 1, and the next frame is taken as the first one again.
void resetView();

// The zoom: factor > 1 shows the scene larger, keeping the scene point at
// window point (x, y) (pixels from the top-left corner) where it is. The
// total stays within [1/100, 100]; at 1, with nothing moved, the box is
// reshapeView's own. Needs the GL context and a reshapeView first.
void zoomViewAt(double factor, double x, double y);
double viewZoom();
void resetZoom();  // back to 1 and the centred box
// The client area's size as reshapeView last had it.
void viewSize(int& width, int& height);

// Runs after each frame is drawn, before it is shown (nullptr: nothing).
void setFrameReadyHook(void (*hook)());
