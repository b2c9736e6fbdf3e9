#pragma once

#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class TrainerForm;

// "Set speed…": takes a character speed and an effective (Farnsworth) speed in words per minute
// and sets the slider, ratio, delay limit and gap repeats to the closest values they can hold,
// then shows the speeds those give.
class SpeedWindow : public QWidget {
    Q_OBJECT
public:
    explicit SpeedWindow(TrainerForm& form);

    void setSpeed();
    // Shows the speeds the keying plays at now.
    void showCurrent();

signals:
    void speedSet();

private:
    TrainerForm& form_;
    QDoubleSpinBox* character_;
    QDoubleSpinBox* effective_;
    QLabel* result_;
};
