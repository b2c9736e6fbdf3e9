#include "ui/check_window.h"

#include "check/copy_report.h"
#include "check/wpm.h"
#include "engine/sent_record.h"
#include "lessons/koch.h"
#include "storage/progress_store.h"
#include "ui/sound_and_lessons.h"
#include "ui/trainer_form.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <chrono>

namespace {

QString kindName(PlayMode kind) {
    switch (kind) {
    case PlayMode::Groups:
        return QStringLiteral("random groups");
    case PlayMode::Words:
        return QStringLiteral("random words");
    case PlayMode::Text:
        return QStringLiteral("text");
    case PlayMode::None:
        break;
    }
    return QStringLiteral("nothing");
}

// The character set of a group run, or the file of a text; typed text has no name.
QString sourceOf(const SentRun& run) {
    if (run.kind == PlayMode::Groups)
        return QString::fromStdString(run.characterSet);
    return run.fileName.empty() ? QStringLiteral("typed text")
                                : QString::fromStdString(run.fileName);
}

QPlainTextEdit* resultBox(const QString& name, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setAccessibleName(name);
    box->setTabChangesFocus(true);
    return box;
}

} // namespace

CheckWindow::CheckWindow(TrainerForm& form, ProgressStore& store)
    : QWidget(&form, Qt::Window), form_(form), store_(store) {
    setWindowTitle(QStringLiteral("Semak / Check copy"));
    runLabel_ = new QLabel(this);
    copy_ = new QPlainTextEdit(this);
    copy_->setAccessibleName(QStringLiteral("Your copy"));
    copy_->setTabChangesFocus(true);
    checkButton_ = new QPushButton(QStringLiteral("&Check"), this);
    checkButton_->setDefault(true);
    accuracy_ = new QLabel(this);
    accuracy_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    accuracy_->setFocusPolicy(Qt::StrongFocus);
    comparison_ = resultBox(QStringLiteral("Sent and copied"), this);
    confusions_ = resultBox(QStringLiteral("Most often missed or confused"), this);
    status_ = new QLabel(this);
    status_->setWordWrap(true);

    auto* copyLabel =
        new QLabel(QStringLiteral("&Your copy (blanks and case do not count):"), this);
    copyLabel->setBuddy(copy_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(runLabel_);
    layout->addWidget(copyLabel);
    layout->addWidget(copy_, 2);
    layout->addWidget(checkButton_);
    layout->addWidget(accuracy_);
    auto* comparisonLabel =
        new QLabel(QStringLiteral("Sent and &copied (m missed, w wrong, x extra):"), this);
    comparisonLabel->setBuddy(comparison_);
    layout->addWidget(comparisonLabel);
    layout->addWidget(comparison_, 3);
    auto* confusionsLabel = new QLabel(QStringLiteral("Most often &missed or confused:"), this);
    confusionsLabel->setBuddy(confusions_);
    layout->addWidget(confusionsLabel);
    layout->addWidget(confusions_, 1);
    layout->addWidget(status_);
    resize(560, 560);

    connect(checkButton_, &QPushButton::clicked, this, &CheckWindow::check);
    auto* checkKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(checkKey, &QShortcut::activated, this, &CheckWindow::check);
    const SentRun& run = form_.trainer().sent.last();
    runLabel_->setText(
        run.text.empty()
            ? QStringLiteral("Nothing has been sent yet: play groups, words or a "
                             "text, then check your copy here.")
            : QStringLiteral("Checks against the last run (%1).").arg(kindName(run.kind)));
}

void CheckWindow::check() {
    const SentRun& run = form_.trainer().sent.last();
    comparison_->clear();
    confusions_->clear();
    status_->clear();
    if (run.text.empty()) {
        accuracy_->setText(QStringLiteral("Accuracy: nothing has been sent yet, so there is "
                                          "nothing to check against."));
        return;
    }
    runLabel_->setText(QStringLiteral("Checks against the last run (%1).").arg(kindName(run.kind)));
    const copycheck::Result result = copycheck::check(run.text, copy_->toPlainText().toStdString());
    if (result.tooLong) {
        accuracy_->setText(QStringLiteral("Accuracy: the copy is too long to check against %1 "
                                          "sent characters; check a shorter part.")
                               .arg(result.sent));
        return;
    }
    accuracy_->setText(QStringLiteral("Accuracy: ") +
                       QString::fromStdString(copycheck::summary(result)));
    comparison_->setPlainText(QString::fromStdString(copycheck::comparison(result)));
    confusions_->setPlainText(QString::fromStdString(copycheck::confusionList(result)));
    save(run, result);
}

void CheckWindow::save(const SentRun& run, const copycheck::Result& result) {
    ProgressEntry entry;
    entry.time = std::chrono::duration_cast<std::chrono::seconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
    entry.kind = kindName(run.kind).toStdString();
    entry.source = sourceOf(run).toStdString();
    entry.dashMillis = run.dashMillis;
    entry.ratio = run.dotMillis > 0 ? run.dashMillis / run.dotMillis : 0;
    entry.delayLimit = run.delayLimit;
    entry.gapRepeats = run.gapRepeats;
    const wpm::Speeds speeds =
        wpm::speedsOf(run.dashMillis, run.dotMillis, run.delayLimit, run.gapRepeats);
    entry.characterWpm = speeds.character;
    entry.effectiveWpm = speeds.effective;
    entry.sent = result.sent;
    entry.correct = result.right;
    entry.accuracy = result.accuracy();
    for (const copycheck::Tally& tally : result.tallies())
        entry.characters.push_back({tally.symbol, tally.sent, tally.errors});
    const auto id = store_.save(entry, run.serial == savedSerial_ ? savedId_ : 0);
    if (!id) {
        status_->setText(QStringLiteral("This check could not be saved to the progress file "
                                        "%1: %2")
                             .arg(QString::fromStdString(store_.path()),
                                  QString::fromStdString(store_.failure())));
        return;
    }
    savedSerial_ = run.serial;
    savedId_ = *id;
    QString status = QStringLiteral("Saved to your progress.");
    // A Koch lesson's check says where the learner stands, and when to take the next lesson.
    if (run.kind == PlayMode::Groups && koch::lessonOf(run.characterSet) > 0) {
        const auto history = store_.load();
        if (const auto standing = history ? koch::standing(history->checks) : std::nullopt)
            status += QStringLiteral(" ") + kochAdvice(*standing);
    }
    status_->setText(status);
}
