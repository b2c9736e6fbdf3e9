#include "shell/ui/control_factory.h"

#include "shell/ui/rich_text_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

void Panel::mousePressEvent(QMouseEvent* event) {
    emit backgroundClicked();
    event->accept();
}

void Backdrop::mousePressEvent(QMouseEvent* event) {
    emit backgroundClicked();
    event->accept();
}

namespace layout {
namespace {

QWidget* makeWidget(const ControlSpec& spec, QWidget* parent) {
    const QString caption = QString::fromUtf8(spec.caption);
    switch (spec.kind) {
    case Kind::Button:
        return new QPushButton(caption, parent);
    case Kind::Label:
    case Kind::DataSource:
        return new QLabel(caption, parent);
    case Kind::TextBox: {
        auto* box = new QLineEdit(caption, parent);
        if (spec.control == Control::Text7)
            box->setMaxLength(4);
        return box;
    }
    case Kind::MultiLineText: {
        auto* box = new QPlainTextEdit(parent);
        box->setVerticalScrollBarPolicy(spec.control == Control::command1 ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAsNeeded);
        return box;
    }
    case Kind::RichText:
        return new RichTextBox(parent);
    case Kind::CheckBox:
        return new QCheckBox(caption, parent);
    case Kind::OptionButton: {
        auto* option = new QRadioButton(caption, parent);
        option->setChecked(spec.control == Control::Option1);
        return option;
    }
    case Kind::Frame: {
        auto* panel = new Panel(caption, parent);
        panel->setFlat(caption.isEmpty());
        return panel;
    }
    case Kind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setScaledContents(true);
        return picture;
    }
    case Kind::Slider: {
        auto* slider = new QScrollBar(Qt::Horizontal, parent);
        slider->setRange(0, 1000);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        slider->setValue(200);
        // Takes the keyboard like any other control, so the arrow keys move it too.
        slider->setFocusPolicy(Qt::StrongFocus);
        return slider;
    }
    case Kind::FileList:
        return new QListWidget(parent);
    }
    return nullptr;
}

void applyLook(const ControlSpec& spec, QWidget* widget) {
    QPalette palette = widget->palette();
    if (spec.textColour) {
        palette.setColor(QPalette::WindowText, *spec.textColour);
        palette.setColor(QPalette::Text, *spec.textColour);
        palette.setColor(QPalette::ButtonText, *spec.textColour);
    }
    if (spec.backColour) {
        palette.setColor(QPalette::Window, *spec.backColour);
        // A check box's or option button's own box stays light, or it would vanish on black.
        if (spec.kind != Kind::CheckBox && spec.kind != Kind::OptionButton)
            palette.setColor(QPalette::Base, *spec.backColour);
        palette.setColor(QPalette::Button, *spec.backColour);
        widget->setAutoFillBackground(true);
    } else if (spec.kind != Kind::Label || !spec.textColour) {
        // Controls without a colour of their own keep the system's face, not the black window.
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);

    QFont font = widget->font();
    if (spec.font == Font::Credit) {
        font = QFont(QStringLiteral("Georgia"));
        font.setPointSizeF(15.75);
        font.setBold(true);
        font.setItalic(true);
    } else if (spec.font == Font::Bold) {
        font.setBold(true);
    }
    widget->setFont(font);
    if (auto* label = qobject_cast<QLabel*>(widget); label && spec.font == Font::Credit)
        label->setAlignment(Qt::AlignCenter);
}

} // namespace

QWidget* createControl(const ControlSpec& spec, QWidget* parent) {
    QWidget* widget = makeWidget(spec, parent);
    widget->setObjectName(QString::fromUtf8(controlName(spec.control).data(),
                                            static_cast<qsizetype>(controlName(spec.control).size())));
    widget->setGeometry(spec.rect);
    applyLook(spec, widget);
    // A click on a control is that control's; it never counts as a click on the panel or window.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    if (*spec.role)
        widget->setAccessibleName(QString::fromUtf8(spec.role));
    widget->setAccessibleDescription(QString::fromUtf8(spec.description));
    widget->setEnabled(spec.enabled);
    widget->setVisible(spec.visible);
    return widget;
}

} // namespace layout
