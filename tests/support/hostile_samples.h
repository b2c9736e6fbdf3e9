#pragma once

#include <string>
#include <vector>

// Files that once crashed, hung or drained the trainer, made on demand instead of stored: deeply
// nested tables, a huge table, a picture naming /dev/zero, and texts of awkward shapes.
struct HostileSample {
    std::string name;
    std::string fileName; // the extension decides how the library reads it
    std::string bytes;
    std::string marker; // a word the loaded text must hold
};

std::vector<HostileSample> hostileSamples();
