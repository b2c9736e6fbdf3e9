#include "core/captions.h"
#include "rig.h"

#include <QTest>
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
    std::size_t tonesAtAction = 0;
    bool acted = false;

    explicit Trial(Run run) {
        rig.view.texts[kTextBox] = kText;
        rig.view.texts[kGroupSizeBox] = "3";
        rig.view.texts[kGroupCountBox] = "2";
        rig.view.texts[kGroupsStopButton] = std::string(caption::kStop);
        rig.view.texts[kPauseButton] = std::string(caption::kPause);
        if (run == Run::Groups)
            rig.t.groups.openPanel();
    }
    void start(Run run) {
        if (run == Run::Groups)
            rig.t.groups.run();
        else if (run == Run::Words)
            rig.t.words.start();
        else
            rig.t.player.go();
    }
    // What a click does in the middle of `run`; false when it closes the window.
    bool act(Act act, Run run) {
        acted = true;
        tonesAtAction = rig.trace.tones().size();
        switch (act) {
        case Act::Stop:
            run == Run::Groups ? rig.t.groups.stopOrRestart() : rig.t.player.stop();
            return true;
        case Act::PauseResume:
            rig.t.pauseButton.click();
            return true;
        case Act::Skip:
            rig.t.player.skip();
            return true;
        case Act::GoAgain:
            start(run);
            return true;
        case Act::OpenTextPanel:
            rig.t.typing.open();
            return true;
        case Act::Close:
            return false;
        }
        return true;
    }
    std::string shown(Run run) const {
        return lettersOf(rig.view.text(run == Run::Groups ? kGroupsOutput : kDisplayLine));
    }
};

// How many yields the run makes when nothing interrupts it.
long yieldsOf(Run run) {
    Trial trial(run);
    trial.start(run);
    return trial.rig.view.yields;
}

} // namespace

Q_DECLARE_METATYPE(Act)
Q_DECLARE_METATYPE(Run)

class RunsTest : public QObject {
    Q_OBJECT
private slots:
    void everyActionAtEveryYield_data() {
        QTest::addColumn<Run>("run");
        QTest::addColumn<Act>("act");
        const std::pair<Run, const char*> runs[] = {
            {Run::Groups, "groups"}, {Run::Words, "words"}, {Run::Text, "text"}};
        const std::pair<Act, const char*> acts[] = {
            {Act::Stop, "Stop"},        {Act::PauseResume, "Pause+Jalan"}, {Act::Skip, "Skip"},
            {Act::GoAgain, "Go again"}, {Act::OpenTextPanel, "Taip teks"}, {Act::Close, "close"}};
        for (auto [run, runName] : runs)
            for (auto [act, actName] : acts)
                QTest::newRow(qPrintable(QString("%1, %2").arg(runName, actName))) << run << act;
    }
    void everyActionAtEveryYield() {
        QFETCH(Run, run);
        QFETCH(Act, act);
        const long yields = yieldsOf(run);
        QVERIFY(yields > 5);
        for (long k = 1; k <= yields + 1; ++k) {
            Trial trial(run);
            trial.rig.atYield(k, [&] { return trial.act(act, run); });
            // A run that never ends would spin here; a ceiling on the yields turns that into a
            // failure instead of a hang.
            const auto inner = trial.rig.view.onYield;
            trial.rig.view.onYield = [&, inner](long n) { return n < 100 * yields && inner(n); };
            trial.start(run);
            const QString where = QString("at yield %1 of %2").arg(k).arg(yields);
            QVERIFY2(trial.rig.view.yields < 100 * yields, qPrintable("endless " + where));
            if (act == Act::PauseResume && run != Run::Groups) {
                trial.rig.view.onYield = {};
                trial.rig.t.pauseButton.click(); // "Jalan"
            }
            const std::string heard = lettersOf(trial.rig.trace.heard());
            const bool silenced = act == Act::Close || act == Act::Stop ||
                                  (act == Act::OpenTextPanel && run == Run::Groups);
            if (silenced && trial.acted)
                QVERIFY2(trial.rig.trace.tones().size() == trial.tonesAtAction,
                         qPrintable("tone after the click " + where));
            if (act == Act::PauseResume && run == Run::Text)
                QVERIFY2(heard == lettersOf(kText),
                         qPrintable(where + ": " + QString::fromStdString(heard)));
            if (act == Act::GoAgain && run == Run::Text)
                QVERIFY2(heard.ends_with(lettersOf(kText)),
                         qPrintable(where + ": " + QString::fromStdString(heard)));
            QVERIFY2(heard.ends_with(trial.shown(run)),
                     qPrintable(QString("%1: heard %2, shown %3")
                                    .arg(where, heard.c_str(), trial.shown(run).c_str())));
        }
    }
};

QTEST_GUILESS_MAIN(RunsTest)
#include "test_runs.moc"
