// The threaded translation's seams for tests; no program includes this.
#pragma once

#include <cstdint>

// A function called with each segment's number once its bytes
// are read and before it is translated, and what the last run did.
void setSegmentSeam(void (*seam)(std::uint64_t segment));
struct ThreadsRun {
    int threads;             // 0: the last translation ran on one thread
    std::uint64_t segments;  // translated apart
    bool rest;  // read on in order: a stretch with no keyword to cut at, or text too long to hold
};
ThreadsRun lastThreadsRun();
