#include "audio/tone_shape.h"

#include <QTest>
#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

namespace {
// At 12 kHz every odd frame of a tone sits on a crest of the sine (the phase counts from frame
// 0), so there the sample is the envelope itself times the peak level.
constexpr int kCrestHz = ToneShape::kSampleRate / 4;

// Where the envelope, read from the crest frames, crosses half the peak level: the first
// crossing (`rising`) or the last. Linear interpolation between crests is exact enough at the
// 50 % point, which is the edge's point of inflection.
double halfLevelFrame(const std::vector<float>& samples, bool rising) {
    const double half = ToneShape::kPeak / 2;
    double found = -1;
    for (std::size_t frame = 1; frame + 2 < samples.size(); frame += 2) {
        const double before = std::abs(double(samples[frame]));
        const double after = std::abs(double(samples[frame + 2]));
        if ((before < half) == (after < half))
            continue;
        found = double(frame) + 2 * (half - before) / (after - before);
        if (rising)
            break;
    }
    return found;
}

double levelDbfs(const std::vector<float>& samples) {
    float peak = 0;
    for (float sample : samples)
        peak = std::max(peak, std::abs(sample));
    return 20 * std::log10(double(peak));
}
} // namespace

class ToneShapeTest : public QObject {
    Q_OBJECT
private slots:
    void frameCounts_data() {
        QTest::addColumn<int>("ms");
        QTest::addColumn<qint64>("betweenHalfPoints");
        QTest::addColumn<qint64>("rendered");
        // Rendered = nominal length + one whole edge (12 ms = 576 frames, or the tone's own
        // length when it is shorter).
        QTest::newRow("1 ms") << 1 << qint64(48) << qint64(96);
        QTest::newRow("5 ms") << 5 << qint64(240) << qint64(480);
        QTest::newRow("just under one edge") << 11 << qint64(528) << qint64(1056);
        QTest::newRow("one edge") << 12 << qint64(576) << qint64(1152);
        QTest::newRow("just over one edge") << 13 << qint64(624) << qint64(1200);
        QTest::newRow("dot of 250/2.8") << 89 << qint64(4272) << qint64(4848);
        QTest::newRow("dash") << 250 << qint64(12000) << qint64(12576);
        QTest::newRow("ten seconds") << 10000 << qint64(480000) << qint64(480576);
    }
    void frameCounts() {
        QFETCH(int, ms);
        QFETCH(qint64, betweenHalfPoints);
        QFETCH(qint64, rendered);
        QCOMPARE(ToneShape::framesFor(ms), betweenHalfPoints);
        QCOMPARE(ToneShape(700, ms).totalFrames(), rendered);
        QCOMPARE(qint64(renderTone(700, ms).size()), rendered);
    }

    void halfPointsOnNominalEdges_data() {
        QTest::addColumn<int>("ms");
        for (int ms : {1, 2, 3, 4, 5, 11, 12, 13, 30, 89, 250, 1000})
            QTest::newRow(qPrintable(QString("%1 ms").arg(ms))) << ms;
    }
    void halfPointsOnNominalEdges() {
        QFETCH(int, ms);
        const ToneShape shape(kCrestHz, ms);
        const std::vector<float> samples = renderTone(kCrestHz, ms);
        const auto nominalStart = double(shape.leadInFrames());
        const auto nominalEnd = nominalStart + double(ToneShape::framesFor(ms));
        QVERIFY(std::abs(halfLevelFrame(samples, true) - nominalStart) < 0.05);
        QVERIFY(std::abs(halfLevelFrame(samples, false) - nominalEnd) < 0.05);
    }

    void shortTonesAreSymmetric_data() {
        QTest::addColumn<int>("ms");
        for (int ms : {1, 2, 3, 4, 5, 12, 89})
            QTest::newRow(qPrintable(QString("%1 ms").arg(ms))) << ms;
    }
    void shortTonesAreSymmetric() {
        QFETCH(int, ms);
        // Frame i and frame total - i lie on the same point of the sine's cycle at 12 kHz, so
        // their magnitudes differ only if the envelope does.
        const std::vector<float> samples = renderTone(kCrestHz, ms);
        const std::size_t total = samples.size();
        double worst = 0;
        for (std::size_t frame = 1; frame < total; ++frame)
            worst = std::max(worst, std::abs(std::abs(double(samples[frame])) -
                                             std::abs(double(samples[total - frame]))));
        QVERIFY2(worst < 1e-6, qPrintable(QString("asymmetry %1").arg(worst)));
        QCOMPARE(samples.front(), 0.0f);
    }

    void piecewiseRenderingIsSeamless_data() {
        QTest::addColumn<int>("hz");
        QTest::addColumn<int>("piece");
        QTest::newRow("one frame at a time") << 700 << 1;
        QTest::newRow("odd pieces") << 700 << 7;
        QTest::newRow("audio buffers") << 700 << 256;
        QTest::newRow("pieces longer than an edge") << 997 << 1000;
        QTest::newRow("high pitch in audio buffers") << 3000 << 256;
    }
    void piecewiseRenderingIsSeamless() {
        QFETCH(int, hz);
        QFETCH(int, piece);
        const int ms = 100;
        const ToneShape shape(hz, ms);
        std::vector<float> pieces(std::size_t(shape.totalFrames()), 0.0f);
        for (std::int64_t first = 0; first < shape.totalFrames(); first += piece) {
            const auto count =
                std::size_t(std::min<std::int64_t>(piece, shape.totalFrames() - first));
            shape.addTo(pieces.data() + first, first, count);
        }
        const std::vector<float> whole = renderTone(hz, ms);
        for (std::size_t frame = 0; frame < pieces.size(); ++frame)
            QVERIFY(std::abs(pieces[frame] - whole[frame]) < 1e-6f);
        // No jump anywhere: a step between neighbours never exceeds the steepest a sine at this
        // pitch and level can climb, plus what the edge adds.
        const double sineStep =
            ToneShape::kPeak * 2 * std::numbers::pi * hz / ToneShape::kSampleRate;
        const double edgeStep = ToneShape::kPeak * 3.0 / ToneShape::kEdgeFrames;
        for (std::size_t frame = 1; frame < pieces.size(); ++frame)
            QVERIFY(std::abs(pieces[frame] - pieces[frame - 1]) <= sineStep + edgeStep);
    }

    void longToneKeepsItsPhase_data() {
        QTest::addColumn<int>("hz");
        QTest::newRow("700 Hz") << 700;
        QTest::newRow("prime pitch") << 997;
        QTest::newRow("just under half the sample rate") << ToneShape::kSampleRate / 2 - 1;
    }
    void longToneKeepsItsPhase() {
        QFETCH(int, hz);
        // Ten seconds on, every sample of the plateau is still the exact sine: no drift.
        const int ms = 10000;
        const std::vector<float> samples = renderTone(hz, ms);
        const ToneShape shape(hz, ms);
        const std::int64_t plateauEnd = shape.totalFrames() - ToneShape::kEdgeFrames;
        for (std::int64_t frame = plateauEnd - 1000; frame < plateauEnd; ++frame) {
            const double phase = 2 * std::numbers::pi *
                                 double(frame * hz % ToneShape::kSampleRate) /
                                 ToneShape::kSampleRate;
            QVERIFY(std::abs(samples[std::size_t(frame)] - ToneShape::kPeak * std::sin(phase)) <
                    1e-6);
        }
    }

    void touchingTonesOfOnePitchMerge_data() {
        QTest::addColumn<int>("firstMs");
        QTest::addColumn<int>("secondMs");
        QTest::newRow("two dashes") << 250 << 250;
        QTest::newRow("dot then dash") << 89 << 250;
        QTest::newRow("short tones with short edges") << 5 << 5;
    }
    void touchingTonesOfOnePitchMerge() {
        QFETCH(int, firstMs);
        QFETCH(int, secondMs);
        // Placed as the output places them: the second one's 50 % point on the first one's, its
        // phase counted from its own first frame in the stream.
        const int hz = 700;
        const ToneShape first(hz, firstMs, 0);
        const std::int64_t secondStart = first.leadInFrames() + ToneShape::framesFor(firstMs) -
                                         ToneShape(hz, secondMs).leadInFrames();
        const ToneShape second(hz, secondMs, secondStart);
        std::vector<float> mixed(std::size_t(secondStart + second.totalFrames()), 0.0f);
        first.addTo(mixed.data(), 0, mixed.size());
        second.addTo(mixed.data() + secondStart, 0, mixed.size() - std::size_t(secondStart));
        // Where the fall of one overlaps the rise of the other, the sum is the plain sine at
        // full level: no dip, no click.
        QVERIFY(secondStart < first.totalFrames());
        for (std::int64_t frame = secondStart; frame < first.totalFrames(); ++frame) {
            const double phase = 2 * std::numbers::pi *
                                 double(frame * hz % ToneShape::kSampleRate) /
                                 ToneShape::kSampleRate;
            QVERIFY(std::abs(mixed[std::size_t(frame)] - ToneShape::kPeak * std::sin(phase)) <
                    1e-5);
        }
    }

    void peakLevel_data() {
        QTest::addColumn<int>("hz");
        QTest::addColumn<int>("ms");
        QTest::newRow("700 Hz dash") << 700 << 250;
        QTest::newRow("low pitch") << 300 << 250;
        QTest::newRow("high pitch") << 2000 << 89;
        QTest::newRow("one edge long") << 700 << 12;
    }
    void peakLevel() {
        QFETCH(int, hz);
        QFETCH(int, ms);
        QVERIFY(std::abs(levelDbfs(renderTone(hz, ms)) - -10.0) < 0.1);
    }

    void unplayablePitchIsSilence_data() {
        QTest::addColumn<int>("hz");
        QTest::newRow("0 Hz") << 0;
        QTest::newRow("negative") << -700;
        QTest::newRow("half the sample rate") << ToneShape::kSampleRate / 2;
        QTest::newRow("30 kHz") << 30000;
        QTest::newRow("largest int") << INT_MAX;
        QTest::newRow("smallest int") << INT_MIN;
    }
    void unplayablePitchIsSilence() {
        QFETCH(int, hz);
        const int ms = 89;
        const std::vector<float> samples = renderTone(hz, ms);
        QCOMPARE(samples.size(), renderTone(700, ms).size());
        QVERIFY(std::all_of(samples.begin(), samples.end(), [](float s) { return s == 0.0f; }));
        QVERIFY(ToneShape(hz, ms).isSilent());
    }

    void noLengthNoFrames_data() {
        QTest::addColumn<int>("ms");
        QTest::newRow("0 ms") << 0;
        QTest::newRow("negative") << -5;
        QTest::newRow("smallest int") << INT_MIN;
    }
    void noLengthNoFrames() {
        QFETCH(int, ms);
        QCOMPARE(ToneShape::framesFor(ms), qint64(0));
        QCOMPARE(ToneShape(700, ms).totalFrames(), qint64(0));
        QVERIFY(renderTone(700, ms).empty());
    }
};

QTEST_GUILESS_MAIN(ToneShapeTest)
#include "test_tone_shape.moc"
