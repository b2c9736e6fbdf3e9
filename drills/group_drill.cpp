#include "drills/group_drill.h"

#include "core/captions.h"
#include "core/number_text.h"

#include <algorithm>
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
} // namespace

GroupDrill::GroupDrill(TrainerState& state, TrainerView& view, Keyer& keyer, RandomSource& random)
    : state_(state), view_(view), keyer_(keyer), random_(random) {}

void GroupDrill::fillSymbols() {
    for (std::size_t i = 0; i < kSymbols.size(); ++i)
        state_.symbols[i] = std::string(1, kSymbols[i]);
}

void GroupDrill::openPanel() {
    view_.setText(kSaveNameBox, "");
    fillSymbols();
    // The option buttons keep whatever they show: opening the panel always means the whole table.
    state_.charSetWidth = kWholeTable;
    state_.charSetStart = 0;
    view_.setVisible(kGroupsPanel, true);
    view_.setVisible(kTextPanel, false);
    state_.panelMode = Panel::Groups;
}

void GroupDrill::chooseSet(Control option) {
    fillSymbols();
    for (const CharacterSet& set : kSets) {
        if (set.option != option)
            continue;
        state_.charSetStart = set.start;
        state_.charSetWidth = set.width;
    }
}

void GroupDrill::chooseCharacters(std::string_view characters) {
    fillSymbols();
    const std::size_t count = std::min(characters.size(), state_.symbols.size());
    for (std::size_t i = 0; i < count; ++i)
        state_.symbols[i] = std::string(1, characters[i]);
    state_.charSetStart = 0;
    state_.charSetWidth = static_cast<int>(count);
}

void GroupDrill::run() {
    view_.setEnabled(kTextStopButton, true);
    // The text panel's Pause is enabled too, but a group run cannot be paused: Pause and its
    // resume act only on the text player and the word drill, and a click on it while groups
    // play changes nothing. The run's own Stop/Jalan button is the way to end and restart it.
    view_.setEnabled(kPauseButton, true);
    view_.setText(kGroupsOutput, "");
    state_.playMode = PlayMode::Groups;
    state_.groupCounter = 0;
    // The counters are the only way a run is ended from outside: Stop, another run started
    // inside a yield, or another panel moves them past the bounds, which are read afresh from
    // the boxes at every check.
    while (view_.yield()) {
        state_.groupCounter += 1;
        if (state_.groupCounter > numtext::leadingNumber(view_.text(kGroupCountBox)))
            return;
        playGroup();
    }
}

void GroupDrill::playGroup() {
    state_.charCounter = 0;
    while (view_.yield()) {
        state_.charCounter += 1;
        if (state_.charCounter > numtext::leadingNumber(view_.text(kGroupSizeBox)))
            break;
        drawSymbol();
        // On screen before it sounds, so the learner can check each character as it is heard.
        view_.appendText(kGroupsOutput, state_.currentChar);
        keyer_.delayUnit();
        keyer_.sendCharacter();
        view_.moveCaretToEnd(kGroupsOutput);
    }
    view_.moveCaretToEnd(kGroupsOutput);
    view_.appendText(kGroupsOutput, " ");
    keyer_.gap(8);
    view_.moveCaretToEnd(kGroupsOutput);
}

void GroupDrill::drawSymbol() {
    state_.pickIndex =
        static_cast<int>(std::floor(random_.next() * state_.charSetWidth)) + state_.charSetStart;
    state_.currentChar = state_.symbols[static_cast<std::size_t>(state_.pickIndex)];
}

void GroupDrill::stopOrRestart() {
    state_.groupCounter = 2 * numtext::leadingNumber(view_.text(kGroupCountBox));
    state_.charCounter = 2 * numtext::leadingNumber(view_.text(kGroupSizeBox));
    const std::string caption = view_.text(kGroupsStopButton);
    if (caption == caption::kStop) {
        view_.setText(kGroupsStopButton, caption::kResume);
    } else if (caption == caption::kResume) {
        view_.setText(kGroupsStopButton, caption::kStop);
        run();
    }
}
