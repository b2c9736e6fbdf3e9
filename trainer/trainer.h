#pragma once

#include "drills/group_drill.h"
#include "drills/word_drill.h"
#include "engine/keyer.h"
#include "engine/sent_record.h"
#include "engine/speed_pitch.h"
#include "library/save_text.h"
#include "library/text_library.h"
#include "player/text_player.h"
#include "player/typing_panel.h"
#include "player/word_scanner.h"
#include "storage/settings_location.h"
#include "trainer/pause_button.h"
#include "trainer/settings_binding.h"

#include <string>

// The trainer's procedures, wired to each other, over the window's state and view. The window
// owns one and calls into it from its handlers; tests drive the same object.
struct Trainer {
    Trainer(TrainerState& state, TrainerView& view, ToneOutput& tone, RandomSource& random,
            KeyingTimeline& timeline, const std::string& programFolder)
        : settingsFolder(progpath::settingsFolder(programFolder)),
          keyer(state, view, tone, random, timeline), speedPitch(state, view), scanner(state, view),
          groups(state, view, keyer, random), words(state, view, keyer, random, scanner),
          player(state, view, keyer, scanner), pauseButton(state, view, player, words),
          typing(state, view, keyer, player), library(state, view, typing),
          saving(view, settingsFolder), settings(view, speedPitch, groups, settingsFolder),
          sent(state) {
        player.setNextFileStep(&library);
        keyer.setObserver(&sent);
    }

    // Holds the settings file and the saved texts; decided once, when the trainer is made.
    const std::string settingsFolder;
    Keyer keyer;
    SpeedPitch speedPitch;
    WordScanner scanner;
    GroupDrill groups;
    WordDrill words;
    TextPlayer player;
    PauseButton pauseButton;
    TypingPanel typing;
    TextLibrary library;
    SaveText saving;
    SettingsBinding settings;
    SentRecorder sent; // what the last run keyed, for checking a copy
};
