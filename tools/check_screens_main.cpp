// check-screens CHECK.png PROGRESS.png: pictures of the check window after a checked copy and of
// the progress window over a few weeks of checks, for the README. Runs headless
// (QT_QPA_PLATFORM=offscreen) in a temporary program folder; plays nothing aloud.
#include "storage/program_path.h"
#include "storage/progress_store.h"
#include "ui/check_menu.h"
#include "ui/check_window.h"
#include "ui/progress_window.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {
class Silence : public ToneOutput {
public:
    void playTone(const Tone&) override {}
};

// Four weeks of a learner's checks up to yesterday, getting better with a wobble.
void fillWeeks(ProgressStore& store) {
    const std::int64_t start = QDateTime::currentSecsSinceEpoch() - 29 * 86400;
    for (int day = 0; day < 28; ++day) {
        ProgressEntry entry;
        entry.time = start + day * 86400 + 19 * 3600;
        entry.kind = "random groups";
        entry.source = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        entry.sent = 100;
        entry.characterWpm = 17.2;
        entry.effectiveWpm = 12.4;
        entry.accuracy = 62 + day * 1.2 + (day * 7 % 5) * 2;
        entry.correct = static_cast<int>(entry.accuracy);
        for (const char* symbol : {"B", "H", "S", "V", "5", "Q", "Y"})
            entry.characters.push_back({symbol, 4, (day + symbol[0]) % 5 < 2 ? 1 : 0});
        store.save(entry);
    }
}
} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: check-screens CHECK.png PROGRESS.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    QTemporaryDir folder;
    Silence silence;
    TrainerForm form(TrainerSetup{folder.path().toStdString(), &silence});
    for (auto [box, value] : {std::pair{Control::Text4, "3000"},
                              {Control::Text5, "250"},
                              {Control::Text6, "700"},
                              {Control::Text7, "2.8"}})
        form.setText(box, value);
    form.trainer().speedPitch.activateLengths();
    form.trainer().speedPitch.activatePitchAndDelay();
    form.trainer().groups.fillSymbols();
    form.trainer().groups.openPanel();
    form.setText(kGroupSizeBox, "5");
    form.setText(kGroupCountBox, "6");
    form.trainer().sent.markNewRun();
    form.trainer().groups.run();

    // The copy with a character read wrong and one missed.
    QString copy = QString::fromStdString(form.text(kGroupsOutput));
    copy[1] = copy[1] == QChar('S') ? QChar('H') : QChar('S');
    copy.remove(8, 1);
    auto* menu = form.findChild<CheckMenu*>();
    CheckWindow* check = menu->openCheckWindow();
    check->copyBox()->setPlainText(copy);
    check->check();
    const bool checkSaved = check->grab().save(QString::fromLocal8Bit(argv[1]));

    ProgressStore store(progpath::join(folder.path().toStdString(), CheckMenu::kProgressFileName));
    fillWeeks(store);
    ProgressWindow progress(store, nullptr);
    progress.show();
    QApplication::processEvents();
    const bool progressSaved = progress.grab().save(QString::fromLocal8Bit(argv[2]));
    std::printf("Wrote %s and %s\n", argv[1], argv[2]);
    return checkSaved && progressSaved ? 0 : 1;
}
