#pragma once

#include "core/trainer_view.h"

#include <string>

// Saving the text box as a Rich Text Format file beside the program, under a typed name.
class SaveText {
public:
    SaveText(TrainerView& view, std::string programFolder);

    void togglePanel(); // "Simpan Fail"
    void clearName();   // a click into the name box
    void save();        // "OK Simpan"
    void cancel();      // "Batal"

private:
    TrainerView& view_;
    std::string programFolder_;
};
