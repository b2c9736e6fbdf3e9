#include "ui/window_layout.h"

#include <QtGlobal>
#include <array>

namespace layout {
namespace {

using C = Control;
using K = Kind;
constexpr auto none = std::nullopt;

const QColor kBlack(0x00, 0x00, 0x00);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kCyan(0x00, 0xFF, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kOrange(0xFF, 0x80, 0x00);
const QColor kLightYellow(0xFF, 0xFF, 0xC0);

// clang-format off
const std::array kControls = {
// control        kind             parent      caption                                   x    y    w    h     text     back          font          shown  enabled role, description
ControlSpec{C::Image1, K::Picture, none, "", {16, 72, 305, 241}, none, kBlack, Font::Default, true, true, "Picture", "Picture of a Morse key (Image1)"},
ControlSpec{C::Frame1, K::Frame, none, "Rawak / Random", {16, 56, 305, 289}, kCyan, kBlack, Font::Default, false, true, "", "Random character groups panel (Frame1)"},
ControlSpec{C::Frame2, K::Frame, none, "Sila taip teks / Pse type your own text", {16, 56, 305, 281}, kCyan, kBlack, Font::Default, false, true, "", "Text panel: type or load a text and play it (Frame2)"},
ControlSpec{C::Frame3, K::Frame, none, "", {48, 104, 241, 193}, none, none, Font::Default, false, true, "Open file panel", "Library of texts; click a file to load it (Frame3)"},
ControlSpec{C::Label3, K::Label, none, "Vornik oleh 0Q0QQ Veldran", {64, 8, 369, 49}, kRed, none, Font::Credit, true, true, "", "Credit line (Label3)"},
ControlSpec{C::Check2, K::CheckBox, none, "Sound as u type", {328, 56, 105, 17}, kRed, kBlack, Font::Default, true, true, "", "Echo every typed key in Morse (Check2)"},
ControlSpec{C::Command2, K::Button, none, "Rawak/Random", {328, 72, 105, 25}, none, none, Font::Default, true, true, "", "Open the random character groups panel (Command2)"},
ControlSpec{C::Command4, K::Button, none, "Taip teks", {328, 100, 49, 33}, none, none, Font::Default, true, true, "", "Open the text box to type your own text (Command4)"},
ControlSpec{C::Command13, K::Button, none, "Buka Fail", {384, 100, 49, 33}, none, none, Font::Default, true, true, "", "Open a text from the library (Command13)"},
ControlSpec{C::Command7, K::Button, none, "Nada +", {328, 136, 49, 25}, none, none, Font::Default, true, true, "", "Raise the tone by 10 Hz (Command7)"},
ControlSpec{C::Command8, K::Button, none, "Nada -", {384, 136, 49, 25}, none, none, Font::Default, true, true, "", "Lower the tone by 10 Hz (Command8)"},
ControlSpec{C::Command10, K::Button, none, "Laju +", {328, 165, 49, 25}, none, none, Font::Default, true, true, "", "Faster: shorter gaps (Command10)"},
ControlSpec{C::Command9, K::Button, none, "Laju -", {384, 165, 49, 25}, none, none, Font::Default, true, true, "", "Slower: longer gaps (Command9)"},
ControlSpec{C::Command12, K::Button, none, "Random Words", {328, 192, 105, 25}, none, none, Font::Default, true, true, "", "Play words drawn at random from the text box (Command12)"},
ControlSpec{C::Command18, K::Button, none, "Hilangkan Teks", {328, 220, 105, 25}, none, none, Font::Default, true, true, "", "Hide or show the text being played (Command18)"},
ControlSpec{C::Command11, K::Button, none, "Tamat / End", {328, 248, 105, 25}, none, kOrange, Font::Default, true, true, "", "End the program at once (Command11)"},
ControlSpec{C::Image2, K::Picture, none, "", {328, 280, 105, 81}, none, kBlack, Font::Default, true, true, "Picture", "Picture of a Morse straight key (Image2)"},
ControlSpec{C::Label8, K::Label, none, "Dot Dash", {16, 344, 49, 17}, kWhite, none, Font::Default, true, true, "", "Names the dash length slider (Label8)"},
ControlSpec{C::HScroll1, K::Slider, none, "", {64, 352, 185, 9}, none, none, Font::Default, true, true, "Dash length", "Dash length in milliseconds (HScroll1)"},
ControlSpec{C::Label6, K::Label, none, "Label6", {280, 352, 65, 17}, kWhite, none, Font::Default, true, true, "", "Delay limit (Label6)"},
ControlSpec{C::Label7, K::Label, none, "Label7", {280, 368, 65, 17}, kYellow, none, Font::Default, true, true, "", "Dash length in milliseconds (Label7)"},
ControlSpec{C::Label5, K::Label, none, "", {0, 368, 41, 17}, kCyan, none, Font::Bold, true, true, "", "Words played so far (Label5)"},
ControlSpec{C::Label4, K::Label, none, "Label4", {48, 368, 225, 17}, kYellow, none, Font::Bold, true, true, "", "Number of words in the text (Label4)"},
ControlSpec{C::Check1, K::CheckBox, none, "", {344, 368, 17, 17}, none, kBlack, Font::Default, true, true, "Fun tone", "Fun tone: a random pitch for every dot and dash (Check1)"},
ControlSpec{C::Label9, K::Label, none, "Fun tone", {360, 368, 49, 17}, kOrange, none, Font::Default, true, true, "", "Names the fun tone check box (Label9)"},
ControlSpec{C::Text7, K::TextBox, none, "2.8", {408, 368, 33, 19}, kCyan, kBlack, Font::Default, true, true, "Dash to dot ratio", "Dash length divided by dot length (Text7)"},
ControlSpec{C::Text8, K::MultiLineText, none, "", {0, 0, 209, 97}, none, kYellow, Font::Default, false, true, "Help", "Help text, shown and hidden with Info (Text8)"},
// The random groups panel.
ControlSpec{C::Option1, K::OptionButton, C::Frame1, "Semua", {232, 8, 57, 17}, kCyan, kBlack, Font::Default, true, true, "", "All letters, digits and marks (Option1)"},
ControlSpec{C::Option2, K::OptionButton, C::Frame1, "Huruf", {232, 24, 57, 17}, kCyan, kBlack, Font::Default, true, true, "", "Letters A to Z (Option2)"},
ControlSpec{C::Option3, K::OptionButton, C::Frame1, "Angka", {232, 40, 65, 17}, kCyan, kBlack, Font::Default, true, true, "", "Digits 0 to 9 (Option3)"},
ControlSpec{C::Option6, K::OptionButton, C::Frame1, "a to f", {8, 48, 49, 17}, none, none, Font::Default, true, true, "", "Letters A to G (Option6)"},
ControlSpec{C::Option7, K::OptionButton, C::Frame1, "h to n", {64, 48, 49, 17}, none, none, Font::Default, true, true, "", "Letters H to N (Option7)"},
ControlSpec{C::Option8, K::OptionButton, C::Frame1, "o to u", {120, 48, 49, 17}, none, none, Font::Default, true, true, "", "Letters O to U (Option8)"},
ControlSpec{C::Option9, K::OptionButton, C::Frame1, "v to z", {176, 48, 49, 17}, none, none, Font::Default, true, true, "", "Letters T to Z (Option9)"},
ControlSpec{C::Label1, K::Label, C::Frame1, "Jum.aksara", {8, 24, 57, 17}, none, none, Font::Default, true, true, "", "Names the characters per group box (Label1)"},
ControlSpec{C::Text2, K::TextBox, C::Frame1, "5", {72, 16, 41, 25}, none, none, Font::Default, true, true, "Characters per group", "Characters in each group (Text2)"},
ControlSpec{C::Label2, K::Label, C::Frame1, "Jum.Kumpulan", {120, 24, 57, 17}, none, none, Font::Default, true, true, "", "Names the number of groups box (Label2)"},
ControlSpec{C::Text3, K::TextBox, C::Frame1, "20", {184, 16, 41, 25}, none, none, Font::Default, true, true, "Number of groups", "Number of groups to play (Text3)"},
ControlSpec{C::Command3, K::Button, C::Frame1, "Go rawak/random", {8, 72, 281, 25}, none, none, Font::Default, true, true, "", "Play random groups (Command3)"},
ControlSpec{C::command1, K::MultiLineText, C::Frame1, "", {8, 104, 281, 153}, none, kLightYellow, Font::Default, true, true, "Groups played", "The characters played so far (command1)"},
ControlSpec{C::Command21, K::Button, C::Frame1, "Stop", {8, 264, 281, 23}, none, none, Font::Default, true, true, "", "Stop the groups, or start them again (Command21)"},
// The text panel.
ControlSpec{C::rtf, K::RichText, C::Frame2, "", {8, 16, 289, 153}, none, kLightYellow, Font::Default, true, true, "Text", "The text to type or play; double-click to clear it (rtf)"},
ControlSpec{C::Command6, K::Button, C::Frame2, "", {8, 176, 289, 67}, none, none, Font::Default, true, true, "", "The characters being played; click to skip to the end of the text (Command6)"},
ControlSpec{C::Command5, K::Button, C::Frame2, "Go morse", {8, 248, 73, 25}, none, none, Font::Default, true, true, "", "Play the text in Morse (Command5)"},
ControlSpec{C::Command19, K::Button, C::Frame2, "Stop", {88, 248, 49, 25}, none, none, Font::Default, true, false, "", "Stop playing and clear the text (Command19)"},
ControlSpec{C::Command20, K::Button, C::Frame2, "Pause", {144, 248, 73, 25}, none, none, Font::Default, true, false, "", "Pause, or go on after a pause (Command20)"},
ControlSpec{C::Command15, K::Button, C::Frame2, "Simpan Fail", {224, 248, 73, 25}, none, none, Font::Default, true, true, "", "Show or hide the save panel (Command15)"},
ControlSpec{C::Frame4, K::Frame, C::Frame2, "", {64, 96, 193, 113}, none, none, Font::Default, false, true, "Save panel", "Save the text under a name (Frame4)"},
// The save panel.
ControlSpec{C::Text1, K::TextBox, C::Frame4, "", {8, 16, 177, 25}, none, none, Font::Default, true, true, "File name", "Name to save the text under (Text1)"},
ControlSpec{C::Command16, K::Button, C::Frame4, "OK Simpan", {32, 48, 129, 25}, none, none, Font::Default, true, true, "", "Save the text (Command16)"},
ControlSpec{C::Command17, K::Button, C::Frame4, "Batal", {32, 80, 129, 25}, none, none, Font::Default, true, true, "", "Close the save panel without saving (Command17)"},
// The open-file panel, which also holds the hidden settings binding.
ControlSpec{C::File1, K::FileList, C::Frame3, "", {16, 24, 209, 123}, none, none, Font::Default, true, true, "Library files", "Texts in the library; click one to load it (File1)"},
ControlSpec{C::Command14, K::Button, C::Frame3, "BATAL", {152, 160, 65, 25}, none, none, Font::Default, true, true, "", "Close the library panel (Command14)"},
ControlSpec{C::Option4, K::OptionButton, C::Frame3, "Buku", {16, 168, 57, 17}, none, none, Font::Default, false, true, "", "Books (Option4)"},
ControlSpec{C::Option5, K::OptionButton, C::Frame3, "Artikel", {72, 168, 57, 17}, none, none, Font::Default, false, true, "", "Articles (Option5)"},
ControlSpec{C::Data1, K::DataSource, C::Frame3, "Data1", {0, 0, 76, 20}, none, none, Font::Default, false, true, "", "Settings data source (Data1)"},
ControlSpec{C::Text4, K::TextBox, C::Frame3, "", {88, 0, 41, 19}, none, none, Font::Default, false, true, "Delay limit setting", "Stored delay limit (Text4)"},
ControlSpec{C::Text5, K::TextBox, C::Frame3, "", {136, 0, 41, 19}, none, none, Font::Default, false, true, "Dash length setting", "Stored dash length (Text5)"},
ControlSpec{C::Text6, K::TextBox, C::Frame3, "", {184, 0, 41, 19}, none, none, Font::Default, false, true, "Pitch setting", "Stored tone pitch in Hz (Text6)"},
};

const std::array kTabOrder = {
    C::Command2, C::Frame1, C::Command3, C::Text3, C::Text2, C::Label2, C::Label1, C::Command4,
    C::Option1, C::Option2, C::Option3, C::Frame2, C::Command5, C::Command6, C::Command7,
    C::Command8, C::Command9, C::Command10, C::Command11, C::Command12, C::rtf, C::Command13,
    C::Frame3, C::Option4, C::Option5, C::File1, C::Command14, C::Command15, C::Frame4, C::Text1,
    C::Label4, C::Command16, C::Command17, C::Label5, C::HScroll1, C::Label6, C::Label7, C::Text4,
    C::Text5, C::Label8, C::Text6, C::Label3, C::Text7, C::Command18, C::Check1, C::Label9,
    C::Check2, C::Command21, C::Command19, C::Command20, C::Option6, C::Option7, C::Option8,
    C::Option9, C::command1, C::Text8,
};
// clang-format on

} // namespace

const char* const kHelpText =
    "Look at the white and yellow number at the \r\n"
    "bottom. You can change these numbers \r\n"
    "and the speed will change by moving he \r\n"
    "slider on it's left and the button Laju - or laju \r\n"
    "+.                                                                  \r\n"
    "Click Info to toggle this box.\r\n";

std::span<const ControlSpec> controls() {
    return kControls;
}

const ControlSpec& design(Control control) {
    for (const auto& s : kControls)
        if (s.control == control)
            return s;
    qFatal("control missing from the window layout");
}

std::span<const Control> tabOrder() {
    return kTabOrder;
}

} // namespace layout
