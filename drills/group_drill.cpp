#include "drills/group_drill.h"

#include "shell/number_text.h"

#include <array>
#include <cmath>
#include <string_view>

namespace {
// The symbol table in its fixed order: the character sets are runs of consecutive positions.
constexpr std::string_view kSymbols = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/.,?=-";
static_assert(kSymbols.size() == TrainerState::kSymbolCount);

struct CharacterSet {
    Control option;
    int start;
    int width;
};

// Every letter set is seven wide, so the captions name them only roughly: "a to f" runs on to G,
// and "v to z" starts at T, sharing T and U with "o to u".
constexpr std::array<CharacterSet, 7> kSets = {{
    {Control::Option1, 0, 42},  // Semua
    {Control::Option2, 0, 26},  // Huruf
    {Control::Option3, 26, 10}, // Angka
    {Control::Option6, 0, 7},
    {Control::Option7, 7, 7},
    {Control::Option8, 14, 7},
    {Control::Option9, 19, 7},
}};

constexpr int kWholeTable = TrainerState::kSymbolCount;
constexpr int kGroupsPlaying = 3;
constexpr std::string_view kStopCaption = "Stop";
constexpr std::string_view kRestartCaption = "Jalan";
} // namespace

GroupDrill::GroupDrill(TrainerState& state, TrainerView& view, Keyer& keyer, RandomSource& random)
    : state_(state), view_(view), keyer_(keyer), random_(random) {}

void GroupDrill::fillSymbols() {
    for (std::size_t i = 0; i < kSymbols.size(); ++i)
        state_.symbols[i] = std::string(1, kSymbols[i]);
}

void GroupDrill::openPanel() {
    view_.setText(Control::Text1, "");
    // The option buttons keep whatever they show: opening the panel always means the whole table.
    state_.charSetWidth = kWholeTable;
    state_.charSetStart = 0;
    view_.setVisible(Control::Frame1, true);
    view_.setVisible(Control::Frame2, false);
    state_.panelMode = 1;
}

void GroupDrill::chooseSet(Control option) {
    for (const CharacterSet& set : kSets) {
        if (set.option != option)
            continue;
        state_.charSetStart = set.start;
        state_.charSetWidth = set.width;
    }
}

void GroupDrill::run() {
    view_.setEnabled(Control::Command19, true);
    // The text panel's Pause is enabled too, but a group run cannot be paused: Pause and its
    // resume act only on the text player and the word drill, and a click on it while groups
    // play changes nothing. The run's own Stop/Jalan button is the way to end and restart it.
    view_.setEnabled(Control::Command20, true);
    view_.setText(Control::command1, "");
    state_.playMode = kGroupsPlaying;
    state_.groupCounter = 0;
    // The counters are the only way a run is ended from outside: Stop, another run started
    // inside a yield, or another panel moves them past the bounds, which are read afresh from
    // the boxes at every check.
    while (view_.yield()) {
        state_.groupCounter += 1;
        if (state_.groupCounter > numtext::leadingNumber(view_.text(Control::Text3)))
            return;
        playGroup();
    }
}

void GroupDrill::playGroup() {
    state_.charCounter = 0;
    while (view_.yield()) {
        state_.charCounter += 1;
        if (state_.charCounter > numtext::leadingNumber(view_.text(Control::Text2)))
            break;
        drawSymbol();
        // On screen before it sounds, so the learner can check each character as it is heard.
        appendToGroups(state_.currentChar);
        keyer_.delayUnit();
        keyer_.sendCharacter();
        view_.moveCaretToEnd(Control::command1);
    }
    view_.moveCaretToEnd(Control::command1);
    appendToGroups(" ");
    keyer_.gap(8);
    view_.moveCaretToEnd(Control::command1);
}

void GroupDrill::drawSymbol() {
    state_.pickIndex =
        static_cast<int>(std::floor(random_.next() * state_.charSetWidth)) + state_.charSetStart;
    state_.currentChar = state_.symbols[static_cast<std::size_t>(state_.pickIndex)];
}

void GroupDrill::appendToGroups(const std::string& text) {
    view_.setText(Control::command1, view_.text(Control::command1) + text);
}

void GroupDrill::stopOrRestart() {
    state_.groupCounter = 2 * numtext::leadingNumber(view_.text(Control::Text3));
    state_.charCounter = 2 * numtext::leadingNumber(view_.text(Control::Text2));
    const std::string caption = view_.text(Control::Command21);
    if (caption == kStopCaption) {
        view_.setText(Control::Command21, kRestartCaption);
    } else if (caption == kRestartCaption) {
        view_.setText(Control::Command21, kStopCaption);
        run();
    }
}
