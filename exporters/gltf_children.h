// The children of the open groups, as one stack of node numbers.
//
// A group's children are written with its node at its Pop, and a group
// closes before its parent takes another child, so the children of all the
// open groups lie in one stack: each group's from where it started to the
// top, the innermost last. The scene's top level is the bottom group and
// may hold millions (one per top-level solid): past a few of them the
// stack's bottom goes to a temporary file, so memory stays flat however
// many there are (all of it stays in memory where no file can be made).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "gltf_json.h"

struct ChildStack {
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> spill;  // the stack's bottom, entries [0, spilled)
    std::size_t spilled = 0;
    std::vector<std::int32_t> top;  // entries [spilled, spilled + top.size())
    bool inMemory = false;          // no temporary file could be made
    bool spillFailed = false;
};

std::size_t childCount(const ChildStack& stack);
void pushChild(ChildStack& stack, std::int32_t node);
// Entries from `first` to the top as a JSON list [a,b,...], then dropped.
void jsonTakeChildren(JsonText& out, ChildStack& stack, std::size_t first);
