// -gltf: the scene as binary glTF 2.0. The scene is read once through the
// shared evaluation; nodes, meshes, materials and lights gather in one
// model, written at the end.
#include "exporters/exporters.h"
#include "gltf_model.h"
#include "translators/export_run.h"

namespace {

struct GltfExport {
    GltfModel model;
};
GltfExport gltf;

void begin() {
    startEvaluation();
    startGltfTree(gltf.model);
}

void take(const SceneStatement& statement) {
    switch (evaluateStatement(statement)) {
        case EvalStep::Solid: gltfAddSolid(gltf.model, lastSolid()); break;
        case EvalStep::GroupOpened: gltfOpenGroup(gltf.model, currentModelview()); break;
        case EvalStep::GroupClosed: gltfCloseGroup(gltf.model); break;
        case EvalStep::LightAdded:
            gltfAddLight(gltf.model, lastLight(), currentLights().units[lastLight().unit]);
            break;
        default: break;
    }
}

bool write(std::FILE* output) {
    finishGltfTree(gltf.model, sceneAddedLights());
    const bool written = writeGltfFile(output, gltf.model);
    gltf.model = GltfModel{};  // the memory back before the program ends
    return written;
}

const ExportMode kGltfMode{begin, take, write};

}  // namespace

bool GltfExporter(const char* sceneFile, const char* outputFile) {
    return runExport(kGltfMode, sceneFile, outputFile);
}

bool GltfExportMemory(const void* scene, std::size_t size, std::FILE* output) {
    return runExportMemory(kGltfMode, scene, size, output);
}
