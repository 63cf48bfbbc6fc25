// The lines a mode says when its output failed: the same for every mode that
// writes a file from a scene.
#include "output/result.h"
#include "scene/console.h"

void sayOutputFailure(const OutputResult& result) {
    switch (result.failure) {
        case OutputFailure::None: break;
        case OutputFailure::SceneUnopened:
            reportUnopenedScene(result.sceneOpen, result.path.c_str());
            break;
        case OutputFailure::NotCreated:
            textPrintf(console(), "%s ne peut pas etre cree!!!\n", result.path.c_str());
            break;
        case OutputFailure::NotWritten:
            textPrintf(console(), "%s ne peut pas etre ecrit!!!\n", result.path.c_str());
            break;
    }
}
