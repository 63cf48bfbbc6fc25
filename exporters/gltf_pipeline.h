// Two threads for the glTF export: the reading thread reads, echoes and
// evaluates the scene and hands what each statement did to a second
// thread, which builds the nodes and their JSON.
#pragma once

#include "evaluation/evaluation.h"

// What one statement did, as the node tree needs it.
struct GltfEvent {
    EvalStep step;
    union {
        struct {
            EvalSolid solid;
            EvalMaterial material;
        } solid;
        float modelview[16];  // GroupOpened
        struct {
            EvalAddedLight light;
            EvalLight unit;
        } light;
    };
};

// `apply` runs on the second thread, for every event in order.
void startGltfPipeline(void (*apply)(const GltfEvent& event));
void sendGltfEvent(const GltfEvent& event);
// Waits until every event sent has been applied.
void finishGltfPipeline();
