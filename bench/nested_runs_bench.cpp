// Stack that one nested run costs, and how deep clicking can nest runs: a click on Go waits in
// the event queue at every yield of every run, far faster than a learner can click, and the
// stack address of the yield hook is taken at the first yield of each run.
#include "form_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    FormFixture fixture;
    fixture.setDefaultKeying();
    fixture.setText(kTextBox, "e");
    QWidget* go = fixture.form().widget(Control::Command5);
    const QPointF center = go->rect().center();
    std::vector<std::uintptr_t> runStarts;
    fixture.form().setYieldHook([&](long number) {
        const volatile char marker = 0;
        if (fixture.state().wordIndex == 0)
            runStarts.push_back(reinterpret_cast<std::uintptr_t>(&marker));
        if (number < 5000) // waits in the event queue, as a real click does
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QApplication::postEvent(go, new QMouseEvent(type, center, go->mapToGlobal(center),
                                                            Qt::LeftButton, Qt::LeftButton, {}));
    });
    fixture.click(Control::Command5);
    const double perRun = runStarts.size() > 1
                              ? static_cast<double>(runStarts.front() - runStarts.back()) /
                                    static_cast<double>(runStarts.size() - 1)
                              : 0;
    std::printf(
        "nested runs reached: %zu; stack per nested run: %.0f bytes; all of them: %.0f KB\n",
        runStarts.size(), perRun, static_cast<double>(runStarts.front() - runStarts.back()) / 1024);
    return 0;
}
