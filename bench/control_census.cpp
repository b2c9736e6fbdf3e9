#include "control_census.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTextEdit>
#include <array>
#include <map>

namespace {
// Most specific first: a widget counts as the first kind it inherits.
// clang-format off
constexpr std::array kKinds{
    "QPushButton", "QCheckBox", "QRadioButton", "QLineEdit", "QPlainTextEdit", "QTextEdit",
    "QListWidget", "QScrollBar", "QSlider", "QGroupBox", "QLabel",
};
// clang-format on

// The bare window's controls sit in cells of a grid, so that the shown ones are seen.
constexpr int kColumns = 6;
constexpr QSize kCell(72, 24);

const char* kindOf(const QObject* widget) {
    for (const char* kind : kKinds)
        if (widget->inherits(kind))
            return kind;
    return nullptr;
}

// Whether the widget is a working part of a control or menu rather than a control of its own.
bool insideControl(const QWidget* widget, const QMainWindow& window) {
    for (const QObject* up = widget->parent(); up && up != &window; up = up->parent()) {
        const char* kind = kindOf(up);
        if ((kind && QLatin1String(kind) != QLatin1String("QGroupBox")) ||
            up->inherits("QMenuBar") || up->inherits("QMenu"))
            return true;
    }
    return false;
}

QWidget* makeControl(const QString& kind, int number, QWidget* parent) {
    const QString caption = QStringLiteral("Control %1").arg(number);
    if (kind == QLatin1String("QPushButton"))
        return new QPushButton(caption, parent);
    if (kind == QLatin1String("QCheckBox"))
        return new QCheckBox(caption, parent);
    if (kind == QLatin1String("QRadioButton"))
        return new QRadioButton(caption, parent);
    if (kind == QLatin1String("QLineEdit"))
        return new QLineEdit(caption, parent);
    if (kind == QLatin1String("QPlainTextEdit"))
        return new QPlainTextEdit(caption, parent);
    if (kind == QLatin1String("QTextEdit"))
        return new QTextEdit(caption, parent);
    if (kind == QLatin1String("QListWidget"))
        return new QListWidget(parent);
    if (kind == QLatin1String("QScrollBar"))
        return new QScrollBar(Qt::Horizontal, parent);
    if (kind == QLatin1String("QSlider"))
        return new QSlider(Qt::Horizontal, parent);
    if (kind == QLatin1String("QGroupBox"))
        return new QGroupBox(caption, parent);
    if (kind == QLatin1String("QLabel"))
        return new QLabel(caption, parent);
    return nullptr;
}
} // namespace

QString censusOf(const QMainWindow& window) {
    std::map<QString, std::pair<int, int>> shownAndHidden;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        const char* kind = kindOf(widget);
        if (!kind || insideControl(widget, window))
            continue;
        auto& [shown, hidden] = shownAndHidden[QLatin1String(kind)];
        ++(widget->isVisibleTo(&window) ? shown : hidden);
    }
    QStringList line{QStringLiteral("%1x%2").arg(window.width()).arg(window.height())};
    for (const auto& [kind, counts] : shownAndHidden)
        line << QStringLiteral("%1:%2:%3").arg(kind).arg(counts.first).arg(counts.second);
    QStringList menus;
    int barActions = 0;
    for (const QAction* action : window.menuBar()->actions()) {
        if (action->menu())
            menus << QString::number(action->menu()->actions().size());
        else
            ++barActions;
    }
    line << QStringLiteral("menus:") + menus.join(QLatin1Char(','))
         << QStringLiteral("baractions:%1").arg(barActions);
    return line.join(QLatin1Char(' '));
}

void buildFromCensus(QMainWindow& window, const QString& census) {
    auto* central = new QWidget(&window);
    int number = 0;
    for (const QString& token : census.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = token.split(QLatin1Char(':'));
        if (parts.size() == 1 && token.contains(QLatin1Char('x'))) {
            window.resize(token.section(QLatin1Char('x'), 0, 0).toInt(),
                          token.section(QLatin1Char('x'), 1, 1).toInt());
        } else if (parts.value(0) == QLatin1String("menus")) {
            for (const QString& actions :
                 parts.value(1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                QMenu* menu = window.menuBar()->addMenu(QStringLiteral("Menu"));
                for (int i = 0; i < actions.toInt(); ++i)
                    menu->addAction(QStringLiteral("Item %1").arg(i));
            }
        } else if (parts.value(0) == QLatin1String("baractions")) {
            for (int i = 0; i < parts.value(1).toInt(); ++i)
                window.menuBar()->addAction(QStringLiteral("Action %1").arg(i));
        } else if (parts.size() == 3) {
            const int shown = parts[1].toInt(), total = shown + parts[2].toInt();
            for (int i = 0; i < total; ++i) {
                QWidget* control = makeControl(parts[0], ++number, central);
                if (!control)
                    break;
                // Placed as the trainer places its controls, without a layout.
                control->setGeometry((number % kColumns) * kCell.width(),
                                     (number / kColumns) * kCell.height(), kCell.width(),
                                     kCell.height());
                if (i >= shown)
                    control->hide();
            }
        }
    }
    window.setCentralWidget(central);
}
