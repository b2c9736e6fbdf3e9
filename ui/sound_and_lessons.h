#pragma once

#include <QString>
#include <string>

class TrainerForm;
class ProgressStore;
namespace koch {
struct Standing;
}

// "Export sound…": asks for a file name and writes the text in the box, or a fresh run of random
// groups when the groups panel was opened last or the box is empty, with the window's settings.
// A progress window with Cancel shows while it writes; a failure is said there.
void exportSoundOfWindow(TrainerForm& form);

// "Koch lesson…": offers the next lesson the progress file suggests (the first one before any
// check), then opens the groups panel on that lesson's characters.
void chooseKochLesson(TrainerForm& form, ProgressStore& store);

// How the learner stands in their Koch lesson, in a sentence, and what to do next.
QString kochAdvice(const koch::Standing& standing);

// `vornik --export TEXT-FILE SOUND-FILE`: keys the text file, read as the library reads it, with
// the stored settings, into the sound file. No window; a QApplication must exist. Returns the
// exit status; a failure is one line on stderr.
int runExportCommand(const std::string& textFile, const std::string& soundFile);
