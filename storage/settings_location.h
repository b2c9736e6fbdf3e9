#pragma once

#include <string>

// Where the learner's own files live: the settings file and the texts saved from the text box.
namespace progpath {

inline constexpr const char* kSettingsFileName = "laju.mdb";

// The learner's data folder: "$XDG_DATA_HOME/vornik" when XDG_DATA_HOME names an absolute folder,
// otherwise "$HOME/.local/share/vornik". Empty when neither variable says where that is.
std::string userDataFolder();

// The folder that holds the settings file and the saved texts. It is the program folder whenever
// that folder already holds a "laju.mdb" or can be written to, so a portable copy or a build
// folder keeps everything beside the program. Only a program folder that can hold neither (an
// installed program in /usr) hands over to the learner's data folder, which is made if it is
// missing. Without a data folder to fall back on, the program folder is kept: the settings then
// fail quietly there, as they would anywhere else.
std::string settingsFolder(const std::string& programFolder);

} // namespace progpath
