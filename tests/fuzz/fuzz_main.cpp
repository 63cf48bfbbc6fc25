// libFuzzer entry for one target, named at build time.
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include "fuzz/fuzz_targets.h"

namespace {

struct EntryState {
    const FuzzTarget* target = nullptr;
};
EntryState entry;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    entry.target = findFuzzTarget(MIROVAN_FUZZ_TARGET);
    if (entry.target == nullptr) std::abort();
    // The echo of every input would bury libFuzzer's own report.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
    if (entry.target->setUp != nullptr) entry.target->setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = entry.target->check(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "\n%s target: %s\n", entry.target->name, failure.c_str());
        std::abort();
    }
    return 0;
}
