#include "trainer/settings_binding.h"

#include "core/number_text.h"
#include "storage/file_attributes.h"
#include "storage/program_path.h"
#include "storage/settings_location.h"

namespace {
// The boxes in the order of the record's fields.
constexpr Control kBoxes[] = {kStoredDelayLimit, kStoredDash, kStoredPitch, kRatioBox};

// What a stored value may be, in the order of the record's fields. A file from a broken or older
// copy can hold anything, and a delay limit of 99999999999 once made the first delay unit last
// days. A value outside its range is read as unreadable: its box gets the value a new settings
// file holds, and the file keeps the stored value until the learner changes that box.
struct SensibleRange {
    double lowest;
    double highest;
};
// clang-format off
constexpr SensibleRange kSensibleRanges[] = {
    {-100000, 100000}, // delay limit: below 0 there is no silence; 100000 is about 1 s a unit
    {0, 1000},         // dash length in ms: the slider's range
    {30, 20000},       // pitch in Hz: what a learner can hear
    {1, 10},           // ratio: a dot never longer than a dash, never shorter than a tenth of it
};
// A ratio of 0 (or no number) is no ratio: the dot keeps its length, as when the learner empties
// the box.
bool sensible(std::size_t field, double number) {
    const bool noRatio = kBoxes[field] == kRatioBox && number == 0;
    return noRatio || (number >= kSensibleRanges[field].lowest && number <= kSensibleRanges[field].highest);
}
// clang-format on
} // namespace

SettingsBinding::SettingsBinding(TrainerView& view, SpeedPitch& speedPitch, GroupDrill& groups,
                                 std::string settingsFolder)
    : view_(view), speedPitch_(speedPitch), groups_(groups),
      settingsFolder_(std::move(settingsFolder)) {}

void SettingsBinding::activate() {
    if (store_.open(progpath::join(settingsFolder_, progpath::kSettingsFileName))) {
        if (const auto record = store_.firstRecord())
            filled_ = fill(*record);
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
SettingsRecord SettingsBinding::fill(const SettingsRecord& stored) {
    SettingsRecord shown = stored;
    for (std::size_t i = 0; i < kSettingsFields.size(); ++i) {
        std::string& value = shown.*kSettingsFields[i].member;
        if (!sensible(i, numtext::leadingNumber(value)))
            value = kSettingsFields[i].fallback;
        view_.setText(kBoxes[i], value);
    }
    return shown;
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
