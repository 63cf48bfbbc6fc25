#include "common/run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string slurp(int fd) {
    std::string text;
    char block[65536];
    ssize_t n;
    while ((n = read(fd, block, sizeof block)) > 0) text.append(block, static_cast<std::size_t>(n));
    return text;
}

std::vector<std::string>& scratchDirectories() {
    static std::vector<std::string> dirs;
    return dirs;
}

void removeScratch() {
    for (const std::string& d : scratchDirectories()) std::filesystem::remove_all(d);
}

}  // namespace

RunResult runProgram(const std::vector<std::string>& argv, const std::string& input) {
    char outPath[] = "/tmp/mirovan-out-XXXXXX";
    char errPath[] = "/tmp/mirovan-err-XXXXXX";
    char inPath[] = "/tmp/mirovan-in-XXXXXX";
    const int outFd = mkstemp(outPath), errFd = mkstemp(errPath), inFd = mkstemp(inPath);
    if (write(inFd, input.data(), input.size()) < 0) std::abort();
    lseek(inFd, 0, SEEK_SET);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inFd, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    RunResult result{-1, "", ""};
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    lseek(outFd, 0, SEEK_SET);
    lseek(errFd, 0, SEEK_SET);
    result.out = slurp(outFd);
    result.err = slurp(errFd);
    close(outFd), close(errFd), close(inFd);
    unlink(outPath), unlink(errPath), unlink(inPath);
    return result;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string scratchDirectory() {
    char path[] = "/tmp/mirovan-test-XXXXXX";
    if (mkdtemp(path) == nullptr) std::abort();
    if (scratchDirectories().empty()) std::atexit(removeScratch);
    scratchDirectories().push_back(path);
    return path;
}
