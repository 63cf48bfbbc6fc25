// Redraws when the scene file changes on disk, so an edit shows without a
// key press.
#pragma once

// The file to watch from now on (copied); nullptr: none, as for a scene
// read once, which has nothing to watch.
void setWatchedFile(const char* path);
// Asks for a redraw when the file has changed since the frame last read it
// (or since the last call). Called a few times a second.
void watchSceneFile();
// Records the version of the file a frame is about to read, so that an edit
// made before the first tick is seen too.
void noteSceneVersionRead();
constexpr double kWatchIntervalSeconds = 0.25;
