#include "engine/busy_wait.h"

#include <QTest>
#include <limits>
#include <vector>

class BusyWaitTest : public QObject {
    Q_OBJECT
private slots:
    void iterationsForLimit_data() {
        QTest::addColumn<double>("limit");
        QTest::addColumn<qint64>("iterations");
        QTest::newRow("zero") << 0.0 << qint64(0);
        QTest::newRow("negative") << -5.0 << qint64(0);
        QTest::newRow("fraction rounds up") << 2.5 << qint64(3);
        QTest::newRow("whole") << 3.0 << qint64(3);
        QTest::newRow("tiny fraction") << 1e-9 << qint64(1);
        QTest::newRow("not a number counts nothing")
            << std::numeric_limits<double>::quiet_NaN() << qint64(0);
    }
    void iterationsForLimit() {
        QFETCH(double, limit);
        QFETCH(qint64, iterations);
        BusyWait wait;
        std::vector<std::pair<double, std::int64_t>> runs;
        wait.setObserver(
            [&](double seen, std::int64_t counted) { runs.emplace_back(seen, counted); });
        // The counter is the caller's: whatever it held before, it ends on the iterations made.
        std::int64_t counter = 99;
        wait.run(counter, limit);
        QCOMPARE(runs.size(), std::size_t(1));
        QCOMPARE(runs.front().second, iterations);
        QCOMPARE(counter, iterations);
        if (limit == limit)
            QCOMPARE(runs.front().first, limit);
    }
};

QTEST_GUILESS_MAIN(BusyWaitTest)
#include "test_busy_wait.moc"
