#include "bench/goal.h"
#include "process_memory.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

// A learner may leave continuous play running for hours: texts chain without end, so neither
// the stack nor memory may grow with the number of texts played. Plays 100,000 one-letter texts
// round a library of three and prints the stack position and resident memory at the 10th and
// the last text. Exit status kGoalMissed when either grew.
namespace {
class CountingTone : public ToneOutput {
public:
    void playTone(const Tone&) override { ++tones; }
    long tones = 0;
};
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    constexpr int kTexts = 100000;
    QTemporaryDir folder;
    for (auto [name, text] : {std::pair{"a.txt", "E"}, {"b.txt", "T"}, {"c.txt", "I"}}) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != 1)
            return 1;
    }
    QDir::setCurrent(folder.path());
    CountingTone tone;
    TrainerForm form(TrainerSetup{folder.path().toStdString(), &tone});
    form.setFilePattern(SettingsBinding::kLibraryPattern);
    form.state().gapRepeats = 3;
    form.setText(kStoredPitch, "700");
    form.trainer().library.choose(0);
    const char *firstStack = nullptr, *lastStack = nullptr;
    long memoryAtStart = 0, memoryAtEnd = 0;
    int texts = 0, lastIndex = -1;
    form.setYieldHook([&](long) {
        char here;
        if (form.state().fileIndex == lastIndex && form.state().wordIndex != 0)
            return;
        lastIndex = form.state().fileIndex;
        if (++texts == 10) {
            firstStack = &here;
            memoryAtStart = residentKb();
        }
        if (texts == kTexts) {
            lastStack = &here;
            memoryAtEnd = residentKb();
            form.trainer().player.stop();
        }
    });
    form.trainer().player.go();
    const bool flat = lastStack == firstStack && memoryAtEnd - memoryAtStart < 2048;
    std::printf("continuous play: %d texts, %ld tones; stack %s; resident memory %ld kB after 10 "
                "texts, %ld kB after %d (goal: flat, < 2 MB growth) %s\n",
                texts, tone.tones, lastStack == firstStack ? "flat" : "GREW", memoryAtStart,
                memoryAtEnd, kTexts, flat ? "met" : "NOT MET");
    return flat ? 0 : kGoalMissed;
}
