#include "form_fixture.h"

#include <QAbstractButton>
#include <QTest>

FormFixture::FormFixture() {
    TrainerSetup setup;
    setup.programFolder = folder_.path().toStdString();
    setup.tone = &trace_;
    setup.clock = &trace_.clock();
    form_ = std::make_unique<TrainerForm>(std::move(setup));
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
