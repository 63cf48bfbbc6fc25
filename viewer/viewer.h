// The on-screen viewer: reads the scene file into GL on every frame, under a
// view that the arrow keys turn and Return sets spinning.
#pragma once

#include <cstddef>

// Interprets the whole scene file once into the current GL context, echoing
// every statement on standard output.
void drawSceneFile(const char* path);
// The same for a scene held in memory; `name` stands for it in messages.
void drawSceneText(const char* name, const char* text, std::size_t size);

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

// Where the scene that displayFrame draws comes from.
enum class SceneSource {
    File,        // read anew on every frame, so an edit shows at the next one
    Copy,        // read once; that copy is drawn on every frame
    TooLarge,    // more than kMaxSceneCopy bytes: nothing to draw
    Unreadable,  // reading the copy failed
};
constexpr std::size_t kMaxSceneCopy = std::size_t{64} << 20;

// The scene that displayFrame draws. A regular file, a directory or a path
// that names nothing is a File, with the usual message on every frame when
// it cannot be read. Anything else (a pipe, a FIFO, a device) gives its bytes
// only once: it is read here, whole. TooLarge has printed its message; the
// caller should stop.
SceneSource setSceneFileName(const char* path);
const char* sceneFileName();
SceneSource sceneSource();
// Draws that scene once, or says on every frame why there is none.
void drawScene();
// A function that draws in place of that scene, as a compiled scene's
// scene() does; nullptr goes back to the scene.
void setFrameDrawer(void (*draw)());

// Screen mode's window, 500 x 500 at the screen's corner, with the view's
// keys; 0 if it could not be opened.
int openViewerWindow();
// Then: the GL set-up `init`, the view's handlers, and the event loop until
// the window closes.
int runViewer(void (*init)());

// Asks for a redraw when the scene file has changed on disk since the last
// call: an edit shows without a key press. Called a few times a second; a
// scene read once has nothing to watch.
void watchSceneFile();
constexpr double kWatchIntervalSeconds = 0.25;

struct ViewState {
    float angleX;
    float angleY;
    int spinEnabled;
};
ViewState viewState();
// Angles are kept within [0, 360), so a spin turns as smoothly after hours
// as at the start; a value that is not finite counts as 0.
void setViewAngles(float angleX, float angleY);
// Angles 0, spin off, and the next frame is taken as the first one again.
void resetView();
