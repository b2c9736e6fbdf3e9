#include "ui/speed_window.h"

#include "check/speed_setting.h"
#include "core/number_text.h"
#include "ui/trainer_form.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QDoubleSpinBox* speedBox(const QString& name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(1, 100);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" WPM"));
    box->setAccessibleName(name);
    return box;
}

} // namespace

SpeedWindow::SpeedWindow(TrainerForm& form) : QWidget(&form, Qt::Window), form_(form) {
    setWindowTitle(QStringLiteral("Semak / Check: set speed"));
    character_ = speedBox(QStringLiteral("Character speed"), this);
    effective_ = speedBox(QStringLiteral("Effective speed"), this);
    auto* set = new QPushButton(QStringLiteral("&Set"), this);
    set->setDefault(true);
    result_ = new QLabel(this);
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    result_->setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("&Character speed:"), character_);
    layout->addRow(QStringLiteral("&Effective speed:"), effective_);
    layout->addRow(set);
    layout->addRow(result_);
    connect(set, &QPushButton::clicked, this, &SpeedWindow::setSpeed);
    const wpm::Speeds now = wpm::currentSpeeds(form_.state());
    character_->setValue(now.character > 0 ? now.character : 20);
    effective_->setValue(now.effective > 0 ? now.effective : 10);
    showCurrent();
}

void SpeedWindow::setSpeed() {
    if (effective_->value() > character_->value()) {
        result_->setText(QStringLiteral("Not set: the effective speed cannot be above the "
                                        "character speed, which it includes."));
        return;
    }
    wpm::apply(wpm::closestSettings(character_->value(), effective_->value()), form_.state(),
               form_);
    showCurrent();
    emit speedSet();
}

void SpeedWindow::showCurrent() {
    const TrainerState& state = form_.state();
    const wpm::Speeds now = wpm::currentSpeeds(state);
    result_->setText(
        QStringLiteral("Now %1 WPM character speed, %2 WPM effective: dash %3 ms, ratio %4, "
                       "delay limit %5, gap repeats %6. The gap repeats go back to 3 at the next "
                       "start.")
            .arg(now.character, 0, 'f', 1)
            .arg(now.effective, 0, 'f', 1)
            .arg(state.dashMillis)
            .arg(QString::fromStdString(form_.text(kRatioBox)),
                 QString::fromStdString(numtext::plain(state.delayLimit)))
            .arg(state.gapRepeats));
}
