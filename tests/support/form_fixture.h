#pragma once

#include "keying_trace.h"
#include "ui/trainer_form.h"

#include <QTemporaryDir>
#include <memory>

class QAbstractButton;

// A trainer window for tests: a fresh program folder of its own, the keying traced instead of
// sounded, and delay units timed on a fake clock. The window is not shown unless a test shows it.
class FormFixture {
public:
    FormFixture();

    TrainerForm& form() { return *form_; }
    TrainerState& state() { return form_->state(); }
    Trainer& trainer() { return form_->trainer(); }
    KeyingTrace& trace() { return trace_; }
    QString programFolder() const { return folder_.path(); }

    // Clicks a control as the learner would (mouse press and release at its centre).
    void click(Control control);
    std::string text(Control control) const { return form_->text(control); }
    void setText(Control control, const std::string& text) { form_->setText(control, text); }

    // The engine's state as the first activation leaves it with a dash of 250 ms, ratio 2.8,
    // pitch 700 Hz and a delay limit of 3000.
    void setDefaultKeying();

private:
    QTemporaryDir folder_;
    KeyingTrace trace_;
    std::unique_ptr<TrainerForm> form_;
};
