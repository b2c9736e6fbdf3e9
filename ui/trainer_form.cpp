#include "ui/trainer_form.h"

#include "core/captions.h"
#include "storage/program_path.h"
#include "ui/check_menu.h"
#include "ui/control_factory.h"
#include "ui/rich_text_box.h"
#include "ui/window_layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <cstdlib>
#include <filesystem>

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Multi-line boxes hold line breaks as line feeds; the trainer reads and writes them as a
// carriage return and a line feed.
std::string withCrLf(const QString& text) {
    QString copy = text;
    copy.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    copy.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return copy.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

QString withoutCr(std::string_view text) {
    return qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A button would take "&" as the mark of its shortcut letter; the display line shows whatever
// text is played, so an ampersand is doubled on the way in and read back single.
QString toCaption(std::string_view text) {
    return qs(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

std::string fromCaption(const QString& caption) {
    return QString(caption).replace(QStringLiteral("&&"), QStringLiteral("&")).toStdString();
}

void installFontSubstitutes() {
    // The window is designed in these two families, which Linux does not ship; metric-compatible
    // or close relatives keep the captions inside their rectangles.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Georgia"), QStringLiteral("Liberation Serif"));
}

} // namespace

TrainerForm::TrainerForm(TrainerSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)),
      timeline_(setup_.clock != nullptr ? *setup_.clock : steadyClock_),
      files_(std::filesystem::current_path().string()) {
    Q_INIT_RESOURCE(pictures);
    installFontSubstitutes();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    setFont(font);
    setWindowTitle(QString::fromUtf8(layout::kWindowCaption));

    auto* backdrop = new Backdrop(this);
    backdrop->setObjectName(QStringLiteral("TrainerForm"));
    backdrop->setAutoFillBackground(true);
    QPalette palette = backdrop->palette();
    palette.setColor(QPalette::Window, Qt::black);
    backdrop->setPalette(palette);
    backdrop->setFixedSize(layout::kClientWidth, layout::kClientHeight);
    setCentralWidget(backdrop);
    connect(backdrop, &Backdrop::backgroundClicked, this, &TrainerForm::hideTextPanels);

    QAction* info = menuBar()->addAction(QStringLiteral("Info"));
    info->setObjectName(QStringLiteral("inf"));
    connect(info, &QAction::triggered, this, &TrainerForm::toggleHelp);

    buildControls();
    setTabOrder();
    trainer_ = std::make_unique<Trainer>(state_, *this, *setup_.tone, random_, timeline_,
                                         setup_.programFolder);
    wireWindow();
    wireKeyingControls();
    wireRandomPanel();
    wireTextPanel();
    wireTypingPanel();
    wireLibraryPanel();
    wireSavePanel();
    new CheckMenu(*this);
    // The window has no resize logic, so it keeps its design size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    windowLoad();
}

TrainerForm::~TrainerForm() = default;

void TrainerForm::buildControls() {
    for (const auto& design : layout::controls()) {
        QWidget* parent = design.parent ? widget(*design.parent) : centralWidget();
        widgets_[static_cast<std::size_t>(design.control)] = layout::createControl(design, parent);
    }
    static_cast<QPlainTextEdit*>(widget(Control::Text8))
        ->setPlainText(withoutCr(layout::kHelpText));
    static_cast<QPlainTextEdit*>(widget(Control::Text8))->setReadOnly(true);
    widget(kTextBox)->setToolTip(QStringLiteral("Dbl-click akan padam teks"));
    for (QWidget* control : widgets_)
        if (qobject_cast<QAbstractButton*>(control))
            control->installEventFilter(this);
    // Stacking: the help box lies over the top-left corner, above the credit line.
    widget(Control::Text8)->raise();
}

void TrainerForm::setTabOrder() {
    QWidget* previous = nullptr;
    for (Control control : layout::tabOrder()) {
        QWidget* next = widget(control);
        if (next->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

// Centred on the screen by the window's outer frame, title bar included (move() places the
// frame's corner). Before the window is shown the frame is not known yet and the client area
// stands in for it; once the window manager has framed it, centring again puts the whole
// frame in the middle.
void TrainerForm::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        const QSize outer = frameGeometry().size();
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - outer.width()) / 2,
             area.y() + (area.height() - outer.height()) / 2);
    }
}

void TrainerForm::windowLoad() {
    centreOnScreen();
    // The start picture is optional: missing or unreadable leaves the black picture area.
    const QPixmap picture(qs(progpath::join(setup_.programFolder, "key22.jpg")));
    if (!picture.isNull())
        static_cast<QLabel*>(widget(Control::Image1))->setPixmap(picture);
    static_cast<QLabel*>(widget(Control::Image2))
        ->setPixmap(QPixmap(QStringLiteral(":/straight-key.jpg")));
}

bool TrainerForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activated_) {
        activated_ = true;
        firstActivation();
    }
    return QMainWindow::event(event);
}

void TrainerForm::firstActivation() {
    centreOnScreen();
    // Topmost from now on: above every window of other programs, also after losing the focus.
    if (QWindow* handle = windowHandle())
        handle->setFlags(handle->flags() | Qt::WindowStaysOnTopHint);
    trainer_->settings.activate();
}

void TrainerForm::closeEvent(QCloseEvent* event) {
    closed_ = true;
    textBox()->dropPendingKeys();
    trainer_->settings.writeBack();
    QMainWindow::closeEvent(event);
}

void TrainerForm::wireWindow() {
    connect(button(Control::Command11), &QAbstractButton::clicked, this, &TrainerForm::endProgram);
}

void TrainerForm::onClick(Control control, void (*handler)(Trainer&)) {
    connect(button(control), &QAbstractButton::clicked, this,
            [this, handler] { handler(*trainer_); });
}

// A run started by a click inside the yield of a running loop runs nested in it, one yield level
// deeper; every level holds the stack of a loop and of the event handling that started it
// (bench/nested_runs_bench measures it). Clicking Go again and again, every click a level, would
// in the end run out of stack; beyond kMaxNestedRuns levels, a small part of the stack, a click
// that would start one more run is ignored, while Stop, Pause, Tamat / End and the close act.
void TrainerForm::onRunClick(Control control, void (*handler)(Trainer&)) {
    connect(button(control), &QAbstractButton::clicked, this, [this, handler] {
        if (yieldDepth_ < kMaxNestedRuns)
            handler(*trainer_);
    });
}

void TrainerForm::wireKeyingControls() {
    onClick(Control::Command7, [](Trainer& t) { t.speedPitch.higherPitch(); });
    onClick(Control::Command8, [](Trainer& t) { t.speedPitch.lowerPitch(); });
    onClick(Control::Command10, [](Trainer& t) { t.speedPitch.faster(); });
    onClick(Control::Command9, [](Trainer& t) { t.speedPitch.slower(); });
    connect(static_cast<QScrollBar*>(widget(Control::HScroll1)), &QScrollBar::valueChanged, this,
            [this] { trainer_->speedPitch.sliderChanged(); });
    connect(static_cast<QLineEdit*>(widget(kRatioBox)), &QLineEdit::textChanged, this,
            [this] { trainer_->speedPitch.ratioChanged(); });
}

void TrainerForm::wireRandomPanel() {
    onClick(Control::Command2, [](Trainer& t) { t.groups.openPanel(); });
    onRunClick(Control::Command3, [](Trainer& t) {
        t.sent.markNewRun();
        t.groups.run();
    });
    connect(button(kGroupsStopButton), &QAbstractButton::clicked, this, [this] {
        if (yieldDepth_ >= kMaxNestedRuns)
            return;
        if (text(kGroupsStopButton) == caption::kResume)
            trainer_->sent.markNewRun();
        trainer_->groups.stopOrRestart();
    });
    for (Control option : {Control::Option1, Control::Option2, Control::Option3, Control::Option6,
                           Control::Option7, Control::Option8, Control::Option9})
        connect(button(option), &QAbstractButton::clicked, this,
                [this, option] { trainer_->groups.chooseSet(option); });
}

void TrainerForm::wireTextPanel() {
    onRunClick(Control::Command5, [](Trainer& t) {
        t.sent.markNewRun();
        t.player.go();
    });
    onRunClick(kPauseButton, [](Trainer& t) {
        t.sent.markResume();
        t.pauseButton.click();
    });
    onClick(kTextStopButton, [](Trainer& t) { t.player.stop(); });
    onClick(kDisplayLine, [](Trainer& t) { t.player.skip(); });
    onRunClick(Control::Command12, [](Trainer& t) {
        t.sent.markNewRun();
        t.words.start();
    });
}

void TrainerForm::wireTypingPanel() {
    onClick(Control::Command4, [](Trainer& t) { t.typing.open(); });
    onClick(kHideButton, [](Trainer& t) { t.typing.hideOrShow(); });
    connect(textBox(), &RichTextBox::keyTyped, this, [this](int code) {
        // The echo of a key is the learner's own, not part of what a run sent.
        const auto muted = trainer_->sent.mute();
        if (!isChecked(kEchoKeysBox) || yield())
            trainer_->typing.echoKey(code);
    });
    connect(textBox(), &RichTextBox::doubleClicked, this, [this] { trainer_->typing.clear(); });
}

void TrainerForm::wireLibraryPanel() {
    onClick(Control::Command13, [](Trainer& t) { t.library.openPanel(); });
    onClick(Control::Command14, [](Trainer& t) { t.library.closePanel(); });
    connect(static_cast<PanelBox*>(widget(kLibraryPanel)), &PanelBox::backgroundClicked, this,
            [this] { trainer_->library.closePanel(); });
    connect(static_cast<QListWidget*>(widget(kFileList)), &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) {
                const int index = item->listWidget()->row(item);
                files_.select(index);
                trainer_->library.choose(index);
            });
}

void TrainerForm::wireSavePanel() {
    onClick(Control::Command15, [](Trainer& t) { t.saving.togglePanel(); });
    onClick(Control::Command16, [](Trainer& t) { t.saving.save(); });
    onClick(Control::Command17, [](Trainer& t) { t.saving.cancel(); });
    // Every click into the name box empties it, even one that only places the caret.
    widget(kSaveNameBox)->installEventFilter(this);
}

bool TrainerForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget(kSaveNameBox) && event->type() == QEvent::MouseButtonPress)
        trainer_->saving.clearName();
    // A held Enter on a focused button clicks it once, not at every repeat of the key (about 25
    // runs a second, each nested in the one before).
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->isAutoRepeat() &&
        qobject_cast<QAbstractButton*>(watched))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TrainerForm::toggleHelp() {
    widget(Control::Text8)->setVisible(widget(Control::Text8)->isHidden());
}

void TrainerForm::hideTextPanels() {
    widget(kGroupsPanel)->hide();
    widget(kTextPanel)->hide();
}

void TrainerForm::endProgram() {
    // Ends at once: no close sequence, no settings written, no further handler runs.
    std::_Exit(EXIT_SUCCESS);
}

QAbstractButton* TrainerForm::button(Control control) const {
    return static_cast<QAbstractButton*>(widget(control));
}

RichTextBox* TrainerForm::textBox() const {
    return static_cast<RichTextBox*>(widget(kTextBox));
}

std::string TrainerForm::text(Control control) const {
    QWidget* w = widget(control);
    switch (layout::design(control).kind) {
    case layout::Kind::Button:
    case layout::Kind::CheckBox:
    case layout::Kind::OptionButton:
        return fromCaption(static_cast<QAbstractButton*>(w)->text());
    case layout::Kind::Label:
    case layout::Kind::DataSource:
    case layout::Kind::Picture:
        return static_cast<QLabel*>(w)->text().toStdString();
    case layout::Kind::TextBox:
        return static_cast<QLineEdit*>(w)->text().toStdString();
    case layout::Kind::MultiLineText:
        return withCrLf(static_cast<QPlainTextEdit*>(w)->toPlainText());
    case layout::Kind::RichText:
        return textBox()->plainText().toStdString();
    case layout::Kind::Frame:
        return static_cast<QGroupBox*>(w)->title().toStdString();
    case layout::Kind::Slider:
        return std::to_string(sliderPosition());
    case layout::Kind::FileList:
        return fileName(selectedFile());
    }
    return {};
}

void TrainerForm::setText(Control control, std::string_view text) {
    QWidget* w = widget(control);
    switch (layout::design(control).kind) {
    case layout::Kind::Button:
    case layout::Kind::CheckBox:
    case layout::Kind::OptionButton:
        static_cast<QAbstractButton*>(w)->setText(toCaption(text));
        return;
    case layout::Kind::Label:
    case layout::Kind::DataSource:
    case layout::Kind::Picture:
        static_cast<QLabel*>(w)->setText(qs(text));
        return;
    case layout::Kind::TextBox:
        static_cast<QLineEdit*>(w)->setText(qs(text));
        return;
    case layout::Kind::MultiLineText:
        static_cast<QPlainTextEdit*>(w)->setPlainText(withoutCr(text));
        return;
    case layout::Kind::RichText:
        // Plain text replaces the content and its formatting alike.
        textBox()->setText(withoutCr(text));
        return;
    case layout::Kind::Frame:
        static_cast<QGroupBox*>(w)->setTitle(qs(text));
        return;
    case layout::Kind::Slider:
    case layout::Kind::FileList:
        return;
    }
}

// A control's own shown/hidden state, as set on it: a box inside a hidden panel still counts as
// shown, and shows again with its panel.
bool TrainerForm::isVisible(Control control) const {
    return !widget(control)->isHidden();
}

void TrainerForm::setVisible(Control control, bool visible) {
    widget(control)->setVisible(visible);
}

bool TrainerForm::isEnabled(Control control) const {
    return widget(control)->isEnabled();
}

void TrainerForm::setEnabled(Control control, bool enabled) {
    widget(control)->setEnabled(enabled);
}

bool TrainerForm::isChecked(Control control) const {
    if (auto* check = qobject_cast<QCheckBox*>(widget(control)))
        return check->checkState() == Qt::Checked;
    return static_cast<QAbstractButton*>(widget(control))->isChecked();
}

int TrainerForm::sliderPosition() const {
    return static_cast<QScrollBar*>(widget(Control::HScroll1))->value();
}

bool TrainerForm::setSliderPosition(double position) {
    auto* slider = static_cast<QScrollBar*>(widget(Control::HScroll1));
    if (!(position >= slider->minimum() && position <= slider->maximum()))
        return false;
    slider->setValue(static_cast<int>(position));
    return true;
}

void TrainerForm::moveCaretToEnd(Control control) {
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget(control)))
        box->moveCursor(QTextCursor::End);
}

void TrainerForm::repaint(Control control) {
    widget(control)->repaint();
}

void TrainerForm::setFocus(Control control) {
    widget(control)->setFocus();
}

// Paths go to the box in the bytes the folder listed them in: a name that is not UTF-8 would not
// survive a round through a QString.
bool TrainerForm::loadDocument(const std::string& path) {
    return textBox()->loadFile(path);
}

bool TrainerForm::saveDocument(const std::string& path) {
    return textBox()->saveFile(path);
}

void TrainerForm::setFilePattern(std::string_view pattern) {
    files_.setPattern(pattern);
    showFileList();
}

int TrainerForm::fileCount() const {
    return files_.count();
}

std::string TrainerForm::fileName(int index) const {
    return files_.name(index);
}

int TrainerForm::selectedFile() const {
    return files_.selectedIndex();
}

void TrainerForm::selectFile(int index) {
    files_.select(index);
    static_cast<QListWidget*>(widget(kFileList))->setCurrentRow(files_.selectedIndex());
}

void TrainerForm::refreshFiles() {
    files_.refresh();
    showFileList();
}

// The list widget shows the names the file list holds, with its selection.
void TrainerForm::showFileList() {
    auto* list = static_cast<QListWidget*>(widget(kFileList));
    list->clear();
    for (int i = 0; i < files_.count(); ++i)
        list->addItem(qs(files_.name(i)));
    list->setCurrentRow(files_.selectedIndex());
}

bool TrainerForm::yield() {
    ++yieldDepth_;
    if (yieldHook_) // what it clicks is handled as if it had been waiting in this yield
        yieldHook_(++yieldCount_);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --yieldDepth_;
    return !closed_;
}
