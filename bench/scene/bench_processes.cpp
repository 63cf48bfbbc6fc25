#include "bench_processes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// One core: the first of those the benchmark may use, so that the program
// takes the path it takes on a single core.
void keepOneCore() {
    cpu_set_t mask;
    if (::sched_getaffinity(0, sizeof mask, &mask) != 0) return;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &mask)) continue;
        CPU_ZERO(&mask);
        CPU_SET(cpu, &mask);
        ::sched_setaffinity(0, sizeof mask, &mask);
        return;
    }
}

}  // namespace

// fork, not posix_spawn: a child that shares the parent's memory until exec
// would report the parent's peak as its own.
ProcessRun runTimed(const std::vector<std::string>& argv, const std::string& output, bool oneCore) {
    if (output != "/dev/null") ::unlink(output.c_str());
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    ProcessRun run{0, 0, 0, false};
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = ::open("/dev/null", O_WRONLY);
        if (out < 0 || null < 0 || ::dup2(out, 1) < 0 || ::dup2(null, 2) < 0) ::_exit(126);
        if (oneCore) keepOneCore();
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
        run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
        const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
        run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return run;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

bool sameContents(const std::string& first, const std::string& second) {
    std::FILE* a = std::fopen(first.c_str(), "rb");
    std::FILE* b = std::fopen(second.c_str(), "rb");
    bool same = a && b;
    static char blockA[1 << 16], blockB[1 << 16];
    while (same) {
        const std::size_t n = std::fread(blockA, 1, sizeof blockA, a);
        const std::size_t m = std::fread(blockB, 1, sizeof blockB, b);
        same = n == m && std::memcmp(blockA, blockB, n) == 0;
        if (n == 0) break;
    }
    if (a) std::fclose(a);
    if (b) std::fclose(b);
    return same;
}

long long fileSize(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

bool writeText(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}
