#pragma once

#include <string>

namespace progpath {

// Makes the learner's own library the process's current folder, which is the folder the library
// lists. The applications menu starts the trainer this way; from a terminal it lists the folder
// it was started in.
//
// The library is "library" in the learner's data folder. The first start makes it and fills it
// with the practice texts shipped with the program; from then on it is the learner's and is never
// written by the program again: texts the learner edits, adds or deletes stay that way, and a
// later version's texts do not come back over them. False, with the current folder unchanged,
// when there is no data folder or the library cannot be made.
bool enterUserLibrary(const std::string& programFolder);

} // namespace progpath
