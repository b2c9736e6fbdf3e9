#include "keying_trace.h"
#include "ui/trainer_form.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

// One run of the trainer's window as main() makes it for the program folder given first: prints
// the pitch and ratio it started with, then acts ("Name=text" types into a box, a name clicks that
// button, "queue" queues a handler that reports itself) and closes the window normally. "Command11"
// ("Tamat / End") ends it before that, without running a handler already queued.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    KeyingTrace trace;
    TrainerForm form(TrainerSetup{argc > 1 ? argv[1] : "", &trace, &trace.clock()});
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return 2;
    printf("Text6=%s Text7=%s\n", form.text(Control::Text6).c_str(),
           form.text(Control::Text7).c_str());
    fflush(stdout);
    for (const QString& action : app.arguments().mid(2))
        if (action == "queue")
            QMetaObject::invokeMethod(
                &app, [] { puts("queued handler ran"), fflush(stdout); }, Qt::QueuedConnection);
        else if (action.contains('='))
            form.findChild<QLineEdit*>(action.section('=', 0, 0))->setText(action.section('=', 1));
        else
            QTest::mouseClick(form.findChild<QWidget*>(action), Qt::LeftButton);
    form.close();
    return 0;
}
