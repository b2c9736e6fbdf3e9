// Sound files of a run, measured as a listener's recording would be, and the Koch lessons.
#include "engine/morse_table.h"
#include "export/sound_export.h"
#include "lessons/koch.h"
#include "rig.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <sndfile.h>

namespace {
std::vector<float> readSamples(const std::string& path, int* format = nullptr) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> samples(file ? static_cast<std::size_t>(info.frames) : 0);
    if (file && (sf_readf_float(file, samples.data(), info.frames), sf_close(file), format))
        *format = info.format & SF_FORMAT_TYPEMASK;
    return samples;
}

struct Mark { // a tone's 50 % points, in frames
    double start, end;
};
// Each tone's envelope as the samples over its own carrier (phase and amplitude fitted on the
// tone's middle); a tone's samples reach 10 % of its peak at least once a period.
std::vector<Mark> measureTones(const std::vector<float>& x, int hz) {
    const double w = 2 * std::numbers::pi * hz / 48000;
    const auto loud = [](float v) { return std::abs(v) >= 0.03f; };
    const std::size_t period = std::size_t(48000 / hz) + 1;
    std::vector<Mark> marks;
    for (std::size_t a = 0, b = 0;; a = b) {
        a = std::size_t(std::find_if(x.begin() + long(a), x.end(), loud) - x.begin());
        if (a >= x.size())
            break;
        for (b = a + 1;
             b < x.size() && std::any_of(&x[b], &x[std::min(b + period, x.size())], loud); ++b) {
        }
        double xs = 0, xc = 0, ss = 0, sc = 0, cc = 0; // least squares over the middle fifth
        for (std::size_t f = a + 2 * (b - a) / 5; f < b - 2 * (b - a) / 5; ++f) {
            const double sn = std::sin(w * double(f)), cs = std::cos(w * double(f));
            xs += x[f] * sn, xc += x[f] * cs, ss += sn * sn, sc += sn * cs, cc += cs * cs;
        }
        const double s = (xs * cc - xc * sc) / (ss * cc - sc * sc),
                     c = (xc * ss - xs * sc) / (ss * cc - sc * sc);
        const auto crossing = [&](std::size_t f, int step) {
            for (double last = double(f), lastEnv = 0;; f += std::size_t(step)) {
                const double carrier = s * std::sin(w * double(f)) + c * std::cos(w * double(f));
                if (std::abs(carrier) < 0.5 * std::hypot(s, c))
                    continue;
                if (const double env = x[f] / carrier; env >= 0.5)
                    return last + (double(f) - last) * (0.5 - lastEnv) / (env - lastEnv);
                else
                    last = double(f), lastEnv = env;
            }
        };
        marks.push_back({crossing(a, 1), crossing(b - 1, -1)});
    }
    return marks;
}
KeyingSettings settings(double limit, int dash, double ratio, int gapRepeats, int hz) {
    KeyingSettings k;
    k.delayLimit = limit, k.dashMillis = dash, k.dotMillis = dash / ratio,
    k.gapRepeats = gapRepeats;
    k.pitch = std::to_string(hz);
    return k;
}
} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void wavKeepsEveryLengthAndDecodes_data() {
        QTest::addColumn<double>("limit");
        QTest::addColumn<int>("dash");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("repeats");
        QTest::addColumn<int>("hz");
        QTest::newRow("first start") << 3000.0 << 250 << 2.8 << 3 << 700;
        QTest::newRow("fast, a unit of 592.32 frames") << 1234.0 << 60 << 3.0 << 1 << 600;
        QTest::newRow("long dash, slow gaps") << 5000.0 << 400 << 3.5 << 2 << 950;
    }
    void wavKeepsEveryLengthAndDecodes() {
        QFETCH(double, limit);
        QFETCH(int, dash);
        QFETCH(double, ratio);
        QFETCH(int, repeats);
        QFETCH(int, hz);
        QTemporaryDir dir;
        const std::string path = dir.filePath("paris.wav").toStdString();
        const ExportOutcome out =
            exportSound({settings(limit, dash, ratio, repeats, hz), "Paris 5?\nqrl, de"}, path);
        QCOMPARE(QString::fromStdString(out.error), QString());
        const std::vector<Mark> marks = measureTones(readSamples(path), hz);
        const double unit = double(KeyingTimeline::unitNs(limit)) * 48e-6,
                     dotFrames = std::round(dash / ratio) * 48;
        std::string heard, elements;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            const double length = marks[i].end - marks[i].start;
            const bool dot = std::abs(length - dotFrames) < 0.25;
            QVERIFY2(dot || std::abs(length - dash * 48) < 0.25,
                     qPrintable(QString::number(length)));
            elements += dot ? '.' : '-';
            const double gap = (i + 1 < marks.size() ? marks[i + 1].start : 1e18) - marks[i].end;
            const double units = std::round(gap / unit);
            QVERIFY2(gap > 1e17 || std::abs(gap - units * unit) <= 1.0,
                     qPrintable(QString::number(gap - units * unit)));
            if (units < 2)
                continue;
            for (const auto& entry : morse::table())
                heard += entry.elements == elements ? entry.character : "";
            heard += units > 1 + 4 * repeats || gap > 1e17 ? " " : "";
            elements.clear();
        }
        QCOMPARE(QString::fromStdString(heard), QString("PARIS 5? QRL, DE "));
        QCOMPARE(QString::fromStdString(out.sent), QString("PARIS 5? QRL, DE "));
    }
    void compressedFilesLastAsLong() {
        QTemporaryDir dir;
        const SoundExport job{settings(3000, 250, 2.8, 3, 700), "cq cq de"};
        const std::string wav = dir.filePath("a.wav").toStdString();
        QVERIFY(exportSound(job, wav).error.empty());
        const auto wavFrames = static_cast<double>(readSamples(wav).size());
        for (auto [name, type] : {std::pair{"a.ogg", SF_FORMAT_OGG},
                                  {"a.MP3", SF_FORMAT_MPEG},
                                  {"a.flac", SF_FORMAT_FLAC}}) {
            const std::string path = dir.filePath(name).toStdString();
            QVERIFY(exportSound(job, path).error.empty());
            int format = 0;
            QCOMPARE(double(readSamples(path, &format).size()) / wavFrames,
                     1.0); // within QCOMPARE's fuzz
            QCOMPARE(format, type);
        }
    }
    void failedOrCancelledLeavesNoFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("cancelAt");
        QTest::newRow("cancel at the first character") << "walk.ogg" << 1;
        QTest::newRow("cancel in the middle") << "walk.wav" << 40;
        QTest::newRow("no such folder") << "gone/walk.wav" << 0;
        QTest::newRow("not a sound file name") << "walk.txt" << 0;
    }
    void failedOrCancelledLeavesNoFile() {
        QFETCH(QString, name);
        QFETCH(int, cancelAt);
        QTemporaryDir dir;
        const std::string path = dir.filePath(name).toStdString();
        int yields = 0;
        SoundExport job{settings(3000, 250, 2.8, 3, 700), "", 7, true};
        job.settings.symbols[0] = "E", job.settings.charSetWidth = 1, job.settings.groupSize = "5",
        job.settings.groupCount = "100";
        const ExportOutcome out =
            exportSound(job, path, [&](double) { return ++yields != cancelAt; });
        QVERIFY(!out.error.empty());
        QCOMPARE(out.cancelled, cancelAt > 0);
        QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
    void kochLessonDrawsExactlyItsCharacters() {
        for (int lesson = koch::kFirstLesson; lesson <= koch::kLastLesson; ++lesson) {
            Rig rig;
            rig.state.delayLimit = 1;
            rig.t.groups.openPanel();
            rig.t.groups.chooseCharacters(koch::characters(lesson));
            rig.view.texts[kGroupSizeBox] = "5", rig.view.texts[kGroupCountBox] = "60";
            rig.t.groups.run();
            std::string heard = rig.trace.heard();
            std::erase(heard, ' ');
            std::sort(heard.begin(), heard.end());
            heard.erase(std::unique(heard.begin(), heard.end()), heard.end());
            std::string lessonSet(koch::characters(lesson));
            std::sort(lessonSet.begin(), lessonSet.end());
            QCOMPARE(QString::fromStdString(heard), QString::fromStdString(lessonSet));
        }
    }
    void ninetyPercentOverAHundredMovesOn_data() {
        QTest::addColumn<QString>("history"); // checks, oldest first: lesson:sent:accuracy
        QTest::addColumn<int>("next");
        QTest::newRow("nothing checked") << "" << 0;
        QTest::newRow("110 at 95 and 90") << "5:60:95 5:50:90" << 6;
        QTest::newRow("120 at 89") << "5:120:89" << 5;
        QTest::newRow("99 at 100: too few") << "5:99:100" << 5;
        QTest::newRow("bad start forgotten") << "5:200:50 5:100:95" << 6;
        QTest::newRow("recent slip counts") << "5:200:99 5:100:80" << 5;
        QTest::newRow("words run and other sets ignored") << "5:100:95 0:100:10 -1:100:10" << 6;
        QTest::newRow("the new lesson starts afresh") << "5:100:95 6:20:100" << 6;
        QTest::newRow("last lesson stays") << "42:150:97" << 42;
    }
    void ninetyPercentOverAHundredMovesOn() {
        QFETCH(QString, history);
        QFETCH(int, next);
        std::vector<ProgressEntry> checks;
        for (const QString& check : history.split(' ', Qt::SkipEmptyParts)) {
            const QStringList f = check.split(':');
            ProgressEntry e;
            e.kind = f[0].toInt() < 0 ? "random words" : "random groups";
            e.source = f[0].toInt() > 0 ? std::string(koch::characters(f[0].toInt())) : "ABCDEFG";
            e.sent = f[1].toInt(), e.accuracy = f[2].toDouble();
            checks.push_back(e);
        }
        const auto standing = koch::standing(checks);
        QCOMPARE(standing ? standing->nextLesson() : 0, next);
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "test_export.moc"
