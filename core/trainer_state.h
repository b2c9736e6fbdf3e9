#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Which player was started last: the shared Pause button acts on it.
enum class PlayMode { None = 0, Text = 1, Words = 2, Groups = 3 };
// Which panel was opened last: where a typed key is echoed.
enum class Panel { None = 0, Groups = 1, Text = 2 };

// Everything the trainer remembers while the window is open. The window owns one of these; the
// keying engine, the drills, the player and the library work on it. Every field starts empty
// (0 or the empty string), as it is when the window is created.
//
// How one procedure acts on another's running loop: every loop runs on the window's thread and
// yields before each character (and each group or word); a click handled in that yield writes
// the fields below, and the suspended loop reads them afresh when it continues. There are no stop
// flags: a loop ends when its counter has been moved past its bound.
//
// field                        owner         also written by, and why
// ---------------------------  ------------  ------------------------------------------------
// delayLimit, dashMillis,      speed_pitch   keyer: a random pitch per element for "Fun tone"
//   dotMillis, toneFrequency,
//   gapRepeats
// currentChar                  keyer         each drill and the player: what to send next
// groupCounter, charCounter    group_drill   typing panel: opening the text panel ends a group
//                                              run; word drill: its word counter; text
//                                              player's Skip: ends a word run
// playMode                     each player   whichever run started last: the shared Pause
//                                              button acts on it
// wordIndex, charPos           text_player   none (Pause and Stop move wordIndex past the end)
// pausedIndex                  text_player   word drill: parks its word counter here on Pause
// continuousPlay               text_player   library: choosing a file turns it on
// wordCount, atWordBreak       word_scanner  player, word drill, library: reset before a scan;
//                                              Stop empties the list that way
// panelMode                    typing_panel  group drill and library: the panel they open
// fileIndex, currentFileName   text_library  none

struct TrainerState {
    static constexpr int kWordListSize = 20001;
    static constexpr int kSymbolCount = 42;

    // Keying engine: tone elements and timing.
    std::int64_t delayCounter = 0; // counter of the busy-wait in the delay unit
    double delayLimit = 0;         // busy-wait iterations in one delay unit
    double toneFrequency = 0;      // pitch in Hz of the element being played
    int dashMillis = 0;            // dash length in ms (the slider position)
    double dotMillis = 0;          // dot length in ms

    // Character sender.
    std::string currentChar; // the character sendCharacter plays
    int gapRepeats = 0;      // repeats of the gap patterns
    int gapIndex = 0;        // loop counter shared by every gap loop

    // Random groups and random words.
    std::array<std::string, kSymbolCount> symbols{};
    int charSetStart = 0;
    int charSetWidth = 0;
    double groupCounter = 0; // may hold doubled box values after a stop, so not whole
    double charCounter = 0;
    int pickIndex = 0;
    int wordsOnLine = 0;

    // Text player.
    PlayMode playMode = PlayMode::None;
    int wordIndex = 0;
    int charPos = 0;
    int wordsPlayed = 0;
    int pausedFlag = 0;
    double pausedIndex = 0; // the word drill parks its groupCounter here too
    int pausedCharPos = 0;
    int continuousPlay = 0;

    // Word scanner.
    std::vector<std::string> wordList = std::vector<std::string>(kWordListSize);
    int wordCount = 0;
    int scanPos = 0;
    int atWordBreak = 0;

    // Typing panel.
    Panel panelMode = Panel::None;
    int typedKey = 0;

    // Library.
    int fileIndex = 0;
    std::string currentFileName;
    std::string libraryFolder;
};
