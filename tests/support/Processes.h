#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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

// A place where a child process stops until its parent lets it go on: the child calls stopHere(), the
// parent waits with reached() and releases it with letGo(). Made before the fork; one child each.
class StopPoint final {
public:
    StopPoint() {
        if (pipe(toParent_) != 0 || pipe(toChild_) != 0) toParent_[0] = toChild_[0] = -1;
    }
    ~StopPoint() {
        for (int fd : {toParent_[0], toParent_[1], toChild_[0], toChild_[1]}) {
            if (fd >= 0) close(fd);
        }
    }
    StopPoint(const StopPoint&) = delete;
    StopPoint& operator=(const StopPoint&) = delete;

    // In the child.
    void stopHere() {
        char c = 's';
        if (write(toParent_[1], &c, 1) != 1) return;
        [[maybe_unused]] const ssize_t n = read(toChild_[0], &c, 1);  // end of file: the parent is gone
    }
    // In the parent, after the fork: true once the child stopped, false when it ended without stopping.
    bool reached() {
        closeChildEnds();
        char c = 0;
        return read(toParent_[0], &c, 1) == 1;
    }
    void letGo() {
        char c = 'g';
        [[maybe_unused]] const ssize_t n = write(toChild_[1], &c, 1);
    }

private:
    void closeChildEnds() {
        for (int* fd : {&toParent_[1], &toChild_[0]}) {
            if (*fd >= 0) close(*fd);
            *fd = -1;
        }
    }
    int toParent_[2] = {-1, -1};
    int toChild_[2] = {-1, -1};
};

// A child process running `body`; killed and reaped by the destructor if the test ends before it does.
class Child final {
public:
    template <class Body>
    explicit Child(Body body) : pid_(fork()) {
        if (pid_ == 0) _exit(body());
    }
    ~Child() {
        if (pid_ > 0 && !done_) {
            kill(pid_, SIGKILL);
            wait();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Whether it has ended, without waiting.
    bool ended() {
        if (!done_ && waitpid(pid_, &status_, WNOHANG) == pid_) done_ = true;
        return done_;
    }
    // Waits for its end; its exit code, or 100 + the signal that killed it.
    int wait() {
        if (!done_ && waitpid(pid_, &status_, 0) == pid_) done_ = true;
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : WIFSIGNALED(status_) ? 100 + WTERMSIG(status_) : 100;
    }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_;
    int status_ = 0;
    bool done_ = false;
};

// Whether some process is waiting for a lock on `file`: what the kernel lists as a blocked request.
inline bool lockAwaitedOn(const std::filesystem::path& file) {
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) return false;
    const std::string inode = ":" + std::to_string(st.st_ino) + " ";
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        if (line.find("->") != std::string::npos && line.find(inode) != std::string::npos) return true;
    }
    return false;
}

// Waits until `done` holds, checking every millisecond, at most `limit`; whether it came to hold.
template <class Condition>
bool eventually(Condition done, std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace scortavia::test
