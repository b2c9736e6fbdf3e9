#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <functional>
#include <utility>

// Calls a function once, right after the first paint of the widget it is installed on: for work
// that must not compete with building and showing the window (starting the sound output).
class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(std::function<void()> then) : then_(std::move(then)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            watched->removeEventFilter(this);
            // Queued, so that the paint itself is done first.
            QTimer::singleShot(0, this, std::exchange(then_, nullptr));
        }
        return false;
    }

private:
    std::function<void()> then_;
};
