// peak_memory PROGRAM ARGS...: runs the program with its standard output
// thrown away and prints its peak resident memory in kilobytes, or -1 if it
// did not exit with status 0. Started from a small process of its own, so
// the figure is the program's alone, not that of a large caller.
#include <cstdio>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 1;
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("%ld\n", ok ? usage.ru_maxrss : -1L);
    return 0;
}
