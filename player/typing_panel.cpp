#include "player/typing_panel.h"

#include "shell/number_text.h"
#include "shell/utf8.h"

namespace {
// The hide/show button keeps its state in its caption.
constexpr std::string_view kHideCaption = "Hilangkan Teks";
constexpr std::string_view kShowCaption = "Lihat Teks";

constexpr int kGroupsPanel = 1;
constexpr int kTextPanel = 2;
} // namespace

TypingPanel::TypingPanel(TrainerState& state, TrainerView& view, Keyer& keyer, TextPlayer& player)
    : state_(state), view_(view), keyer_(keyer), player_(player) {}

void TypingPanel::open() {
    // Past the bounds of the random groups drill: a running drill closes its current group and
    // ends. A running text player is left alone and plays the words it has scanned to the end.
    state_.charCounter = numtext::leadingNumber(view_.text(Control::Text2)) + 1;
    state_.groupCounter = numtext::leadingNumber(view_.text(Control::Text3)) + 1;
    view_.setText(Control::Command6, "");
    view_.setVisible(Control::Frame1, false);
    view_.setVisible(Control::Frame2, true);
    state_.panelMode = kTextPanel;
    view_.setText(Control::rtf, "");
    view_.setFocus(Control::rtf);
}

void TypingPanel::hideOrShow() {
    const std::string caption = view_.text(Control::Command18);
    if (caption == kHideCaption) {
        view_.setText(Control::Command18, kShowCaption);
        view_.setVisible(Control::rtf, false);
        view_.setVisible(Control::Command6, false);
        return;
    }
    if (caption != kShowCaption)
        return;
    view_.setText(Control::Command18, kHideCaption);
    if (state_.panelMode == kTextPanel) {
        view_.setVisible(Control::rtf, true);
        view_.setVisible(Control::Command6, true);
        view_.setVisible(Control::Frame2, true);
    } else if (state_.panelMode == kGroupsPanel) {
        // Only the panels change: a text hidden before the switch stays hidden.
        view_.setVisible(Control::Frame2, false);
        view_.setVisible(Control::Frame1, true);
    }
}

void TypingPanel::clear() {
    view_.setText(Control::rtf, "");
    view_.repaint(Control::rtf);
    player_.skip();
}

void TypingPanel::echoKey(int code) {
    if (!view_.isChecked(Control::Check2))
        return;
    // A plain subtraction, not a case conversion: besides a to z every code above 90 moves
    // down by 32, so "]" sounds as "=" and "_" as "?". The key itself reaches the box unchanged.
    state_.typedKey = code > 'Z' ? code - 32 : code;
    state_.currentChar.clear();
    utf8::append(state_.currentChar, static_cast<char32_t>(state_.typedKey));
    keyer_.sendCharacter();
}
