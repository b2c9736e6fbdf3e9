#include "audio/portaudio_tone_output.h"
#include "storage/program_path.h"
#include "storage/user_library.h"
#include "ui/after_first_paint.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <string_view>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The applications menu starts the trainer with "--library", so that it lists the learner's
    // own texts rather than whatever folder the desktop happened to start it in.
    if (argc > 1 && std::string_view(argv[1]) == "--library")
        progpath::enterUserLibrary(progpath::programFolder());
    // Nothing but the window on the way to its first paint: the sound output starts after it.
    PortAudioToneOutput tone;
    TrainerForm form(TrainerSetup{progpath::programFolder(), &tone});
    AfterFirstPaint startSound([&tone] { tone.start(); });
    form.centralWidget()->installEventFilter(&startSound);
    form.show();
    form.activateWindow();
    return QApplication::exec();
}
