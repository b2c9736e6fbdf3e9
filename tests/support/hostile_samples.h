#pragma once

#include <string>
#include <vector>

// Files people really have lying around that once crashed, hung or drained the trainer, made on
// demand instead of stored: deeply nested tables, a huge table, a picture naming /dev/zero, and
// texts of awkward shapes near the size a library file may have.
struct HostileSample {
    std::string fileName; // the extension decides how the library reads it
    std::string bytes;
    std::string marker; // a word the loaded text must hold
};

std::vector<std::string> hostileSampleNames();
HostileSample hostileSample(const std::string& name);
