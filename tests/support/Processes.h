#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace scortavia::test {

// Runs `body` in a child process and returns its exit code (100 when it did not exit normally).
template <class Body>
int inChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// Runs `body` in `count` child processes at once, each given its number; true when all exited with 0.
// Two copies of the program on one shared folder are two processes: this is how tests are them.
template <class Body>
bool allInChildren(int count, Body body) {
    std::vector<pid_t> children;
    for (int n = 0; n < count; ++n) {
        const pid_t pid = fork();
        if (pid == 0) _exit(body(n));
        children.push_back(pid);
    }
    bool succeeded = true;
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        succeeded = succeeded && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return succeeded;
}

}  // namespace scortavia::test
