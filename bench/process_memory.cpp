#include "process_memory.h"

#include <fstream>
#include <string>

namespace {
// The kB figure of the line starting with `key` in a /proc file, or -1.
long figureKb(const char* path, const std::string& key) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}
} // namespace

long residentKb() {
    return figureKb("/proc/self/status", "VmRSS:");
}

long proportionalKb() {
    return figureKb("/proc/self/smaps_rollup", "Pss:");
}
