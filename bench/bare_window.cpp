// A bare Qt Widgets window with the controls a census line of the trainer names
// (control_census.h), no logic, timed and held as the trainer's (startup_probe.h): what Qt alone
// needs to show that many controls. usage: bare_window "CENSUS LINE"
#include "control_census.h"
#include "startup_probe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    markPhase("libraries loaded");
    QApplication app(argc, argv);
    markPhase("application made");
    QMainWindow window;
    buildFromCensus(window, argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    markPhase("window built");
    probeStartup(*window.centralWidget());
    window.show();
    window.activateWindow();
    markPhase("shown");
    return QApplication::exec();
}
