// What became of a file the output module was asked to write. The module
// itself says nothing to the user: the mode that asked tells its user, with
// sayOutputFailure or words of its own.
#pragma once

#include <string>

#include "scene/scene.h"

enum class OutputFailure {
    None,
    SceneUnopened,  // the scene could not be opened or read: `sceneOpen` says why
    NotCreated,     // the output could not be opened, or is the scene itself
    NotWritten,     // a write, the close or putting the file in place failed
};

struct OutputResult {
    OutputFailure failure = OutputFailure::None;
    std::string path;  // the file the failure is about: the scene or the output
    SceneOpen sceneOpen = SceneOpen::Opened;
    int error = 0;  // errno of the call that failed, where the writer kept it
    bool ok() const { return failure == OutputFailure::None; }
};

// The translators' line for a failure on the console ("OUT ne peut pas etre
// cree!!!", "OUT ne peut pas etre ecrit!!!", or the scene's own report);
// nothing for a success.
void sayOutputFailure(const OutputResult& result);
