#include "form_fixture.h"

#include <QAbstractButton>
#include <QTest>

FormFixture::FormFixture() {
    form_ = std::make_unique<TrainerForm>(
        TrainerSetup{folder_.path().toStdString(), &trace_, &trace_.clock()});
    trace_.listen(form_->timeline());
}

void FormFixture::click(Control control) {
    QWidget* widget = form_->widget(control);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void FormFixture::setDefaultKeying() {
    setText(Control::Text4, "3000");
    setText(Control::Text5, "250");
    setText(Control::Text6, "700");
    setText(Control::Text7, "2.8");
    trainer().speedPitch.activateLengths();
    trainer().speedPitch.activatePitchAndDelay();
    trace_.clear();
}
