#include "audio/sound_system.h"
#include "audio/stream_tone_output.h"
#include "storage/program_path.h"
#include "storage/user_library.h"
#include "ui/after_first_paint.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <cstdio>
#include <string_view>

int main(int argc, char* argv[]) {
    // "--version" also says which sound output the trainer would play through now: what a learner
    // who hears nothing is asked first. No window, no sound.
    if (argc > 1 && std::string_view(argv[1]) == "--version") {
        std::printf("vornik %s\nsound output: %s\n", VORNIK_VERSION,
                    nameOf(availableSoundSystem()));
        return 0;
    }
    QApplication app(argc, argv);
    // The applications menu starts the trainer with "--library", so that it lists the learner's
    // own texts rather than whatever folder the desktop happened to start it in.
    if (argc > 1 && std::string_view(argv[1]) == "--library")
        progpath::enterUserLibrary(progpath::programFolder());
    // Nothing but the window on the way to its first paint: the sound output starts after it.
    StreamToneOutput tone;
    TrainerForm form(TrainerSetup{progpath::programFolder(), &tone});
    AfterFirstPaint startSound([&tone] { tone.start(); });
    form.centralWidget()->installEventFilter(&startSound);
    form.show();
    form.activateWindow();
    return QApplication::exec();
}
