#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

class QAction;
class TrainerForm;
class CheckWindow;
class ProgressStore;
class ProgressWindow;
class SpeedWindow;

// The "Semak / Check" menu to the right of "Info": the speed in words per minute, and the
// windows that check a copy, show the progress and set a speed. None of it changes the trainer's
// window; each window opens only when chosen.
class CheckMenu : public QObject {
    Q_OBJECT
public:
    explicit CheckMenu(TrainerForm& form);
    ~CheckMenu() override;

    // The progress file beside the settings file.
    static constexpr const char* kProgressFileName = "kemajuan.db";

    CheckWindow* openCheckWindow();
    ProgressWindow* openProgressWindow();
    SpeedWindow* openSpeedWindow();
    // "Laju / Speed: 20 / 10 WPM (character / effective)", as the menu shows it now.
    QString speedCaption() const;

private:
    void showSpeed();

    TrainerForm& form_;
    std::unique_ptr<ProgressStore> store_;
    QAction* speed_ = nullptr;
    QPointer<CheckWindow> check_;
    QPointer<ProgressWindow> progress_;
    QPointer<SpeedWindow> speedWindow_;
};
