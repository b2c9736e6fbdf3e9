#include "ui/control_factory.h"

#include "ui/rich_text_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

void PanelBox::mousePressEvent(QMouseEvent* event) {
    emit backgroundClicked();
    event->accept();
}

void Backdrop::mousePressEvent(QMouseEvent* event) {
    emit backgroundClicked();
    event->accept();
}

namespace layout {
namespace {

QWidget* makeWidget(const ControlSpec& design, QWidget* parent) {
    const QString caption = QString::fromUtf8(design.caption);
    switch (design.kind) {
    case Kind::Button:
        return new QPushButton(caption, parent);
    case Kind::Label:
    case Kind::DataSource:
        return new QLabel(caption, parent);
    case Kind::TextBox: {
        auto* box = new QLineEdit(caption, parent);
        if (design.control == kRatioBox)
            box->setMaxLength(4);
        return box;
    }
    case Kind::MultiLineText: {
        auto* box = new QPlainTextEdit(parent);
        box->setVerticalScrollBarPolicy(design.control == kGroupsOutput ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAsNeeded);
        return box;
    }
    case Kind::RichText:
        return new RichTextBox(parent);
    case Kind::CheckBox:
        return new QCheckBox(caption, parent);
    case Kind::OptionButton: {
        auto* option = new QRadioButton(caption, parent);
        option->setChecked(design.control == Control::Option1);
        return option;
    }
    case Kind::Frame: {
        auto* panel = new PanelBox(caption, parent);
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

void applyLook(const ControlSpec& design, QWidget* widget) {
    QPalette palette = widget->palette();
    if (design.textColour) {
        palette.setColor(QPalette::WindowText, *design.textColour);
        palette.setColor(QPalette::Text, *design.textColour);
        palette.setColor(QPalette::ButtonText, *design.textColour);
    }
    if (design.backColour) {
        palette.setColor(QPalette::Window, *design.backColour);
        // A check box's or option button's own box stays light, or it would vanish on black.
        if (design.kind != Kind::CheckBox && design.kind != Kind::OptionButton)
            palette.setColor(QPalette::Base, *design.backColour);
        palette.setColor(QPalette::Button, *design.backColour);
        widget->setAutoFillBackground(true);
    } else if (design.kind != Kind::Label || !design.textColour) {
        // Controls without a colour of their own keep the system's face, not the black window.
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);

    QFont font = widget->font();
    if (design.font == Font::Credit) {
        font = QFont(QStringLiteral("Georgia"));
        font.setPointSizeF(15.75);
        font.setBold(true);
        font.setItalic(true);
    } else if (design.font == Font::Bold) {
        font.setBold(true);
    }
    widget->setFont(font);
    if (auto* label = qobject_cast<QLabel*>(widget); label && design.font == Font::Credit)
        label->setAlignment(Qt::AlignCenter);
}

} // namespace

QWidget* createControl(const ControlSpec& design, QWidget* parent) {
    QWidget* widget = makeWidget(design, parent);
    widget->setObjectName(
        QString::fromUtf8(controlName(design.control).data(),
                          static_cast<qsizetype>(controlName(design.control).size())));
    widget->setGeometry(design.rect);
    applyLook(design, widget);
    // A click on a control is that control's; it never counts as a click on the panel or window.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    if (*design.role)
        widget->setAccessibleName(QString::fromUtf8(design.role));
    widget->setAccessibleDescription(QString::fromUtf8(design.description));
    widget->setEnabled(design.enabled);
    widget->setVisible(design.visible);
    return widget;
}

} // namespace layout
