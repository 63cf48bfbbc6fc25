// The WebAssembly build runs on one thread (a page opened from disk gets no
// shared memory for more): the translations take the single-thread path,
// and the glTF export builds each node as soon as its statement is read.
#include "cores.h"
#include "gltf_pipeline.h"

namespace {

struct OneThread {
    void (*apply)(const GltfEvent&) = nullptr;
};
OneThread oneThread;

}  // namespace

int usableCores() { return 1; }

void startGltfPipeline(void (*apply)(const GltfEvent& event)) { oneThread.apply = apply; }

void sendGltfEvent(const GltfEvent& event) { oneThread.apply(event); }

void finishGltfPipeline() {}
