// Time from process start to the window's first paint, and resident memory once started.
// Builds the window exactly as the program does (real sound output, settings activation) in a
// temporary program folder. Run it under an X server: xvfb-run -a bench/startup_bench
#include "audio/sound_system.h"
#include "audio/stream_tone_output.h"
#include "process_memory.h"
#include "ui/after_first_paint.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {
// Milliseconds since the kernel started this process (its start time is kept in clock ticks).
double msSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {
    }
    const double startSeconds = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 -
            startSeconds) *
           1000;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && atMs < 0)
            atMs = msSinceProcessStart();
        return false;
    }
    double atMs = -1;
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    StreamToneOutput tone;
    TrainerForm form(TrainerSetup{folder.path().toStdString(), &tone});
    FirstPaint paint;
    form.centralWidget()->installEventFilter(&paint);
    // As the program does: the sound output starts after the first paint.
    AfterFirstPaint startSound([&tone] { tone.start(); });
    form.centralWidget()->installEventFilter(&startSound);
    form.show();
    form.activateWindow();
    QTimer::singleShot(1500, &app, [&] {
        std::printf("first paint after process start: %.0f ms (clock tick %ld ms)\n", paint.atMs,
                    1000 / sysconf(_SC_CLK_TCK));
        // Read before the sound server is asked which output is in use.
        const double residentMb = static_cast<double>(residentKb()) / 1024;
        const double proportionalMb = static_cast<double>(proportionalKb()) / 1024;
        std::printf("resident memory after start-up: %.1f MB (PSS %.1f MB), sound output: %s\n",
                    residentMb, proportionalMb, nameOf(availableSoundSystem()));
        QApplication::quit();
    });
    return QApplication::exec();
}
