#include "xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

pid_t serverPid = 0;

void stopServer() {
    if (serverPid > 0) {
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
        serverPid = 0;
    }
}

[[noreturn]] void runServer(int displayFd) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // no orphan server if the test crashes
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    const std::string fd = std::to_string(displayFd);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
           "tcp", "-br", static_cast<char*>(nullptr));
    _exit(127);
}

// The server writes its display number to the pipe once it accepts clients.
std::string readDisplayNumber(int fd) {
    std::string number;
    pollfd waiting{fd, POLLIN, 0};
    char c = 0;
    while (poll(&waiting, 1, 10000) == 1 && read(fd, &c, 1) == 1 && c != '\n') number += c;
    return number;
}

}  // namespace

bool useOwnXvfb() {
    if (serverPid > 0) return true;
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        runServer(fds[1]);
    }
    close(fds[1]);
    const std::string number = pid > 0 ? readDisplayNumber(fds[0]) : std::string();
    close(fds[0]);
    if (pid < 0 || number.empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        return false;
    }
    serverPid = pid;
    std::atexit(stopServer);
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}
