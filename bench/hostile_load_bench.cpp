// How long the window is frozen by loading and scrolling one hostile sample (tests/support):
// the file is written to a temporary folder and loaded through the window's own path, then the
// box is painted, scrolled to the end and painted again. bench/hostile_load_bench.sh runs every
// sample in a process of its own under /usr/bin/time for its peak memory and a time limit.
// usage: hostile_load_bench SAMPLE   (without SAMPLE: lists the sample names)
#include "form_fixture.h"
#include "hostile_samples.h"
#include "ui/rich_text_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>

int main(int argc, char* argv[]) {
    std::vector<HostileSample> samples = hostileSamples();
    if (argc < 2) {
        for (const HostileSample& each : samples)
            std::printf("%s\n", each.name.c_str());
        return 0;
    }
    QApplication app(argc, argv);
    const auto found = std::find_if(samples.begin(), samples.end(), [&](const HostileSample& each) {
        return each.name == argv[1];
    });
    if (found == samples.end())
        return 1;
    const HostileSample sample = *found;
    samples.clear();
    FormFixture fixture;
    const std::string path = fixture.programFolder().toStdString() + "/" + sample.fileName;
    std::ofstream(path, std::ios::binary) << sample.bytes;
    fixture.form().show();
    fixture.trainer().typing.open();
    auto* box = static_cast<RichTextBox*>(fixture.form().widget(kTextBox));
    QApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    const bool loaded = fixture.form().loadDocument(path);
    QApplication::processEvents();
    box->viewport()->grab();
    const qint64 loadMs = clock.restart();
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    box->horizontalScrollBar()->setValue(box->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    box->viewport()->grab();
    const qint64 scrollMs = clock.restart();
    // The box lays out the rest of a long text between events; the longest of those steps is
    // the longest the window stops answering afterwards.
    // A ticking timer wakes every wait, so an idle window costs at most one tick per step.
    QTimer tick;
    tick.start(20);
    qint64 longestStepMs = 0;
    QElapsedTimer background;
    background.start();
    for (int idleTicks = 0; idleTicks < 25 && background.elapsed() < 30000;) {
        QElapsedTimer stepClock;
        stepClock.start();
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longestStepMs = std::max(longestStepMs, stepClock.elapsed());
        idleTicks = stepClock.elapsed() <= 25 ? idleTicks + 1 : 0;
    }
    const std::string text = fixture.text(kTextBox);
    std::printf("%-18s %7.1f MB  loaded %-3s  load+paint %6lld ms  scroll+paint %6lld ms  "
                "layout steps after it <= %4lld ms%s  text %zu bytes%s\n",
                argv[1], static_cast<double>(sample.bytes.size()) / (1024 * 1024),
                loaded ? "yes" : "no", static_cast<long long>(loadMs),
                static_cast<long long>(scrollMs), static_cast<long long>(longestStepMs),
                background.elapsed() >= 30000 ? " (still laying out after 30 s)" : "", text.size(),
                text.find(sample.marker) == std::string::npos ? "  (marker missing)" : "");
    return 0;
}
