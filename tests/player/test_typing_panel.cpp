#include "form_fixture.h"
#include "player_test_support.h"
#include "shell/ui/rich_text_box.h"

#include <QTest>

// The text panel opened for the learner's own text: the key echo, hiding and showing the text,
// clearing it with a double-click, and what opening the panel does to a running player.
namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

RichTextBox* textBox(FormFixture& f) {
    return qobject_cast<RichTextBox*>(f.form().widget(Control::rtf));
}

// Plays "ab cd efg" with continuous play on; yields as in the player's tests: word 1 at 1 (a 2,
// b 3, end 4), word 2 at 5 (c 6, d 7, end 8), word 3 at 9 (e 10, f 11, g 12, end 13).
struct PlayingBench {
    PlayingBench() {
        f.setDefaultKeying();
        f.setText(Control::rtf, "ab cd efg");
        f.state().continuousPlay = 1;
        f.trainer().player.setNextFileStep(&library);
    }
    // Runs `action` in the k-th yield; the trace then holds only what was played after it.
    void atYield(long k, std::function<void()> action) {
        f.form().setYieldHook([this, k, action](long n) {
            if (n != k)
                return;
            action();
            f.trace().clear();
        });
    }

    FormFixture f;
    CountingNextFile library;
};

} // namespace

class TypingPanelTest : public QObject {
    Q_OBJECT

private slots:
    void echoFoldsTheKeyCode_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("morse");
        QTest::addColumn<int>("typedKey");
        QTest::newRow("a sounds A") << int('a') << ".-" << int('A');
        QTest::newRow("z sounds Z") << int('z') << "--.." << int('Z');
        QTest::newRow("] sounds =") << int(']') << "-...-" << int('=');
        QTest::newRow("_ sounds ?") << int('_') << "..--.." << int('?');
        QTest::newRow("{ becomes [, which has no code") << int('{') << "x" << int('[');
        QTest::newRow("capital Q as typed") << int('Q') << "--.-" << int('Q');
        QTest::newRow("Z, the last code kept") << int('Z') << "--.." << int('Z');
        QTest::newRow("digit") << int('7') << "--..." << int('7');
        QTest::newRow("slash") << int('/') << "-..-." << int('/');
        QTest::newRow("Enter") << 13 << "x" << 13;
        QTest::newRow("Backspace") << 8 << "x" << 8;
        QTest::newRow("blank") << 32 << "x" << 32;
        QTest::newRow("accented letter") << 0xE9 << "x" << 0xC9;
        QTest::newRow("Cyrillic letter") << 0x0434 << "x" << 0x0414;
    }
    void echoFoldsTheKeyCode() {
        QFETCH(int, code);
        QFETCH(QString, morse);
        QFETCH(int, typedKey);
        FormFixture f;
        f.setDefaultKeying();
        f.click(Control::Check2);
        f.setText(Control::rtf, "kept");
        f.trainer().typing.echoKey(code);
        QCOMPARE(qs(f.trace().text()), qs(heard(morse.toStdString())));
        QCOMPARE(f.state().typedKey, typedKey);
        QCOMPARE(qs(f.text(Control::rtf)), QString("kept"));
    }

    void typedKeySoundsBeforeItLandsUnchanged_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("morse");
        QTest::addColumn<QString>("box");
        QTest::newRow("a") << "a"
                           << ".-"
                           << "a";
        QTest::newRow("]") << "]"
                           << "-...-"
                           << "]";
        QTest::newRow("_") << "_"
                           << "..--.."
                           << "_";
        QTest::newRow("digit") << "4"
                               << "....-"
                               << "4";
        QTest::newRow("Enter") << "\r"
                               << "x"
                               << "\r\n";
        QTest::newRow("two keys") << "Hi"
                                  << ".... .."
                                  << "Hi";
    }
    void typedKeySoundsBeforeItLandsUnchanged() {
        QFETCH(QString, keys);
        QFETCH(QString, morse);
        QFETCH(QString, box);
        FormFixture f;
        f.setDefaultKeying();
        f.click(Control::Check2);
        f.click(Control::Command4);
        // Runs after the window's own echo handler: the character has sounded, not yet landed.
        QStringList boxWhenSounded;
        QObject::connect(textBox(f), &RichTextBox::keyTyped, textBox(f), [&] {
            boxWhenSounded << qs(f.text(Control::rtf));
            QVERIFY(!f.trace().text().empty());
        });
        QTest::keyClicks(textBox(f), keys);
        QCOMPARE(qs(f.trace().text()), qs(heard(morse.toStdString())));
        QCOMPARE(boxWhenSounded.first(), QString());
        QCOMPARE(qs(f.text(Control::rtf)), box);
    }

    void echoOffIsSilent_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("box");
        QTest::newRow("a") << "a"
                           << "a";
        QTest::newRow("]") << "]"
                           << "]";
        QTest::newRow("Enter") << "\r"
                               << "\r\n";
    }
    void echoOffIsSilent() {
        QFETCH(QString, keys);
        QFETCH(QString, box);
        FormFixture f;
        f.setDefaultKeying();
        f.click(Control::Command4);
        QTest::keyClicks(textBox(f), keys);
        QCOMPARE(qs(f.trace().text()), QString());
        QCOMPARE(f.state().typedKey, 0);
        QCOMPARE(qs(f.text(Control::rtf)), box);
    }

    void openPushesTheDrillCountersPastTheirBounds_data() {
        QTest::addColumn<QString>("perGroup");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<double>("charCounter");
        QTest::addColumn<double>("groupCounter");
        QTest::newRow("numbers") << "5"
                                 << "10" << 6.0 << 11.0;
        QTest::newRow("empty and letters") << ""
                                           << "banyak" << 1.0 << 1.0;
        QTest::newRow("leading numbers") << "2.5 huruf"
                                         << " 7," << 3.5 << 8.0;
    }
    void openPushesTheDrillCountersPastTheirBounds() {
        QFETCH(QString, perGroup);
        QFETCH(QString, groups);
        QFETCH(double, charCounter);
        QFETCH(double, groupCounter);
        FormFixture f;
        f.setText(Control::Text2, perGroup.toStdString());
        f.setText(Control::Text3, groups.toStdString());
        f.click(Control::Command2);
        f.setText(Control::rtf, "teks lama");
        f.setText(Control::Command6, "baris lama");
        f.click(Control::Command4);
        QCOMPARE(f.state().charCounter, charCounter);
        QCOMPARE(f.state().groupCounter, groupCounter);
        QCOMPARE(f.state().panelMode, 2);
        QCOMPARE(qs(f.text(Control::rtf)), QString());
        QCOMPARE(qs(f.text(Control::Command6)), QString());
        QVERIFY(!f.form().isVisible(Control::Frame1));
        QVERIFY(f.form().isVisible(Control::Frame2));
        QCOMPARE(f.form().focusWidget(), f.form().widget(Control::rtf));
    }

    void hideAndShow_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("randomPanel");
        QTest::addColumn<bool>("textPanel");
        QTest::addColumn<bool>("textShown");
        // Steps: "typing" opens the typing panel, "groups" the random groups panel, "toggle"
        // clicks the hide/show button.
        QTest::newRow("hidden") << "typing toggle"
                                << "Lihat Teks" << false << true << false;
        QTest::newRow("hidden and shown again") << "typing toggle toggle"
                                                << "Hilangkan Teks" << false << true << true;
        QTest::newRow("shown on the random panel: the text stays hidden")
            << "typing toggle groups toggle"
            << "Hilangkan Teks" << true << false << false;
        QTest::newRow("back to typing: still hidden") << "typing toggle groups toggle typing"
                                                      << "Hilangkan Teks" << false << true << false;
        QTest::newRow("back to typing: one more click hides nothing new")
            << "typing toggle groups toggle typing toggle"
            << "Lihat Teks" << false << true << false;
        QTest::newRow("back to typing: two more clicks show it")
            << "typing toggle groups toggle typing toggle toggle"
            << "Hilangkan Teks" << false << true << true;
        QTest::newRow("before any panel: hiding") << "toggle"
                                                  << "Lihat Teks" << false << false << false;
        QTest::newRow("before any panel: showing changes only the caption")
            << "toggle toggle"
            << "Hilangkan Teks" << false << false << false;
    }
    void hideAndShow() {
        QFETCH(QString, steps);
        QFETCH(QString, caption);
        QFETCH(bool, randomPanel);
        QFETCH(bool, textPanel);
        QFETCH(bool, textShown);
        FormFixture f;
        const QHash<QString, Control> buttons{{"typing", Control::Command4},
                                              {"groups", Control::Command2},
                                              {"toggle", Control::Command18}};
        for (const QString& step : steps.split(' '))
            f.click(buttons.value(step));
        QCOMPARE(qs(f.text(Control::Command18)), caption);
        QCOMPARE(f.form().isVisible(Control::Frame1), randomPanel);
        QCOMPARE(f.form().isVisible(Control::Frame2), textPanel);
        QCOMPARE(f.form().isVisible(Control::rtf), textShown);
        QCOMPARE(f.form().isVisible(Control::Command6), textShown);
    }

    void hidingDoesNotTouchPlayback() {
        PlayingBench b;
        b.atYield(6, [&b] { b.f.click(Control::Command18); });
        b.f.click(Control::Command5);
        QCOMPARE(qs(b.f.trace().text()), qs(heard("-.-. -.. / . ..-. --. /")));
        QCOMPARE(qs(b.f.text(Control::Command6)), QString("ab cd efg "));
        QVERIFY(!b.f.form().isVisible(Control::Command6));
    }

    void doubleClickEmptiesTheBoxAndEndsTheText_data() {
        QTest::addColumn<long>("clearAt");
        QTest::addColumn<int>("nextReady");
        QTest::addColumn<QString>("morseAfter");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("nextFileCalls");
        QTest::newRow("before the word's first character") << 6L << 0 << "-.-. -.. /"
                                                           << "ab cd " << 1;
        QTest::newRow("in the word") << 7L << 0 << "-.. /"
                                     << "ab cd " << 1;
        QTest::newRow("between words") << 5L << 0 << ""
                                       << "ab " << 1;
        QTest::newRow("the next file follows") << 7L << 1 << "-.. / .- /"
                                               << "a " << 2;
    }
    void doubleClickEmptiesTheBoxAndEndsTheText() {
        QFETCH(long, clearAt);
        QFETCH(int, nextReady);
        QFETCH(QString, morseAfter);
        QFETCH(QString, display);
        QFETCH(int, nextFileCalls);
        PlayingBench b;
        b.library.readyCalls = nextReady;
        b.library.load = [&b] { b.f.setText(Control::rtf, "a"); };
        QString boxAfterDoubleClick = "not cleared";
        b.atYield(clearAt, [&] {
            QWidget* area = textBox(b.f)->viewport();
            QTest::mouseDClick(area, Qt::LeftButton, {}, area->rect().center());
            boxAfterDoubleClick = qs(b.f.text(Control::rtf));
        });
        b.f.click(Control::Command5);
        QCOMPARE(boxAfterDoubleClick, QString());
        QCOMPARE(qs(b.f.trace().text()), qs(heard(morseAfter.toStdString())));
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(b.library.calls, nextFileCalls);
    }

    void openingDuringPlaybackLetsItPlayOn_data() {
        QTest::addColumn<long>("openAt");
        QTest::addColumn<QString>("display");
        QTest::newRow("before the first word") << 1L << "ab cd efg ";
        QTest::newRow("in a word") << 7L << "d efg ";
        QTest::newRow("after the last character") << 13L << " ";
    }
    void openingDuringPlaybackLetsItPlayOn() {
        QFETCH(long, openAt);
        QFETCH(QString, display);
        PlayingBench b;
        b.f.form().setYieldHook([&b, openAt](long n) {
            if (n == openAt)
                b.f.click(Control::Command4);
        });
        b.f.click(Control::Command5);
        QCOMPARE(qs(b.f.trace().text()), qs(heard(".- -... / -.-. -.. / . ..-. --. /")));
        QCOMPARE(qs(b.f.text(Control::rtf)), QString());
        QCOMPARE(qs(b.f.text(Control::Command6)), display);
        QCOMPARE(qs(b.f.text(Control::Label5)), QString("3"));
        QCOMPARE(b.library.calls, 1);
    }
};

QTEST_MAIN(TypingPanelTest)
#include "test_typing_panel.moc"
