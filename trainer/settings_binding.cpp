#include "trainer/settings_binding.h"

#include "storage/file_attributes.h"
#include "storage/program_path.h"
#include "storage/settings_location.h"

namespace {
// The boxes in the order of the record's fields.
constexpr Control kBoxes[] = {kStoredDelayLimit, kStoredDash, kStoredPitch, kRatioBox};
} // namespace

SettingsBinding::SettingsBinding(TrainerView& view, SpeedPitch& speedPitch, GroupDrill& groups,
                                 std::string settingsFolder)
    : view_(view), speedPitch_(speedPitch), groups_(groups),
      settingsFolder_(std::move(settingsFolder)) {}

void SettingsBinding::activate() {
    if (store_.open(progpath::join(settingsFolder_, progpath::kSettingsFileName))) {
        if (auto record = store_.firstRecord()) {
            fill(*record);
            filled_ = std::move(record);
        }
    }
    // An old dBase copy of the settings in the current folder may have come from read-only media.
    setAttributesNormal("laju.dbf");
    speedPitch_.activateLengths();
    view_.setFilePattern(kLibraryPattern);
    view_.setText(kWordTotalLabel, "");
    speedPitch_.activatePitchAndDelay();
    groups_.fillSymbols();
}

// Filling a box is a change of that box when its text differs, so the ratio box's own handler
// runs when the stored ratio is not the one it showed.
void SettingsBinding::fill(const SettingsRecord& record) {
    for (std::size_t i = 0; i < kSettingsFields.size(); ++i)
        view_.setText(kBoxes[i], record.*kSettingsFields[i].member);
}

SettingsRecord SettingsBinding::boxes() const {
    SettingsRecord record;
    for (std::size_t i = 0; i < kSettingsFields.size(); ++i)
        record.*kSettingsFields[i].member = view_.text(kBoxes[i]);
    return record;
}

void SettingsBinding::writeBack() {
    if (filled_)
        store_.writeBack(*filled_, boxes());
    filled_.reset();
    store_.close();
}
