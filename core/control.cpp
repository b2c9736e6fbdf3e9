#include "core/control.h"

#include <array>

namespace {
// clang-format off
constexpr std::array<std::string_view, kControlCount> kNames = {
    "Label3",   "Text8",     "Image1",    "Check2",    "Command2",  "Command4",  "Command13",
    "Command7", "Command8",  "Command10", "Command9",  "Command12", "Command18", "Command11",
    "Image2",   "Label8",    "HScroll1",  "Label6",    "Label7",    "Label5",    "Label4",
    "Check1",   "Label9",    "Text7",     "Frame1",    "Frame2",    "Frame3",    "Frame4",
    "Option1",  "Option2",   "Option3",   "Option6",   "Option7",   "Option8",   "Option9",
    "Label1",   "Text2",     "Label2",    "Text3",     "Command3",  "command1",  "Command21",
    "rtf",      "Command6",  "Command5",  "Command19", "Command20", "Command15", "Text1",
    "Command16", "Command17", "File1",    "Command14", "Option4",   "Option5",   "Data1",
    "Text4",    "Text5",     "Text6",
};
// clang-format on
} // namespace

std::string_view controlName(Control control) {
    return kNames[static_cast<std::size_t>(control)];
}
