// The on-screen viewer: reads the scene file into GL on every frame, under a
// view that the arrow keys turn and Return sets spinning.
#pragma once

// Interprets the whole scene file once into the current GL context, echoing
// every statement on standard output.
void drawSceneFile(const char* path);

// The handlers screen mode gives the window layer.
void displayFrame();
void reshapeView(int width, int height);
void increaseAngleX();
void decreaseAngleX();
void decreaseAngleY();
void increaseAngleY();
void toggleSpin();
void spinIdle();
void myInit();

// The scene file that displayFrame draws.
void setSceneFileName(const char* path);
const char* sceneFileName();
// Or a function that draws the scene, as a compiled scene's scene() does;
// nullptr goes back to the file.
void setFrameDrawer(void (*draw)());

// Screen mode's window, 500 x 500 at the screen's corner, with the view's
// keys; 0 if it could not be opened.
int openViewerWindow();
// Then: the GL set-up `init`, the view's handlers, and the event loop until
// the window closes.
int runViewer(void (*init)());

// Asks for a redraw when the scene file has changed on disk since the last
// call: an edit shows without a key press. Called a few times a second.
void watchSceneFile();
constexpr double kWatchIntervalSeconds = 0.25;

struct ViewState {
    float angleX;
    float angleY;
    int spinEnabled;
};
ViewState viewState();
void setViewAngles(float angleX, float angleY);
// Angles 0, spin off, and the next frame is taken as the first one again.
void resetView();
