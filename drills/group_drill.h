#pragma once

#include "engine/keyer.h"

#include <string_view>

// Random character groups: a chosen number of groups of random symbols from a chosen set, each
// symbol written into the groups box just before it sounds.
class GroupDrill {
public:
    GroupDrill(TrainerState& state, TrainerView& view, Keyer& keyer, RandomSource& random);

    void fillSymbols();             // the 42 symbols, at the end of the first activation
    void openPanel();               // "Rawak/Random"
    void chooseSet(Control option); // Option1 to Option3, Option6 to Option9
    // A set of the learner's own (a Koch lesson): `characters`, each a symbol of the table, are
    // written over the start of the table and drawn from, each equally likely. Opening the panel
    // or choosing one of its sets puts the table back as it was.
    void chooseCharacters(std::string_view characters);
    void run();           // "Go rawak/random": returns when the run has ended
    void stopOrRestart(); // Command21: "Stop" or "Jalan"

private:
    void playGroup();
    void drawSymbol();

    TrainerState& state_;
    TrainerView& view_;
    Keyer& keyer_;
    RandomSource& random_;
};
