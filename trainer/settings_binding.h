#pragma once

#include "core/trainer_view.h"
#include "drills/group_drill.h"
#include "engine/speed_pitch.h"
#include "storage/settings_store.h"

#include <optional>
#include <string>

// Binds the four settings boxes (Text4 delay limit, Text5 dash length, Text6 pitch, Text7 ratio)
// to the record of "laju.mdb" in the settings folder (storage/settings_location.h says which).
// The program never writes a setting by an
// explicit statement: the controls change the boxes, and a normal close carries the boxes that
// changed back into the file.
class SettingsBinding {
public:
    SettingsBinding(TrainerView& view, SpeedPitch& speedPitch, GroupDrill& groups,
                    std::string settingsFolder);

    // The first activation: reads the record into the boxes and derives the engine's state from
    // them. Every step that fails is skipped silently and the next one runs.
    void activate();
    // A normal close: writes the boxes whose text changed since they were filled, then closes
    // the file. A write that fails (read-only, locked, full disk) gives up within about 1.5 s
    // and leaves the file as it was.
    void writeBack();

    static constexpr const char* kLibraryPattern = "*.txt;*.text;*.htm;*.html;*.doc;*. ";

private:
    SettingsRecord boxes() const;
    // Fills the boxes from the stored record; returns what they were filled with.
    SettingsRecord fill(const SettingsRecord& stored);

    TrainerView& view_;
    SpeedPitch& speedPitch_;
    GroupDrill& groups_;
    std::string settingsFolder_;
    SettingsStore store_;
    std::optional<SettingsRecord> filled_; // what the boxes were filled with
};
