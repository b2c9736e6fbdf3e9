#pragma once

#include "core/control.h"

#include <QColor>
#include <QRect>
#include <optional>
#include <span>

// The window as data: every control with its kind, caption, rectangle, colours and start state.
// Rectangles are in pixels; a control inside a panel is placed relative to that panel.
namespace layout {

enum class Kind {
    Button,
    Label,
    TextBox,
    MultiLineText,
    RichText,
    CheckBox,
    OptionButton,
    Frame,
    Picture,
    Slider,
    FileList,
    DataSource,
};

enum class Font { Default, Credit, Bold };

struct ControlSpec {
    Control control;
    Kind kind;
    std::optional<Control> parent; // the panel that holds it; none for the window itself
    const char* caption;
    QRect rect;
    std::optional<QColor> textColour;
    std::optional<QColor> backColour;
    Font font;
    bool visible;
    bool enabled;
    // For assistive tools. A control that shows a caption is announced by that caption; one
    // without gets `role` as its accessible name. The description ends with the control's name.
    const char* role;
    const char* description;
};

std::span<const ControlSpec> controls();
const ControlSpec& design(Control control);

// The keyboard order of the window; controls that take no focus are passed over when it is set.
std::span<const Control> tabOrder();

// The help box's text: six lines, each ended by a carriage return and a line feed.
extern const char* const kHelpText;

inline constexpr int kClientWidth = 445;
inline constexpr int kClientHeight = 387;
inline constexpr const char* kWindowCaption = "VORNIK - VELDRAN (0Q0QQ)";

} // namespace layout
