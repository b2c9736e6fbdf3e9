#include "audio/portaudio_tone_output.h"
#include "storage/program_path.h"
#include "storage/user_library.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <QTimer>
#include <string_view>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The applications menu starts the trainer with "--library", so that it lists the learner's
    // own texts rather than whatever folder the desktop happened to start it in.
    if (argc > 1 && std::string_view(argv[1]) == "--library")
        progpath::enterUserLibrary(progpath::programFolder());
    PortAudioToneOutput tone;
    TrainerForm form(TrainerSetup{progpath::programFolder(), &tone, BusyWait(0)});
    form.show();
    form.activateWindow();
    // The busy-wait is measured once the window has been painted and the machine has settled
    // from building it: measured while another thread competes for the core, an iteration looks
    // slow and every silence of the run comes out too short. No learner clicks within this time.
    QTimer::singleShot(200, &form, [&form] { form.setBusyWait(BusyWait::calibrated()); });
    return QApplication::exec();
}
