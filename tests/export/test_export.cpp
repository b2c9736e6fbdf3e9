// Sound files of a run, measured as a listener's recording would be, and the Koch lessons.
#include "engine/morse_table.h"
#include "export/sound_export.h"
#include "lessons/koch.h"
#include "rig.h"
#include "test_classes.h"
#include "tones_heard.h"

#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <set>
#include <sndfile.hh>

namespace {
// The samples of a sound file, and its major format.
std::pair<std::vector<float>, int> readSamples(const std::string& path) {
    SndfileHandle file(path);
    std::vector<float> samples(static_cast<std::size_t>(file.frames()));
    file.readf(samples.data(), file.frames());
    return {samples, file.format() & SF_FORMAT_TYPEMASK};
}

KeyingSettings settings(double limit, int dash, double ratio, int gapRepeats, int hz) {
    return {limit, dash, dash / ratio, gapRepeats, std::to_string(hz), false, {"E"},
            0,     1,    "5",          "100"};
}
} // namespace

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    // Every tone a dot or a dash to a quarter of a sample, every silence a whole number of delay
    // units to the sample (the units of the second row are not whole samples), read back as sent.
    // Ogg Vorbis and MP3 files of the same run open as such and last exactly as long.
    void wavKeepsEveryLengthAndDecodes() {
        for (auto [limit, dash, ratio, repeats, hz] : {std::tuple{3000.0, 250, 2.8, 3, 700},
                                                       {1234.0, 60, 3.0, 1, 600},
                                                       {5000.0, 400, 3.5, 2, 950}}) {
            QTemporaryDir dir;
            const std::string path = dir.filePath("paris.wav").toStdString();
            const ExportOutcome out =
                exportSound({settings(limit, dash, ratio, repeats, hz), "Paris 5?\nqrl, de"}, path);
            const auto marks = tonesHeard(readSamples(path).first, hz);
            const double unit = double(KeyingTimeline::unitNs(limit)) * 48e-6,
                         dot = std::round(dash / ratio) * 48;
            std::string heard, elements;
            for (std::size_t i = 0; i < marks.size(); ++i) {
                const double length = marks[i].second - marks[i].first;
                QVERIFY(std::min(std::abs(length - dot), std::abs(length - dash * 48)) < 0.25);
                elements += std::abs(length - dot) < 0.25 ? '.' : '-';
                const double gap = i + 1 < marks.size() ? marks[i + 1].first - marks[i].second
                                                        : 1e9 * unit,
                             units = std::round(gap / unit);
                QVERIFY(std::abs(gap - units * unit) <= 1.0);
                for (const auto& entry : morse::table())
                    heard += units > 1 && entry.elements == elements ? entry.character : "";
                heard += units > 1 + 4 * repeats ? " " : "";
                elements = units > 1 ? "" : elements;
            }
            QCOMPARE(QString::fromStdString(heard + "|" + out.sent),
                     QString("PARIS 5? QRL, DE |PARIS 5? QRL, DE "));
            for (auto [name, type] :
                 {std::pair{"a.ogg", SF_FORMAT_OGG}, {"a.MP3", SF_FORMAT_MPEG}}) {
                const std::string other = dir.filePath(name).toStdString();
                exportSound({settings(limit, dash, ratio, repeats, hz), "Paris 5?\nqrl, de"},
                            other);
                QCOMPARE(readSamples(other).first.size(), std::size_t(out.frames));
                QCOMPARE(readSamples(other).second, type);
            }
        }
    }
    // Neither the sound file nor its text, nor any temporary file, is left behind.
    void failedOrCancelledLeavesNoFile() {
        for (auto [name, cancelAt] :
             {std::pair{"walk.ogg", 1}, {"walk.wav", 40}, {"gone/walk.wav", 0}, {"walk.txt", 0}}) {
            QTemporaryDir dir;
            int yields = 0;
            const ExportOutcome out = exportSound({settings(3000, 250, 2.8, 3, 700), "", 7, true},
                                                  dir.filePath(name).toStdString(),
                                                  [&](double) { return ++yields != cancelAt; });
            QVERIFY(!out.error.empty());
            QCOMPARE(out.cancelled, cancelAt > 0);
            QVERIFY(
                QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        }
    }
    void kochLessonDrawsExactlyItsCharacters() {
        for (int lesson = koch::kFirstLesson; lesson <= koch::kLastLesson; ++lesson) {
            Rig rig;
            rig.state.delayLimit = 1;
            rig.t.groups.chooseCharacters(koch::characters(lesson));
            rig.view.texts[kGroupSizeBox] = "5", rig.view.texts[kGroupCountBox] = "60";
            rig.t.groups.run();
            const std::string heard = rig.trace.heard(), lessonSet(koch::characters(lesson));
            std::set<char> drawn(heard.begin(), heard.end());
            drawn.erase(' ');
            QCOMPARE(drawn, std::set<char>(lessonSet.begin(), lessonSet.end()));
        }
    }
    void ninetyPercentOverAHundredMovesOn() {
        // Each history, oldest check first: {lesson (0: a words run), sent, accuracy %}, and
        // the lesson to take next (0: none checked yet).
        // clang-format off
        const std::vector<std::pair<std::vector<std::tuple<int, int, double>>, int>> histories = {
            {{}, 0}, {{{5, 60, 95}, {5, 50, 90}}, 6}, {{{5, 120, 89}}, 5}, {{{5, 99, 100}}, 5},
            {{{5, 200, 50}, {5, 100, 95}}, 6}, {{{5, 200, 99}, {5, 100, 80}}, 5},
            {{{5, 100, 95}, {0, 100, 10}}, 6}, {{{5, 100, 95}, {6, 20, 100}}, 6}, {{{42, 150, 97}}, 42}};
        // clang-format on
        for (const auto& [history, next] : histories) {
            std::vector<ProgressEntry> checks;
            for (auto [lesson, sent, accuracy] : history) {
                ProgressEntry& check = checks.emplace_back();
                check.kind = lesson ? "random groups" : "random words";
                check.source = koch::characters(lesson), check.sent = sent,
                check.accuracy = accuracy;
            }
            const auto standing = koch::standing(checks);
            QCOMPARE(standing ? standing->nextLesson() : 0, next);
        }
    }
};

VORNIK_TEST(ExportTest)
#include "test_export.moc"
