#include "gltf_children.h"

#include <algorithm>

namespace {

constexpr std::size_t kTop = 1 << 18;  // entries kept in memory (1 MiB) before the bottom spills

bool seekEntry(std::FILE* file, std::size_t entry) {
    return std::fseek(file, static_cast<long>(entry * sizeof(std::int32_t)), SEEK_SET) == 0;
}

// The top, once full, goes below what the file holds.
void spillTop(ChildStack& stack) {
    if (!stack.spill) {
        if (stack.inMemory) return;
        stack.spill.reset(std::tmpfile());
        stack.inMemory = !stack.spill;
        if (stack.inMemory) return;
    }
    const std::size_t n = stack.top.size();
    stack.spillFailed =
        stack.spillFailed || !seekEntry(stack.spill.get(), stack.spilled) ||
        std::fwrite(stack.top.data(), sizeof(std::int32_t), n, stack.spill.get()) != n;
    stack.spilled += n;
    stack.top.clear();
}

}  // namespace

std::size_t childCount(const ChildStack& stack) { return stack.spilled + stack.top.size(); }

void pushChild(ChildStack& stack, std::int32_t node) {
    if (stack.top.size() >= kTop) spillTop(stack);
    if (stack.top.capacity() == 0) stack.top.reserve(std::min<std::size_t>(kTop, 1024));
    stack.top.push_back(node);
}

void jsonTakeChildren(JsonText& out, ChildStack& stack, std::size_t first) {
    jsonChar(out, '[');
    bool continued = false;
    if (first < stack.spilled) {
        // Read back in pieces no larger than the top.
        std::vector<std::int32_t> piece(std::min(stack.spilled - first, kTop));
        stack.spillFailed = stack.spillFailed || !seekEntry(stack.spill.get(), first);
        for (std::size_t at = first; at < stack.spilled && !stack.spillFailed;) {
            const std::size_t n = std::min(piece.size(), stack.spilled - at);
            stack.spillFailed =
                std::fread(piece.data(), sizeof(std::int32_t), n, stack.spill.get()) != n;
            jsonIntList(out, piece.data(), n, continued);
            continued = true, at += n;
        }
        stack.spilled = first;
        jsonIntList(out, stack.top.data(), stack.top.size(), continued);
        stack.top.clear();
    } else {
        const std::size_t from = first - stack.spilled;
        jsonIntList(out, stack.top.data() + from, stack.top.size() - from, false);
        stack.top.resize(from);
    }
    jsonChar(out, ']');
}
