#pragma once

#include <functional>

class QWidget;

// The measuring end of bench/startup_figures.py, shared by the trainer's start-up bench and the
// bare window it is compared with, so that both are timed and held alike. Records when `painted`
// is first painted, counted from the moment the kernel started the process (so the loading of
// libraries counts too). Once 1.5 s have passed since that start and the paint has come, calls
// `beforeReady` (which may print lines of its own), prints
//   phase NAME MS        (for each markPhase, in order)
//   first-paint-ms N
//   ready
// and keeps the process still (the harness reads its memory from /proc meanwhile) until its
// standard input is closed, when the application quits. Call before QApplication::exec().
void probeStartup(QWidget& painted, std::function<void()> beforeReady = {});

// Notes how long after the process's start a step of the start-up was done, so that a slow
// start-up shows where its time went.
void markPhase(const char* name);
