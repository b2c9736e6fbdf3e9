#include "audio/portaudio_tone_output.h"
#include "storage/program_path.h"
#include "ui/trainer_form.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PortAudioToneOutput tone;
    TrainerForm form(TrainerSetup{progpath::programFolder(), &tone});
    form.show();
    form.activateWindow();
    return QApplication::exec();
}
