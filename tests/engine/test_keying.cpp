#include "core/number_text.h"
#include "rig.h"

#include "test_classes.h"
#include <cmath>
#include <set>

// What the learner hears for a character, and what the speed and pitch controls change, read
// from the keying trace ("700x89 1U": a tone of 700 Hz for 89 ms, then one delay unit).
namespace {

// The International Morse code (ITU-R M.1677-1) for the 42 characters the trainer keys, typed
// from the recommendation rather than from the program's own table.
// clang-format off
const std::pair<const char*, const char*> kItu[] = {
    {"A", ".-"}, {"B", "-..."}, {"C", "-.-."}, {"D", "-.."}, {"E", "."}, {"F", "..-."},
    {"G", "--."}, {"H", "...."}, {"I", ".."}, {"J", ".---"}, {"K", "-.-"}, {"L", ".-.."},
    {"M", "--"}, {"N", "-."}, {"O", "---"}, {"P", ".--."}, {"Q", "--.-"}, {"R", ".-."},
    {"S", "..."}, {"T", "-"}, {"U", "..-"}, {"V", "...-"}, {"W", ".--"}, {"X", "-..-"},
    {"Y", "-.--"}, {"Z", "--.."}, {"1", ".----"}, {"2", "..---"}, {"3", "...--"},
    {"4", "....-"}, {"5", "....."}, {"6", "-...."}, {"7", "--..."}, {"8", "---.."},
    {"9", "----."}, {"0", "-----"}, {".", ".-.-.-"}, {",", "--..--"}, {"?", "..--.."},
    {"/", "-..-."}, {"-", "-....-"}, {"=", "-...-"}};
// clang-format on

std::string keyed(Rig& rig, const std::string& character) {
    rig.trace.clear();
    rig.state.currentChar = character;
    rig.t.keyer.sendCharacter();
    return rig.trace.text();
}

} // namespace

class KeyingTest : public QObject {
    Q_OBJECT
private slots:
    void everyCharacterAsTheInternationalCode() {
        Rig rig;
        for (auto [character, elements] : kItu) {
            std::string expected;
            for (const char* e = elements; *e; ++e)
                expected += std::string(*e == '.' ? "700x89" : "700x250") + (e[1] ? " 1U " : "");
            QCOMPARE(keyed(rig, character), expected + " 13U");
        }
        // Anything else is the character gap alone.
        for (const char* other : {"a", " ", "AB", "", "'", "\r", "É"})
            QCOMPARE(keyed(rig, other), std::string("12U"));
    }

    // The character gap grows by four units a gap repeat; no repeats, or fewer, leave one unit.
    // Lengths and pitches are rounded half to even; the pitch box is read up to its number.
    void gapsLengthsAndPitches() {
        // gap repeats, dot ms, pitch box -> the trace of "E"
        const struct {
            int repeats;
            double dot;
            const char *pitch, *trace;
        } rows[] = {// clang-format off
            {1, 89, "700", "700x89 5U"}, {0, 89, "700", "700x89 1U"}, {-1, 89, "700", "700x89 1U"},
            {7, 89, "700", "700x89 29U"}, {3, 2.5, "700", "700x2 13U"}, {3, 3.5, "700", "700x4 13U"},
            {3, 88.49, "700", "700x88 13U"}, {3, 89, "440 Hz", "440x89 13U"}, {3, 89, "", "0x89 13U"},
            {3, 89, "high", "0x89 13U"}, {3, 89, "700.5", "700x89 13U"}, {3, 89, "-30", "-30x89 13U"}};
        // clang-format on
        for (const auto& row : rows) {
            Rig rig;
            rig.state.gapRepeats = row.repeats;
            rig.state.dotMillis = row.dot;
            rig.view.texts[kStoredPitch] = row.pitch;
            QCOMPARE(keyed(rig, "E"), std::string(row.trace));
        }
    }

    void funToneGivesEveryElementItsOwnPitch() {
        Rig rig;
        rig.view.checked.insert(kFunToneBox);
        keyed(rig, "0");
        std::set<int> pitches;
        for (const auto& tone : rig.trace.tones()) {
            QVERIFY2(tone.hz >= 20 && tone.hz < 2020, qPrintable(QString::number(tone.hz)));
            pitches.insert(tone.hz);
        }
        QVERIFY(pitches.size() >= 4);
        // "Nada +" after fun tone starts from the last random pitch.
        const double last = rig.state.toneFrequency;
        rig.t.speedPitch.higherPitch();
        QCOMPARE(numtext::leadingNumber(rig.view.text(kStoredPitch)), last + 10);
        rig.view.checked.clear();
        keyed(rig, "E");
        QVERIFY(std::abs(rig.trace.tones().at(0).hz - (last + 10)) <= 0.5);
    }

    void storedSettingsSetTheSliderAndTheDot() {
        // dash box, ratio box -> slider, dot length, the yellow number
        const struct {
            const char *dash, *ratio;
            int slider;
            double dot;
        } rows[] = {// clang-format off
            {"250", "2.8", 250, 250 / 2.8}, {"120.5", "2", 120, 60},
            {"5000", "2.8", 200, 200 / 2.8}, {"-3", "4", 200, 50}, // beyond the slider: stays 200
            {"", "2.8", 0, 0}, {"300", "abc", 300, 0}, {"300", "0", 300, 0}};
        // clang-format on
        for (const auto& row : rows) {
            Rig rig;
            rig.view.slider = 200;
            rig.state.dotMillis = 0;
            rig.view.texts[kStoredDash] = row.dash;
            rig.view.texts[kRatioBox] = row.ratio;
            rig.t.speedPitch.activateLengths();
            QCOMPARE(rig.view.slider, row.slider);
            QCOMPARE(rig.state.dashMillis, row.slider);
            QCOMPARE(rig.state.dotMillis, row.dot);
            QCOMPARE(rig.view.text(kDashLabel), std::to_string(row.slider));
        }
    }

    void controlsChangeTheEngineAndTheirBoxes() {
        Rig rig;
        rig.view.setSliderPosition(300);
        QCOMPARE(rig.state.dotMillis, 300 / 2.8);
        QCOMPARE(rig.view.text(kStoredDash), std::string("300"));
        rig.view.setText(kRatioBox, "3");
        QCOMPARE(rig.state.dotMillis, 100.0);
        rig.view.setText(kRatioBox, "");
        rig.view.setSliderPosition(150);
        QCOMPARE(rig.state.dotMillis, 100.0); // no ratio: the dot stays
        // "Laju +" cycles the gap repeats 3, 2, 1, 3 and takes 100 off the delay limit.
        for (auto [repeats, limit] : {std::pair{2, "2900"}, {1, "2800"}, {3, "2700"}}) {
            rig.t.speedPitch.faster();
            QCOMPARE(rig.state.gapRepeats, repeats);
            QCOMPARE(rig.view.text(kStoredDelayLimit), std::string(limit));
            QCOMPARE(rig.view.text(kDelayLimitLabel), std::string(limit));
        }
        rig.t.speedPitch.slower();
        QCOMPARE(rig.state.gapRepeats, 4);
        QCOMPARE(rig.state.delayLimit, 2800.0);
        rig.t.speedPitch.lowerPitch();
        rig.t.speedPitch.lowerPitch();
        QCOMPARE(rig.view.text(kStoredPitch), std::string("680"));
    }

    // Each run's gaps in delay units, worked by hand: a character gap of 1 + 4 per repeat, a
    // group or word gap of 8 more per repeat, and the drills' own units before each character.
    void pacingOfTheRuns() {
        const struct {
            const char* name;
            int repeats;
            const char* trace;
        } rows[] = {// clang-format off
            {"groups", 3, "1U 700x89 14U 700x89 38U 700x89 14U 700x89 37U"},
            {"groups", 1, "1U 700x89 6U 700x89 14U 700x89 6U 700x89 13U"},
            {"words", 3, "6U 700x89 43U 700x89 37U"},
            {"words", 1, "2U 700x89 15U 700x89 13U"},
            {"text", 3, "700x89 13U 700x89 37U 700x89 37U"},
            {"text", 1, "700x89 5U 700x89 13U 700x89 13U"}};
        // clang-format on
        for (const auto& row : rows) {
            Rig rig;
            rig.state.gapRepeats = row.repeats;
            const std::string name = row.name;
            rig.view.texts[kGroupSizeBox] = rig.view.texts[kGroupCountBox] = "2";
            rig.state.charSetStart = 4; // a set of E alone
            rig.state.charSetWidth = 1;
            rig.view.texts[kTextBox] = name == "words" ? "e" : "ee e";
            name == "groups"  ? rig.t.groups.run()
            : name == "words" ? rig.t.words.start()
                              : rig.t.player.go();
            QCOMPARE(rig.trace.text(), std::string(row.trace));
        }
    }
};

VORNIK_TEST(KeyingTest)
#include "test_keying.moc"
