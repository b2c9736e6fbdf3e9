#pragma once

#include <string_view>

// Every control of the trainer's window, by the name it carries in the window.
// clang-format off
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
// clang-format on

inline constexpr int kControlCount = static_cast<int>(Control::Text6) + 1;

// The controls the procedures address most, by role. Object names stay as the window has them;
// call sites use these so that they read by purpose.
// clang-format off
inline constexpr Control kGroupsPanel = Control::Frame1; // the random groups panel
inline constexpr Control kTextPanel = Control::Frame2; // the text panel
inline constexpr Control kLibraryPanel = Control::Frame3; // the library panel
inline constexpr Control kSavePanel = Control::Frame4; // the save panel
inline constexpr Control kGroupSizeBox = Control::Text2; // characters per group
inline constexpr Control kGroupCountBox = Control::Text3; // number of groups
inline constexpr Control kGroupsOutput = Control::command1; // the characters of the groups played so far
inline constexpr Control kGroupsStopButton = Control::Command21; // "Stop" / "Jalan" of the groups
inline constexpr Control kTextBox = Control::rtf; // the rich text box
inline constexpr Control kDisplayLine = Control::Command6; // the characters being played by the text player
inline constexpr Control kTextStopButton = Control::Command19; // "Stop" of the text panel
inline constexpr Control kPauseButton = Control::Command20; // "Pause" / "Jalan", shared by the text player and the word drill
inline constexpr Control kHideButton = Control::Command18; // "Hilangkan Teks" / "Lihat Teks"
inline constexpr Control kWordTotalLabel = Control::Label4; // the number of words in the text
inline constexpr Control kWordsPlayedLabel = Control::Label5; // the words played so far
inline constexpr Control kDelayLimitLabel = Control::Label6; // the delay limit
inline constexpr Control kDashLabel = Control::Label7; // the dash length in ms
inline constexpr Control kRatioBox = Control::Text7; // dash length divided by dot length
inline constexpr Control kFunToneBox = Control::Check1; // "Fun tone"
inline constexpr Control kEchoKeysBox = Control::Check2; // "Sound as u type"
inline constexpr Control kSaveNameBox = Control::Text1; // the name to save the text under
inline constexpr Control kFileList = Control::File1; // the library list
inline constexpr Control kStoredDelayLimit = Control::Text4; // settings field LAJ
inline constexpr Control kStoredDash = Control::Text5; // settings field PANJAN
inline constexpr Control kStoredPitch = Control::Text6; // settings field NAD (the pitch in Hz)
// clang-format on

std::string_view controlName(Control control);
