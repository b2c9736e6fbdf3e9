#include "audio/portaudio_tone_output.h"
#include "storage/program_path.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
