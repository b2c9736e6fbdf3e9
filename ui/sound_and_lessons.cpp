#include "ui/sound_and_lessons.h"

#include "documents/text_decoder.h"
#include "export/sound_export.h"
#include "lessons/koch.h"
#include "storage/program_path.h"
#include "storage/progress_store.h"
#include "ui/rich_text_box.h"
#include "ui/trainer_form.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <chrono>
#include <cstdio>

namespace {
bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// Each export draws fresh groups (and "Fun tone" pitches), not the window's next ones.
std::uint64_t freshSeed() {
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}
} // namespace

void exportSoundOfWindow(TrainerForm& form) {
    const QString path =
        QFileDialog::getSaveFileName(&form, QStringLiteral("Export sound"), QString(),
                                     QStringLiteral("Sound files (*.wav *.flac *.ogg *.mp3)"));
    if (path.isEmpty())
        return;
    SoundExport job;
    job.settings = KeyingSettings::of(form.state(), form);
    if (form.state().panelMode != Panel::Groups && !blank(form.text(kTextBox)))
        job.text = form.text(kTextBox);
    job.seed = freshSeed();
    job.withText = true;
    QProgressDialog progress(QStringLiteral("Writing %1…").arg(path), QStringLiteral("Cancel"), 0,
                             1000, &form);
    progress.setWindowTitle(QStringLiteral("Export sound"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QElapsedTimer sinceShown;
    sinceShown.start();
    // The window is shown afresh a few times a second, not at every character: a long text has
    // tens of thousands.
    const ExportOutcome outcome =
        exportSound(job, QFile::encodeName(path).toStdString(), [&](double done) {
            if (sinceShown.elapsed() >= 50) {
                progress.setValue(static_cast<int>(done * 1000));
                QCoreApplication::processEvents();
                sinceShown.restart();
            }
            return !progress.wasCanceled();
        });
    progress.reset();
    if (!outcome.error.empty() && !outcome.cancelled)
        QMessageBox::warning(&form, QStringLiteral("Export sound"),
                             QStringLiteral("The sound file was not written: %1")
                                 .arg(QString::fromStdString(outcome.error)));
}

QString kochAdvice(const koch::Standing& standing) {
    const QString lesson = QStringLiteral("Koch lesson %1: ").arg(standing.lesson);
    if (standing.characters < koch::kCharactersJudged)
        return lesson + QStringLiteral("%1 characters checked so far; a lesson is judged over "
                                       "%2, and passed at 90 %.")
                            .arg(standing.characters)
                            .arg(koch::kCharactersJudged);
    const QString score = QStringLiteral("%1 % over your last %2 characters")
                              .arg(QString::number(100 * standing.accuracy(), 'f', 0))
                              .arg(standing.characters);
    if (!standing.passed())
        return lesson + score + QStringLiteral("; stay with it until 90 %.");
    if (standing.lesson == koch::kLastLesson)
        return lesson + score + QStringLiteral(": every character of the course is yours.");
    const int next = standing.nextLesson();
    return lesson + score +
           QStringLiteral(". Go on to lesson %1, which adds \"%2\" (Semak / Check, Koch lesson…).")
               .arg(next)
               .arg(QChar(koch::kOrder[static_cast<std::size_t>(next - 1)]));
}

void chooseKochLesson(TrainerForm& form, ProgressStore& store) {
    const auto history = store.load();
    const auto standing = history ? koch::standing(history->checks) : std::nullopt;
    QString order;
    for (char symbol : koch::kOrder)
        order += QChar(symbol) + QStringLiteral(" ");
    const QString label =
        QStringLiteral("Lesson N drills the first N characters of the Koch order:\n%1\n\n%2")
            .arg(order.trimmed(),
                 standing ? kochAdvice(*standing) : QStringLiteral("No Koch lesson checked yet."));
    bool chosen = false;
    const int lesson = QInputDialog::getInt(&form, QStringLiteral("Koch lesson"), label,
                                            standing ? standing->nextLesson() : koch::kFirstLesson,
                                            koch::kFirstLesson, koch::kLastLesson, 1, &chosen);
    if (!chosen)
        return;
    // Opened as "Rawak/Random" opens it, then on the lesson's characters.
    static_cast<QAbstractButton*>(form.widget(Control::Command2))->click();
    form.trainer().groups.chooseCharacters(koch::characters(lesson));
}

int runExportCommand(const std::string& textFile, const std::string& soundFile) {
    const textfile::LoadResult loaded = textfile::load(textFile);
    RichTextBox box;
    if (!loaded.ok || !box.loadFile(textFile)) {
        std::fprintf(stderr, "vornik: %s\n", loaded.error.c_str());
        return 1;
    }
    SoundExport job;
    job.settings = KeyingSettings::stored(progpath::programFolder());
    job.text = box.plainText().toStdString();
    if (blank(job.text)) {
        std::fprintf(stderr, "vornik: %s: no text to key\n", textFile.c_str());
        return 1;
    }
    const ExportOutcome outcome = exportSound(job, soundFile);
    if (!outcome.error.empty()) {
        std::fprintf(stderr, "vornik: %s: %s\n", soundFile.c_str(), outcome.error.c_str());
        return 1;
    }
    return 0;
}
