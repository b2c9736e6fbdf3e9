#include "ui/check_menu.h"

#include "check/speed_setting.h"
#include "storage/program_path.h"
#include "storage/progress_store.h"
#include "ui/check_window.h"
#include "ui/progress_window.h"
#include "ui/sound_and_lessons.h"
#include "ui/speed_window.h"
#include "ui/trainer_form.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

namespace {

QString wpmText(double speed) {
    return speed > 0 ? QString::number(speed, 'f', 1) : QStringLiteral("-");
}

// Opens a window of the menu, or brings the open one forward.
template <typename Window, typename Make> Window* raise(QPointer<Window>& window, Make make) {
    if (!window) {
        window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

CheckMenu::CheckMenu(TrainerForm& form)
    : QObject(&form), form_(form), store_(std::make_unique<ProgressStore>(progpath::join(
                                       form.setup().programFolder, kProgressFileName))) {
    QMenu* menu = form.menuBar()->addMenu(QStringLiteral("&Semak / Check"));
    menu->setObjectName(QStringLiteral("semak"));
    speed_ = menu->addAction(QString());
    speed_->setEnabled(false);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("&Check copy…")), &QAction::triggered, this,
            &CheckMenu::openCheckWindow);
    connect(menu->addAction(QStringLiteral("&Progress…")), &QAction::triggered, this,
            &CheckMenu::openProgressWindow);
    connect(menu->addAction(QStringLiteral("Set &speed…")), &QAction::triggered, this,
            &CheckMenu::openSpeedWindow);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("&Koch lesson…")), &QAction::triggered, this,
            [this] { chooseKochLesson(form_, *store_); });
    connect(menu->addAction(QStringLiteral("&Export sound…")), &QAction::triggered, this,
            [this] { exportSoundOfWindow(form_); });
    // The figure follows every control that changes the timing; these handlers run after the
    // trainer's own, so they see the new values.
    connect(menu, &QMenu::aboutToShow, this, &CheckMenu::showSpeed);
    connect(static_cast<QScrollBar*>(form.widget(Control::HScroll1)), &QScrollBar::valueChanged,
            this, &CheckMenu::showSpeed);
    connect(static_cast<QLineEdit*>(form.widget(kRatioBox)), &QLineEdit::textChanged, this,
            &CheckMenu::showSpeed);
    for (Control faster : {Control::Command10, Control::Command9})
        connect(static_cast<QAbstractButton*>(form.widget(faster)), &QAbstractButton::clicked, this,
                &CheckMenu::showSpeed);
    showSpeed();
}

CheckMenu::~CheckMenu() = default;

QString CheckMenu::speedCaption() const {
    const wpm::Speeds speeds = wpm::currentSpeeds(form_.state());
    return QStringLiteral("Laju / Speed: %1 / %2 WPM (character / effective)")
        .arg(wpmText(speeds.character), wpmText(speeds.effective));
}

void CheckMenu::showSpeed() {
    speed_->setText(speedCaption());
    if (speedWindow_)
        speedWindow_->showCurrent();
}

CheckWindow* CheckMenu::openCheckWindow() {
    return raise(check_, [this] { return new CheckWindow(form_, *store_); });
}

ProgressWindow* CheckMenu::openProgressWindow() {
    return raise(progress_, [this] { return new ProgressWindow(*store_, &form_); });
}

SpeedWindow* CheckMenu::openSpeedWindow() {
    return raise(speedWindow_, [this] {
        auto* window = new SpeedWindow(form_);
        connect(window, &SpeedWindow::speedSet, this, &CheckMenu::showSpeed);
        return window;
    });
}
