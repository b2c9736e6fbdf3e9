#include "audio/portaudio_tone_output.h"
#include "storage/program_path.h"
#include "ui/after_first_paint.h"
#include "ui/trainer_form.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Nothing but the window on the way to its first paint: the sound output starts after it.
    PortAudioToneOutput tone;
    TrainerForm form(TrainerSetup{progpath::programFolder(), &tone});
    AfterFirstPaint startSound([&tone] { tone.start(); });
    form.centralWidget()->installEventFilter(&startSound);
    form.show();
    form.activateWindow();
    return QApplication::exec();
}
