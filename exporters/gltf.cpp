// -gltf: the scene as binary glTF 2.0. The scene is read once through the
// shared evaluation; nodes, meshes, materials and lights gather in one
// model on a second thread (gltf_pipeline.h), written at the end.
#include <cstring>

#include "exporters/exporters.h"
#include "gltf_pipeline.h"
#include "gltf_model.h"
#include "output/export_run.h"

namespace {

struct GltfExport {
    GltfModel model;  // built on the pipeline's second thread
};
GltfExport gltf;

void apply(const GltfEvent& event) {
    switch (event.step) {
        case EvalStep::Solid:
            gltfAddSolid(gltf.model, event.solid.solid, event.solid.material);
            break;
        case EvalStep::GroupOpened: gltfOpenGroup(gltf.model, event.modelview); break;
        case EvalStep::GroupClosed: gltfCloseGroup(gltf.model); break;
        case EvalStep::LightAdded:
            gltfAddLight(gltf.model, event.light.light, event.light.unit);
            break;
        default: break;
    }
}

void begin(std::FILE* output) {
    finishGltfPipeline();  // an earlier export that stopped at a scene it could not read
    startEvaluation();
    startGltfTree(gltf.model);
    gltfStreamNodes(gltf.model, output);
    startGltfPipeline(apply);
}

void take(const SceneStatement& statement) {
    GltfEvent event;
    event.step = evaluateStatement(statement);
    switch (event.step) {
        case EvalStep::Solid:
            event.solid.solid = lastSolid();
            event.solid.material = currentMaterial();
            break;
        case EvalStep::GroupOpened:
            std::memcpy(event.modelview, currentModelview(), sizeof event.modelview);
            break;
        case EvalStep::GroupClosed: break;
        case EvalStep::LightAdded:
            event.light.light = lastLight();
            event.light.unit = currentLights().units[lastLight().unit];
            break;
        default: return;
    }
    sendGltfEvent(event);
}

bool write(std::FILE* output) {
    finishGltfPipeline();
    finishGltfTree(gltf.model, sceneAddedLights());
    const bool written = writeGltfFile(output, gltf.model);
    gltf.model = GltfModel{};  // the memory back before the program ends
    return written;
}

// The nodes' thread may be writing into the output (gltfStreamNodes).
void abandon() {
    finishGltfPipeline();
    gltf.model = GltfModel{};
}

const ExportMode kGltfMode{begin, take, write, abandon};

}  // namespace

bool GltfExporter(const char* sceneFile, const char* outputFile) {
    return runExport(kGltfMode, sceneFile, outputFile);
}

bool GltfExportMemory(const void* scene, std::size_t size, std::FILE* output) {
    return runExportMemory(kGltfMode, scene, size, output);
}
