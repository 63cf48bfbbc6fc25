// The run of an export that needs the whole scene before it can write
// (the web page, glTF): the scene is read once and every statement echoed as
// the translators echo it, each handed to the export, and the export then
// writes its file. Banner aside, the exit status and the output replaced
// whole or not at all are the translators'; a failure is told by the mode
// from lastSceneRun (output/scene_run.h), as theirs is.
#pragma once

#include <cstddef>
#include <cstdio>

#include "scene/scene.h"

struct ExportMode {
    void (*begin)(std::FILE* output);               // before the first statement, the output open
    void (*take)(const SceneStatement& statement);  // every statement, in order
    bool (*write)(std::FILE* output);               // false if a write failed
    // Instead of write, when the scene could not be read: the output is
    // about to be closed and dropped, and must no longer be touched.
    void (*abandon)() = nullptr;
};

// Reads the scene in NumberPrecision::Mixed, as the window does; says
// nothing of a failure.
bool runExport(const ExportMode& mode, const char* sceneFile, const char* outputFile);
// The same over a scene held in memory, into an open output that stays open.
bool runExportMemory(const ExportMode& mode, const void* scene, std::size_t size,
                     std::FILE* output);
