// Redraws when the scene file changes on disk, so an edit shows without a
// key press.
#pragma once

// Asks for a redraw when the file has changed since the last call. Called a
// few times a second; a scene read once has nothing to watch.
void watchSceneFile();
constexpr double kWatchIntervalSeconds = 0.25;
