#pragma once

#include "core/trainer_view.h"

#include <string>

// Saving the text box as a Rich Text Format file under a typed name, in the folder that holds the
// settings file (beside the program, or the learner's data folder for an installed program).
class SaveText {
public:
    SaveText(TrainerView& view, std::string settingsFolder);

    void togglePanel(); // "Simpan Fail"
    void clearName();   // a click into the name box
    void save();        // "OK Simpan"
    void cancel();      // "Batal"

private:
    TrainerView& view_;
    std::string settingsFolder_;
};
