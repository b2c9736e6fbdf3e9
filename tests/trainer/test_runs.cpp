#include "core/captions.h"
#include "rig.h"

#include "test_classes.h"
#include <algorithm>

// The three runs (random groups, random words, the text player), each interrupted at every one
// of its yields by every action a learner can take between two characters. What must hold every
// time: the run ends; after Stop or a close no tone follows; a pause and its resume hear every
// character once, in order; the line on screen is the tail of what was heard.
namespace {

enum class Act { Stop, PauseResume, Skip, GoAgain, OpenTextPanel, Close };
enum class Run { Groups, Words, Text };
const char* const kText = "ab cd efg";

std::string lettersOf(std::string text) {
    std::erase(text, ' ');
    std::ranges::transform(text, text.begin(), [](char c) { return char(std::toupper(c)); });
    return text;
}

struct Trial {
    Rig rig;
    Run run;
    std::size_t tonesAtAction = 0;
    bool acted = false;

    explicit Trial(Run r) : run(r) {
        rig.view.texts[kTextBox] = kText;
        rig.view.texts[kGroupSizeBox] = "3";
        rig.view.texts[kGroupCountBox] = "2";
        rig.view.texts[kGroupsStopButton] = std::string(caption::kStop);
        rig.view.texts[kPauseButton] = std::string(caption::kPause);
        if (run == Run::Groups)
            rig.t.groups.openPanel();
    }
    void start() {
        run == Run::Groups  ? rig.t.groups.run()
        : run == Run::Words ? rig.t.words.start()
                            : rig.t.player.go();
    }
    // What a click does in the middle of the run; false when it closes the window.
    bool act(Act act) {
        acted = true;
        tonesAtAction = rig.trace.tones().size();
        if (act == Act::Stop)
            run == Run::Groups ? rig.t.groups.stopOrRestart() : rig.t.player.stop();
        else if (act == Act::PauseResume)
            rig.t.pauseButton.click();
        else if (act == Act::Skip)
            rig.t.player.skip();
        else if (act == Act::GoAgain)
            start();
        else if (act == Act::OpenTextPanel)
            rig.t.typing.open();
        return act != Act::Close;
    }
    std::string shown() const {
        return lettersOf(rig.view.text(run == Run::Groups ? kGroupsOutput : kDisplayLine));
    }
};

} // namespace

class RunsTest : public QObject {
    Q_OBJECT
private slots:
    void everyActionAtEveryYield() {
        for (Run run : {Run::Groups, Run::Words, Run::Text})
            for (Act act : {Act::Stop, Act::PauseResume, Act::Skip, Act::GoAgain,
                            Act::OpenTextPanel, Act::Close})
                actAtEveryYield(run, act);
    }

private:
    void actAtEveryYield(Run run, Act act) {
        Trial uninterrupted(run);
        uninterrupted.start();
        const long yields = uninterrupted.rig.view.yields;
        QVERIFY(yields > 5);
        for (long k = 1; k <= yields + 1; ++k) {
            Trial trial(run);
            trial.rig.atYield(k, [&] { return trial.act(act); });
            // A run that never ends would spin here; a ceiling on the yields turns that into a
            // failure instead of a hang.
            const auto inner = trial.rig.view.onYield;
            trial.rig.view.onYield = [&, inner](long n) { return n < 100 * yields && inner(n); };
            trial.start();
            const QString where = QString("run %1, action %2, at yield %3 of %4")
                                      .arg(int(run))
                                      .arg(int(act))
                                      .arg(k)
                                      .arg(yields);
            QVERIFY2(trial.rig.view.yields < 100 * yields, qPrintable("endless " + where));
            if (act == Act::PauseResume && run != Run::Groups) {
                trial.rig.view.onYield = {};
                trial.rig.t.pauseButton.click(); // "Jalan"
            }
            const std::string heard = lettersOf(trial.rig.trace.heard());
            const bool silenced = act == Act::Close || act == Act::Stop ||
                                  (act == Act::OpenTextPanel && run == Run::Groups);
            QVERIFY2(!silenced || !trial.acted ||
                         trial.rig.trace.tones().size() == trial.tonesAtAction,
                     qPrintable("tone after the click, " + where));
            const bool wholeText = act == Act::PauseResume || act == Act::GoAgain;
            QVERIFY2(run != Run::Text || !wholeText ||
                         (act == Act::PauseResume ? heard == lettersOf(kText)
                                                  : heard.ends_with(lettersOf(kText))),
                     qPrintable(where + ": " + QString::fromStdString(heard)));
            QVERIFY2(heard.ends_with(trial.shown()),
                     qPrintable(QString("%1: heard %2, shown %3")
                                    .arg(where, heard.c_str(), trial.shown().c_str())));
        }
    }
};

VORNIK_TEST(RunsTest)
#include "test_runs.moc"
