#include "shell/portaudio_tone_output.h"
#include "shell/program_path.h"
#include "shell/ui/trainer_form.h"

#include <QApplication>
#include <QTimer>
#include <future>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The busy-wait is measured on another core while the window is built, so the measurement
    // does not hold up the first paint; the window takes it as soon as its event loop runs.
    auto calibration = std::async(std::launch::async, [] { return BusyWait::calibrated(); });
    PortAudioToneOutput tone;
    TrainerForm form(TrainerSetup{progpath::programFolder(), &tone, BusyWait(0)});
    form.show();
    form.activateWindow();
    QTimer::singleShot(0, &form, [&] { form.setBusyWait(calibration.get()); });
    return QApplication::exec();
}
