#include "startup_probe.h"

#include <QApplication>
#include <QEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <time.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
constexpr double kReportAtMs = 1500;

std::vector<std::pair<const char*, double>>& phases() {
    static std::vector<std::pair<const char*, double>> marked;
    return marked;
}

// Milliseconds since the kernel started this process (its start time is kept in clock ticks, so
// every figure shares the same offset of up to one tick).
double msSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {
    }
    const double startSeconds = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 -
            startSeconds) *
           1000;
}

// Reports once both the first paint and the moment of the report have come: on a loaded machine
// the paint may come after it.
class Probe : public QObject {
public:
    Probe(QWidget& painted, std::function<void()> beforeReady)
        : QObject(qApp), painted_(&painted), beforeReady_(std::move(beforeReady)) {
        painted.installEventFilter(this);
        painted.window()->installEventFilter(this);
        const double untilDue = std::max(0.0, kReportAtMs - msSinceProcessStart());
        QTimer::singleShot(static_cast<int>(untilDue), this, [this] {
            due_ = true;
            reportWhenReady();
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && !activated_) {
            activated_ = true;
            markPhase("window activated");
        }
        if (event->type() == QEvent::Paint && paintMs_ < 0 && watched == painted_) {
            paintMs_ = msSinceProcessStart();
            watched->removeEventFilter(this);
            // Queued, so that the paint is done before anything is printed.
            QTimer::singleShot(0, this, [this] { reportWhenReady(); });
        }
        return false;
    }

private:
    void reportWhenReady() {
        if (!due_ || paintMs_ < 0 || reported_)
            return;
        reported_ = true;
        if (beforeReady_)
            beforeReady_();
        for (const auto& [name, ms] : phases())
            std::printf("phase %s %.1f\n", name, ms);
        std::printf("first-paint-ms %.1f\nready\n", paintMs_);
        std::fflush(stdout);
        // The harness closes our input once it has read the memory figures.
        auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(input, &QSocketNotifier::activated, this, [input] {
            char buffer[64];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
                input->setEnabled(false);
                QApplication::quit();
            }
        });
    }

    QWidget* painted_;
    std::function<void()> beforeReady_;
    double paintMs_ = -1;
    bool due_ = false;
    bool activated_ = false;
    bool reported_ = false;
};
} // namespace

void markPhase(const char* name) {
    phases().emplace_back(name, msSinceProcessStart());
}

void probeStartup(QWidget& painted, std::function<void()> beforeReady) {
    new Probe(painted, std::move(beforeReady));
}
