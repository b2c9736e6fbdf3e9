#pragma once

#include "core/random_source.h"
#include "core/trainer_state.h"
#include "core/trainer_view.h"
#include "engine/keying_timeline.h"
#include "engine/monotonic_clock.h"
#include "engine/tone_output.h"
#include "storage/file_list.h"
#include "trainer/trainer.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>

class QAbstractButton;
class RichTextBox;

// What the window needs from outside: where the program lives and how it makes sound.
struct TrainerSetup {
    // Holds "key22.jpg", and the settings file too unless it cannot (storage/settings_location.h).
    std::string programFolder;
    ToneOutput* tone = nullptr;      // the sound output; must outlive the window
    MonotonicClock* clock = nullptr; // what the keying keeps time by; the steady clock when none
};

// The trainer's one window. It owns every control and the trainer's state, wires each control to
// the procedure that handles it, and gives those procedures their narrow view of the window.
class TrainerForm : public QMainWindow, public TrainerView {
    Q_OBJECT
public:
    explicit TrainerForm(TrainerSetup setup, QWidget* parent = nullptr);
    ~TrainerForm() override;

    QWidget* widget(Control control) const { return widgets_[static_cast<std::size_t>(control)]; }
    TrainerState& state() { return state_; }
    Trainer& trainer() { return *trainer_; }
    RandomSource& random() { return random_; }
    const TrainerSetup& setup() const { return setup_; }
    KeyingTimeline& timeline() { return timeline_; }

    // Called at every yield with its running number, before pending events are handled; lets a
    // test click a button at exactly the k-th yield of a running loop.
    using YieldHook = std::function<void(long yieldNumber)>;
    void setYieldHook(YieldHook hook) { yieldHook_ = std::move(hook); }

    // TrainerView
    std::string text(Control control) const override;
    void setText(Control control, std::string_view text) override;
    bool isVisible(Control control) const override;
    void setVisible(Control control, bool visible) override;
    bool isEnabled(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    bool isChecked(Control control) const override;
    int sliderPosition() const override;
    bool setSliderPosition(double position) override;
    void moveCaretToEnd(Control control) override;
    void repaint(Control control) override;
    void setFocus(Control control) override;
    bool loadDocument(const std::string& path) override;
    bool saveDocument(const std::string& path) override;
    void setFilePattern(std::string_view pattern) override;
    int fileCount() const override;
    std::string fileName(int index) const override;
    int selectedFile() const override;
    void selectFile(int index) override;
    void refreshFiles() override;
    bool yield() override;

    // The window's own handlers.
    void toggleHelp();
    void hideTextPanels();
    [[noreturn]] void endProgram();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void setTabOrder();
    void centreOnScreen();
    void windowLoad();
    void firstActivation();
    void wireWindow();
    void wireKeyingControls();
    void wireRandomPanel();
    void wireTextPanel();
    void wireTypingPanel();
    void wireLibraryPanel();
    void wireSavePanel();
    // Connects a button's click to one procedure of the trainer.
    void onClick(Control control, void (*handler)(Trainer&));
    // The same for a button that starts a run, up to kMaxNestedRuns runs inside each other.
    void onRunClick(Control control, void (*handler)(Trainer&));
    QAbstractButton* button(Control control) const;
    RichTextBox* textBox() const;
    void showFileList();
    bool eventFilter(QObject* watched, QEvent* event) override;

    TrainerSetup setup_;
    SteadyClock steadyClock_;
    KeyingTimeline timeline_;
    TrainerState state_;
    RandomSource random_;
    std::unique_ptr<Trainer> trainer_;
    std::array<QWidget*, kControlCount> widgets_{};
    FileList files_; // the library folder: the current folder when the window is made
    YieldHook yieldHook_;
    long yieldCount_ = 0;
    int yieldDepth_ = 0; // yields running inside each other
    static constexpr int kMaxNestedRuns = 64;
    bool activated_ = false;
    bool closed_ = false;
};
