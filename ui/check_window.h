#pragma once

#include "check/copy_check.h"

#include <QWidget>
#include <cstdint>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class ProgressStore;
class TrainerForm;
struct SentRun;

// "Check copy": the learner types or pastes what they copied and checks it against what the last
// run sent. Every result is plain text in a labelled widget, so a screen reader reads it as shown;
// the whole window works from the keyboard (Ctrl+Return checks from the copy box).
class CheckWindow : public QWidget {
    Q_OBJECT
public:
    CheckWindow(TrainerForm& form, ProgressStore& store);

    // Checks the copy in the box against the last run, shows the result and saves it.
    void check();

    QPlainTextEdit* copyBox() const { return copy_; }
    QPushButton* checkButton() const { return checkButton_; }

private:
    void save(const SentRun& run, const copycheck::Result& result);

    TrainerForm& form_;
    ProgressStore& store_;
    QLabel* runLabel_;
    QPlainTextEdit* copy_;
    QPushButton* checkButton_;
    QLabel* accuracy_;
    QPlainTextEdit* comparison_;
    QPlainTextEdit* confusions_;
    QLabel* status_;
    // A run checked again replaces its earlier check in the progress file.
    std::uint64_t savedSerial_ = 0;
    std::int64_t savedId_ = 0;
};
