#include "library_folder.h"
#include "process_memory.h"

#include <QTest>

namespace {
// A sound output that only counts: a long run must not grow a trace of its own.
class CountingTone : public ToneOutput {
public:
    void playTone(const Tone&) override { ++tones; }
    long tones = 0;
};

} // namespace

// A learner may leave continuous play running for hours: texts chain without end, so nothing
// may grow with the number of texts played.
class ContinuousPlayTest : public QObject {
    Q_OBJECT
private slots:
    void chainsTextsWithFlatStackAndMemory() {
        constexpr int kTexts = 100000;
        LibraryFixture lib(Files{{"a.txt", "E"}, {"b.txt", "T"}, {"c.txt", "I"}});
        CountingTone tone;
        TrainerForm form(TrainerSetup{lib.path("").toStdString(), &tone});
        form.setFilePattern(SettingsBinding::kLibraryPattern);
        QCOMPARE(form.fileCount(), 3);
        form.state().delayLimit = 0;
        form.state().gapRepeats = 3;
        form.setText(Control::Text6, "700");

        QTest::mouseClick(form.widget(Control::Command13), Qt::LeftButton);
        form.trainer().library.choose(0);
        // Each text starts with the player's first yield; the hook sees every text's start and
        // keeps the order of files, the stack position and the memory at the first and last.
        std::vector<int> order;
        const char* firstStack = nullptr;
        const char* lastStack = nullptr;
        long memoryAtStart = 0;
        long memoryAtEnd = 0;
        int texts = 0;
        int lastIndex = -1;
        form.setYieldHook([&](long) {
            char here;
            if (form.state().fileIndex == lastIndex && form.state().wordIndex != 0)
                return;
            lastIndex = form.state().fileIndex;
            ++texts;
            if (order.size() < 7)
                order.push_back(form.state().fileIndex);
            if (texts == 10) {
                firstStack = &here;
                memoryAtStart = residentKb();
            }
            if (texts == kTexts) {
                lastStack = &here;
                memoryAtEnd = residentKb();
                QTest::mouseClick(form.widget(Control::Command19), Qt::LeftButton);
            }
        });
        QTest::mouseClick(form.widget(Control::Command5), Qt::LeftButton);

        QCOMPARE(order, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
        QVERIFY(texts >= kTexts);
        QCOMPARE(reinterpret_cast<quintptr>(lastStack), reinterpret_cast<quintptr>(firstStack));
        qInfo("%d texts, resident memory %ld kB after 10 texts, %ld kB after %d", texts,
              memoryAtStart, memoryAtEnd, kTexts);
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer holds freed memory in quarantine, so resident memory says nothing there.
        QVERIFY2(memoryAtEnd - memoryAtStart < 2048, "memory grew with the texts played");
#endif
    }
};

QTEST_MAIN(ContinuousPlayTest)
#include "test_continuous_play.moc"
