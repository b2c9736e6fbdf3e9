#include "drills/group_drill.h"

GroupDrill::GroupDrill(TrainerState& state, TrainerView& view, Keyer& keyer, RandomSource& random)
    : state_(state), view_(view), keyer_(keyer), random_(random) {}

void GroupDrill::fillSymbols() {}
void GroupDrill::openPanel() {}
void GroupDrill::chooseSet(Control) {}
void GroupDrill::run() {}
void GroupDrill::stopOrRestart() {}
