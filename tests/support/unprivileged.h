#pragma once

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Runs `work` in a child process as the user "nobody" (root ignores permissions); its result
// (0 to 254), or -1 or 255 when that could not be arranged.
inline int runUnprivileged(const std::function<int()>& work) {
    const pid_t child = fork();
    if (child == 0)
        _exit(geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0) ? 255 : work());
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
               ? WEXITSTATUS(status)
               : -1;
}
