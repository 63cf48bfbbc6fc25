#include "gltf_pipeline.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kBlock = 1024;  // events handed over at once
constexpr std::size_t kInFlight = 4;  // blocks waiting at most: memory stays small

struct Pipeline {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::vector<GltfEvent>> waiting;
    std::vector<std::vector<GltfEvent>> spare;
    std::vector<GltfEvent> filling;
    bool done = false;
    void (*apply)(const GltfEvent&) = nullptr;
    std::thread worker;
    // A scene that could not be read is never written: its run ends here,
    // without building what nobody will write.
    ~Pipeline() {
        {
            std::lock_guard<std::mutex> held(lock);
            waiting.clear();
            filling.clear();
        }
        finishGltfPipeline();
    }
};
Pipeline pipeline;

void work() {
    std::unique_lock<std::mutex> held(pipeline.lock);
    for (;;) {
        pipeline.changed.wait(held, [] { return pipeline.done || !pipeline.waiting.empty(); });
        if (pipeline.waiting.empty()) return;
        std::vector<GltfEvent> block = std::move(pipeline.waiting.front());
        pipeline.waiting.pop_front();
        held.unlock();
        pipeline.changed.notify_all();
        for (const GltfEvent& event : block) pipeline.apply(event);
        block.clear();
        held.lock();
        pipeline.spare.push_back(std::move(block));
    }
}

void handOver() {
    std::unique_lock<std::mutex> held(pipeline.lock);
    pipeline.changed.wait(held, [] { return pipeline.waiting.size() < kInFlight; });
    pipeline.waiting.push_back(std::move(pipeline.filling));
    pipeline.filling = {};
    if (!pipeline.spare.empty()) {
        pipeline.filling = std::move(pipeline.spare.back());
        pipeline.spare.pop_back();
    }
    held.unlock();
    pipeline.changed.notify_all();
    pipeline.filling.reserve(kBlock);
}

}  // namespace

void startGltfPipeline(void (*apply)(const GltfEvent& event)) {
    finishGltfPipeline();
    pipeline.done = false;
    pipeline.apply = apply;
    pipeline.filling.reserve(kBlock);
    pipeline.worker = std::thread(work);
}

void sendGltfEvent(const GltfEvent& event) {
    pipeline.filling.push_back(event);
    if (pipeline.filling.size() == kBlock) handOver();
}

void finishGltfPipeline() {
    if (!pipeline.worker.joinable()) return;
    if (!pipeline.filling.empty()) handOver();
    {
        std::lock_guard<std::mutex> held(pipeline.lock);
        pipeline.done = true;
    }
    pipeline.changed.notify_all();
    pipeline.worker.join();
}
