#pragma once

// What the text player does at the natural end of a text while continuous play is on: the
// library moves to the next file of its list and loads it. Returns true when a text is ready
// for the player to play from its start, false when there is none.
class NextFileStep {
public:
    virtual ~NextFileStep() = default;
    virtual bool loadNextFile() = 0;
};
