#pragma once

#include "form_fixture.h"
#include "player/next_file_step.h"

#include <QString>
#include <functional>
#include <string>

// Stands in for the library at the end of a text: counts how often the player asks for the next
// file, lets a test put that file's text into the box, and reports a text ready for the first
// `readyCalls` calls only, so continuous play ends by itself.
class CountingNextFile : public NextFileStep {
public:
    bool loadNextFile() override {
        ++calls;
        if (calls > readyCalls)
            return false;
        if (load)
            load();
        return true;
    }

    int calls = 0;
    int readyCalls = 0;
    std::function<void()> load;
};

// What the learner hears with the window's default keying, as the keying trace writes it, from
// Morse: a character's elements ("." 89 ms, "-" 250 ms, each followed by a delay unit) and then
// 12 more units; "x" is a character without a code (its 12 units only), "/" a word gap of 24.
inline QString heard(const QString& morse) {
    QStringList out;
    int units = 0;
    const auto flushUnits = [&] {
        if (units > 0)
            out << QString::number(units) + "U";
        units = 0;
    };
    for (const QString& token : morse.split(' ', Qt::SkipEmptyParts)) {
        if (token == "/") {
            units += 24;
            continue;
        }
        for (const QChar element : token == "x" ? QString() : token) {
            flushUnits();
            out << (element == '.' ? "700x89" : "700x250");
            units = 1;
        }
        units += 12;
    }
    flushUnits();
    return out.join(' ');
}

// A window with the default keying, a text in the box and a stand-in for the library.
struct PlayerBench {
    explicit PlayerBench(const std::string& text, int continuousPlay = 0) {
        f.setDefaultKeying();
        f.setText(Control::rtf, text);
        f.state().continuousPlay = continuousPlay;
        f.trainer().player.setNextFileStep(&library);
    }
    // Runs `action` in the k-th yield of the running loop, as a click between two characters
    // would; the trace then holds only what was played after it.
    void atYield(long k, std::function<void()> action) {
        f.form().setYieldHook([this, k, action](long n) {
            if (n != k)
                return;
            action();
            f.trace().clear();
        });
    }
    void clickAtYield(long k, Control control) {
        atYield(k, [this, control] { f.click(control); });
    }
    // Forgets the yield hook and what has been heard, before the next click.
    void settle() {
        f.form().setYieldHook({});
        f.trace().clear();
    }
    QString played() { return QString::fromStdString(f.trace().text()); }
    QString shown(Control control) { return QString::fromStdString(f.text(control)); }

    FormFixture f;
    CountingNextFile library;
};
