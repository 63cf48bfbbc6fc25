// Where the scene that screen mode draws on every frame comes from.
#pragma once

#include <cstddef>

enum class SceneSource {
    File,        // read anew on every frame, so an edit shows at the next one
    Copy,        // read once; that copy is drawn on every frame
    TooLarge,    // more than kMaxSceneCopy bytes: nothing to draw
    Unreadable,  // reading the copy failed
};
constexpr std::size_t kMaxSceneCopy = std::size_t{64} << 20;

// A regular file, a directory or a path that names nothing is a File, with
// the usual message on every frame when it cannot be read. Anything else (a
// pipe, a FIFO, a device) gives its bytes only once: it is read here, whole.
// TooLarge has printed its message; the caller should stop.
SceneSource setSceneFileName(const char* path);
const char* sceneFileName();
SceneSource sceneSource();

// The frame drawer of screen mode: draws that scene once, or says why there
// is none, then sends the frame's echo to standard output in one piece.
void drawScene();
