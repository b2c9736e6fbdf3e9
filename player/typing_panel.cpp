#include "player/typing_panel.h"

#include "core/captions.h"
#include "core/number_text.h"
#include "core/utf8.h"

TypingPanel::TypingPanel(TrainerState& state, TrainerView& view, Keyer& keyer, TextPlayer& player)
    : state_(state), view_(view), keyer_(keyer), player_(player) {}

void TypingPanel::open() {
    // Past the bounds of the random groups drill: a running drill closes its current group and
    // ends. A running text player is left alone and plays the words it has scanned to the end.
    state_.charCounter = numtext::leadingNumber(view_.text(kGroupSizeBox)) + 1;
    state_.groupCounter = numtext::leadingNumber(view_.text(kGroupCountBox)) + 1;
    view_.setText(kDisplayLine, "");
    view_.setVisible(kGroupsPanel, false);
    view_.setVisible(kTextPanel, true);
    state_.panelMode = Panel::Text;
    view_.setText(kTextBox, "");
    view_.setFocus(kTextBox);
}

void TypingPanel::hideOrShow() {
    const std::string caption = view_.text(kHideButton);
    if (caption == caption::kHideText) {
        view_.setText(kHideButton, caption::kShowText);
        view_.setVisible(kTextBox, false);
        view_.setVisible(kDisplayLine, false);
        return;
    }
    if (caption != caption::kShowText)
        return;
    view_.setText(kHideButton, caption::kHideText);
    if (state_.panelMode == Panel::Text) {
        view_.setVisible(kTextBox, true);
        view_.setVisible(kDisplayLine, true);
        view_.setVisible(kTextPanel, true);
    } else if (state_.panelMode == Panel::Groups) {
        // Only the panels change: a text hidden before the switch stays hidden.
        view_.setVisible(kTextPanel, false);
        view_.setVisible(kGroupsPanel, true);
    }
}

void TypingPanel::clear() {
    view_.setText(kTextBox, "");
    view_.repaint(kTextBox);
    player_.skip();
}

void TypingPanel::echoKey(int code) {
    if (!view_.isChecked(kEchoKeysBox))
        return;
    // A plain subtraction, not a case conversion: besides a to z every code above 90 moves
    // down by 32, so "]" sounds as "=" and "_" as "?". The key itself reaches the box unchanged.
    state_.typedKey = code > 'Z' ? code - 32 : code;
    state_.currentChar.clear();
    utf8::append(state_.currentChar, static_cast<char32_t>(state_.typedKey));
    keyer_.sendCharacter();
}
