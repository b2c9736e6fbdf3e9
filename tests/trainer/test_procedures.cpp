#include "core/captions.h"
#include "rig.h"

#include "test_classes.h"
#include <map>
#include <set>

// What each drill, the player and the typing panel show and key when nothing interrupts them.
namespace {

std::string groupSizes(const std::string& box) {
    std::string sizes;
    for (std::size_t start = 0, blank; (blank = box.find(' ', start)) != std::string::npos;
         start = blank + 1)
        sizes += (sizes.empty() ? "" : " ") + std::to_string(blank - start);
    return sizes;
}

std::set<char> symbolsIn(const std::string& box) {
    std::set<char> out(box.begin(), box.end());
    out.erase(' ');
    return out;
}

// The word positions a word run draws, in order.
std::vector<int> draws(Rig& rig) {
    std::map<int, int> byWord;
    rig.view.onYield = [&](long) {
        if (rig.state.groupCounter >= 1)
            byWord[static_cast<int>(rig.state.groupCounter)] = rig.state.pickIndex;
        return true;
    };
    rig.t.words.start();
    std::vector<int> out;
    for (const auto& entry : byWord)
        out.push_back(entry.second);
    return out;
}

} // namespace

class ProceduresTest : public QObject {
    Q_OBJECT
private slots:
    void groupsFollowTheBoxes() {
        const struct {
            const char *perGroup, *groups, *sizes;
        } rows[] = {{"5", "3", "5 5 5"}, {"5", "0", ""},    {"2", "3.7", "2 2 2"},
                    {"2.9", "2", "2 2"}, {"5", "-2", ""},   {"2", "  2 kumpulan", "2 2"},
                    {"0", "3", "0 0 0"}, {"-1", "2", "0 0"}};
        for (const auto& row : rows) {
            Rig rig;
            rig.t.groups.openPanel();
            rig.view.texts[kGroupSizeBox] = row.perGroup;
            rig.view.texts[kGroupCountBox] = row.groups;
            rig.t.groups.run();
            const std::string box = rig.view.text(kGroupsOutput);
            QCOMPARE(groupSizes(box), std::string(row.sizes));
            QCOMPARE(rig.trace.heard(), symbolsIn(box).empty() ? "" : box);
            QCOMPARE(rig.state.playMode, PlayMode::Groups);
        }
    }

    // Opening the panel again means the whole table, drawn evenly, whatever option shows.
    void openedPanelDrawsTheWholeTableEvenly() {
        Rig rig;
        rig.t.groups.chooseSet(Control::Option3);
        rig.t.groups.openPanel();
        rig.view.texts[kGroupSizeBox] = "42";
        rig.view.texts[kGroupCountBox] = "1000";
        rig.state.delayLimit = 0;
        rig.t.groups.run();
        std::map<char, int> counts;
        for (char c : rig.view.text(kGroupsOutput))
            counts[c] += 1;
        counts.erase(' ');
        QCOMPARE(counts.size(), std::size_t(42));
        // 1000 expected of each; five standard deviations (about 31) either way.
        for (const auto& [symbol, count] : counts)
            QVERIFY2(count >= 845 && count <= 1155,
                     qPrintable(QString("%1: %2").arg(symbol).arg(count)));
    }

    void wordRunsOverATextKeyUpperShowAsTyped() {
        // clang-format off
        const std::pair<const char*, std::string> rows[] = {
            {"", " "}, {"  \r\n", "     "}, {"ya", "ya ya ya "}, {"Qso", "Qso Qso Qso Qso "},
            {"it's", "it's it's it's it's it's "}, {" ok   ", "ok ok ok ok ok ok ok "}, {"é", "é é "}};
        // clang-format on
        for (const auto& [text, shown] : rows) {
            Rig rig;
            rig.view.texts[kTextBox] = text;
            rig.t.words.start();
            QCOMPARE(rig.view.text(kDisplayLine), shown);
            QCOMPARE(rig.state.playMode, PlayMode::Words);
        }
        Rig rig;
        rig.view.texts[kTextBox] = "Qso";
        rig.t.words.start();
        QCOMPARE(rig.trace.heard(), std::string("QSO QSO QSO QSO "));
    }

    void everyWordIsEquallyLikelyAndEveryRunSeedsAfresh() {
        Rig rig;
        std::string text = "pagi siang sore malam subuh";
        text.resize(10000, ' '); // blanks lengthen the run to the scanner's limit: 10001 draws
        rig.view.texts[kTextBox] = text;
        rig.state.delayLimit = 0;
        std::map<int, int> counts;
        for (int position : draws(rig))
            counts[position] += 1;
        QCOMPARE(counts.size(), std::size_t(5));
        for (const auto& [position, count] : counts) // 2000 expected; five deviations (40) off
            QVERIFY2(count >= 1800 && count <= 2200, qPrintable(QString::number(count)));
        Rig first, second;
        for (Rig* r : {&first, &second})
            r->view.texts[kTextBox] = "a b c d e f g h i j k l m n o p q r s t u v w x y z";
        QVERIFY(draws(first) != draws(second));
    }

    void textPlaysWordByWord() {
        // clang-format off
        const struct {
            const char *text, *heard, *shown, *words;
        } rows[] = {{"it is", "IT IS ", "it is ", " 2 PERKATAAN SEMUANYA"},
                    {"Ok", "OK ", "Ok ", " 1 PERKATAAN SEMUANYA"},
                    {"no,\tgo?", "NO, GO? ", "no,\tgo? ", " 1 PERKATAAN SEMUANYA"},
                    {"café 5", "CAF 5 ", "café 5 ", " 2 PERKATAAN SEMUANYA"},
                    {"", "", "", " 0 PERKATAAN SEMUANYA"}};
        // clang-format on
        for (const auto& row : rows) {
            Rig rig;
            rig.view.texts[kTextBox] = row.text;
            rig.view.texts[kDisplayLine] = "left from before";
            rig.t.player.go();
            QCOMPARE(QString::fromStdString(rig.trace.heard()), QString(row.heard));
            QCOMPARE(rig.view.text(kDisplayLine), std::string(row.shown));
            QCOMPARE(rig.view.text(kWordTotalLabel), std::string(row.words));
        }
        // The display line starts afresh after every fifteen words.
        for (auto [words, shown] :
             {std::pair{14, "e e e e e e e e e e e e e e "}, {15, " "}, {16, " e "}, {30, " "}}) {
            Rig rig;
            rig.view.texts[kTextBox] = QByteArray("e ").repeated(words).toStdString();
            rig.t.player.go();
            QCOMPARE(rig.view.text(kDisplayLine), std::string(shown));
            QCOMPARE(rig.view.text(kWordsPlayedLabel), std::to_string(words));
        }
    }

    void pauseButtonActsOnlyOnTheTextOrTheWords() {
        for (PlayMode mode : {PlayMode::None, PlayMode::Groups})
            for (auto caption : {caption::kPause, caption::kResume}) {
                Rig rig;
                rig.view.texts[kTextBox] = "ab";
                rig.view.texts[kPauseButton] = caption;
                rig.state.playMode = mode;
                rig.t.pauseButton.click();
                QCOMPARE(rig.trace.tones().size(), std::size_t(0));
                QCOMPARE(rig.view.text(kPauseButton), std::string(caption));
            }
    }

    void hideAndShowFollowTheLastPanel() {
        // steps: t opens typing, g the groups panel, h clicks "Hilangkan Teks"/"Lihat Teks";
        // then: groups panel shown, text panel shown, text shown
        const struct {
            const char* steps;
            bool groups, textPanel, text;
        } rows[] = {{"th", false, true, false},     {"thh", false, true, true},
                    {"thgh", true, false, false},   {"thght", false, true, false},
                    {"thghth", false, true, false}, {"thghthh", false, true, true},
                    {"h", false, false, false},     {"hh", false, false, false}};
        for (const auto& row : rows) {
            Rig rig;
            rig.view.texts[kHideButton] = std::string(caption::kHideText);
            for (const char* step = row.steps; *step; ++step)
                *step == 't'   ? rig.t.typing.open()
                : *step == 'g' ? rig.t.groups.openPanel()
                               : rig.t.typing.hideOrShow();
            QCOMPARE(rig.view.isVisible(kGroupsPanel), row.groups);
            QCOMPARE(rig.view.isVisible(kTextPanel), row.textPanel);
            QCOMPARE(rig.view.isVisible(kTextBox), row.text);
            QCOMPARE(rig.view.isVisible(kDisplayLine), row.text);
        }
    }
};

VORNIK_TEST(ProceduresTest)
#include "test_procedures.moc"
