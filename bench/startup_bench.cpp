// The trainer's window as the program builds it (real sound output started after the first paint,
// settings activation, the start picture), in the program folder given (a fresh temporary one
// without a picture when none is), timed and held by startup_probe.h; before
// "ready" it prints its census line (control_census.h) for the bare window it is compared with.
// Run by bench/startup_figures.py (startup_bench.sh), under an X server.
#include "audio/stream_tone_output.h"
#include "control_census.h"
#include "startup_probe.h"
#include "ui/after_first_paint.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    markPhase("libraries loaded");
    QApplication app(argc, argv);
    markPhase("application made");
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    StreamToneOutput tone;
    TrainerForm form(TrainerSetup{folder.toStdString(), &tone});
    markPhase("window built");
    probeStartup(*form.centralWidget(),
                 [&form] { std::printf("census %s\n", qPrintable(censusOf(form))); });
    AfterFirstPaint startSound([&tone] { tone.start(); });
    form.centralWidget()->installEventFilter(&startSound);
    form.show();
    form.activateWindow();
    markPhase("shown");
    return QApplication::exec();
}
