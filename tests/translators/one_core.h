// The cores this process may run on, and holding it (and the programs it
// starts) to one of them, so a test can choose between the threads' path
// and the one-thread path.
#pragma once

#include <sched.h>

inline int allowedCores() {
    cpu_set_t mask;
    return ::sched_getaffinity(0, sizeof mask, &mask) == 0 ? CPU_COUNT(&mask) : 1;
}

// The process held to the first of its cores while this lives.
struct OneCore {
    cpu_set_t saved;
    OneCore() {
        ::sched_getaffinity(0, sizeof saved, &saved);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &saved)) {
                CPU_SET(cpu, &one);
                break;
            }
        ::sched_setaffinity(0, sizeof one, &one);
    }
    ~OneCore() { ::sched_setaffinity(0, sizeof saved, &saved); }
    OneCore(const OneCore&) = delete;
    OneCore& operator=(const OneCore&) = delete;
};
