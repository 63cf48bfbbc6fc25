#include "cores.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include <bit>
#else
#include <sched.h>

#include <thread>
#endif

int usableCores() {
#ifdef _WIN32
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return 1;
    return std::max(1, std::popcount(static_cast<unsigned long long>(process)));
#else
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return CPU_COUNT(&set);
#endif
}
