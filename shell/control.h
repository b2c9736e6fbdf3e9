#pragma once

#include <string_view>

// Every control of the trainer's window, by the name it carries in the window.
enum class Control {
    // On the window.
    Label3, Text8, Image1, Check2, Command2, Command4, Command13, Command7, Command8, Command10,
    Command9, Command12, Command18, Command11, Image2, Label8, HScroll1, Label6, Label7, Label5,
    Label4, Check1, Label9, Text7,
    // Panels.
    Frame1, Frame2, Frame3, Frame4,
    // In Frame1, the random groups panel.
    Option1, Option2, Option3, Option6, Option7, Option8, Option9, Label1, Text2, Label2, Text3,
    Command3, command1, Command21,
    // In Frame2, the text panel.
    rtf, Command6, Command5, Command19, Command20, Command15,
    // In Frame4, the save panel.
    Text1, Command16, Command17,
    // In Frame3, the open-file panel with the hidden settings binding.
    File1, Command14, Option4, Option5, Data1, Text4, Text5, Text6,
};

inline constexpr int kControlCount = static_cast<int>(Control::Text6) + 1;

std::string_view controlName(Control control);
