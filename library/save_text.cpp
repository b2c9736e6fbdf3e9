#include "library/save_text.h"

SaveText::SaveText(TrainerView& view, std::string programFolder)
    : view_(view), programFolder_(std::move(programFolder)) {}

void SaveText::togglePanel() {}
void SaveText::clearName() {}
void SaveText::save() {}
void SaveText::cancel() {}
