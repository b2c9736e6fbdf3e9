#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Everything the trainer remembers while the window is open. The window owns one of these; the
// keying engine, the drills, the player and the library work on it. Every field starts empty
// (0 or the empty string), as it is when the window is created.
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
    int playMode = 0; // 1 text, 2 words, 3 groups: which player was started last
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
    int panelMode = 0; // 1 random groups panel, 2 text panel: which was opened last
    int typedKey = 0;

    // Library.
    int fileIndex = 0;
    std::string currentFileName;
    std::string libraryFolder;
};
