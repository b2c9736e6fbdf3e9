#include "audio/sound_system.h"
#include "audio/stream_tone_output.h"
#include "storage/program_path.h"
#include "storage/user_library.h"
#include "ui/after_first_paint.h"
#include "ui/sound_and_lessons.h"
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
    if (argc > 1 && std::string_view(argv[1]) == "--help") {
        std::printf("usage: vornik [--library]     the trainer's window (--library: your own "
                    "library of texts)\n"
                    "       vornik --export TEXT-FILE SOUND-FILE\n"
                    "                              key TEXT-FILE as the text player would, with "
                    "the settings\n"
                    "                              in laju.mdb, into SOUND-FILE (.wav, .flac, .ogg "
                    "or .mp3);\n"
                    "                              no window, no sound\n"
                    "       vornik --version       the version and the sound output it would use\n"
                    "       vornik --help          this text\n");
        return 0;
    }
    // Batch use: nothing is shown, so no display is needed either.
    if (argc > 1 && std::string_view(argv[1]) == "--export") {
        if (argc != 4) {
            std::fprintf(stderr, "usage: vornik --export TEXT-FILE SOUND-FILE\n");
            return 2;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // A failure is the one line the command prints; Qt's own notes would only add noise.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        QApplication app(argc, argv);
        return runExportCommand(argv[2], argv[3]);
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
