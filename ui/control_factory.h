#pragma once

#include "ui/window_layout.h"

#include <QFrame>
#include <QGroupBox>
#include <QWidget>

// A panel of the window. A click on its own background (not on a control in it) is reported,
// because the open-file panel closes on such a click.
class PanelBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;
signals:
    void backgroundClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The window's bare background: a click on it (not on any control) is reported.
class Backdrop : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
signals:
    void backgroundClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

namespace layout {
// Makes the widget for one control of the layout, in its design state, inside `parent`.
QWidget* createControl(const ControlSpec& design, QWidget* parent);
} // namespace layout
