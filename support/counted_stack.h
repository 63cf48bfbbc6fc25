// A stack of fixed capacity that counts pushes beyond it, so that every pop
// still meets its own push however deep a scene nests: a pop whose push
// found the stack full gives nothing back and leaves the entries below it
// for the pops that follow. Shared by the material, light and matrix stacks.
#ifndef MIROVAN_SUPPORT_COUNTED_STACK_H
#define MIROVAN_SUPPORT_COUNTED_STACK_H

#include <climits>

template <typename Entry, int Capacity>
struct CountedStack {
    Entry entries[Capacity];
    int depth;  // pushes still open, saved or not
};

// The entry to fill for this push, or nullptr when the stack is full; the
// push is counted either way.
template <typename Entry, int Capacity>
Entry* pushEntry(CountedStack<Entry, Capacity>& stack) {
    Entry* entry = stack.depth < Capacity ? &stack.entries[stack.depth] : nullptr;
    if (stack.depth < INT_MAX) ++stack.depth;
    return entry;
}

enum class Popped { NoPush, Unsaved, Saved };

// Closes the innermost open push; `entry` is what it saved when Saved.
template <typename Entry, int Capacity>
Popped popEntry(CountedStack<Entry, Capacity>& stack, const Entry*& entry) {
    entry = nullptr;
    if (stack.depth <= 0) return Popped::NoPush;
    --stack.depth;
    if (stack.depth >= Capacity) return Popped::Unsaved;
    entry = &stack.entries[stack.depth];
    return Popped::Saved;
}

#endif
