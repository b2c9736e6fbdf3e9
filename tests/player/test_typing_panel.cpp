#include "player_test_support.h"
#include "ui/rich_text_box.h"

#include <QTest>

// The text panel opened for the learner's own text: the key echo, hiding and showing the text,
// clearing it with a double-click, and what opening the panel does to a running player.
//
// The running player plays "ab cd efg" with continuous play on; yields as in the player's tests:
// word 1 at 1 (a 2, b 3, end 4), word 2 at 5 (c 6, d 7, end 8), word 3 at 9 (e 10, f 11, g 12,
// end 13).
Q_DECLARE_METATYPE(Control)

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

RichTextBox* textBox(FormFixture& f) {
    return qobject_cast<RichTextBox*>(f.form().widget(Control::rtf));
}

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
        QTest::newRow("Z, the last capital, as typed") << int('Z') << "--.." << int('Z');
        QTest::newRow("digit") << int('7') << "--..." << int('7');
        QTest::newRow("slash") << int('/') << "-..-." << int('/');
        QTest::newRow("Enter") << 13 << "x" << 13;
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
        QCOMPARE(qs(f.trace().text()), heard(morse));
        QCOMPARE(f.state().typedKey, typedKey);
        QCOMPARE(qs(f.text(Control::rtf)), QString("kept"));
    }

    // With the echo on (Check2) a typed key sounds before it lands in the box, and lands as typed.
    void typedKeyLandsUnchanged_data() {
        QTest::addColumn<bool>("echo");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("morse");
        QTest::addColumn<QString>("box");
        QTest::newRow("] echoed") << true << "]"
                                  << "-...-" << QString("]");
        QTest::newRow("Enter echoed") << true << "\r"
                                      << "x" << QString("\r\n");
        QTest::newRow("two keys echoed") << true << "Hi"
                                         << ".... .." << QString("Hi");
        QTest::newRow("] silent") << false << "]"
                                  << "" << QString("]");
        QTest::newRow("Enter silent") << false << "\r"
                                      << "" << QString("\r\n");
    }
    void typedKeyLandsUnchanged() {
        QFETCH(bool, echo);
        QFETCH(QString, keys);
        QFETCH(QString, morse);
        QFETCH(QString, box);
        FormFixture f;
        f.setDefaultKeying();
        if (echo)
            f.click(Control::Check2);
        f.click(Control::Command4);
        // Runs after the window's own echo handler: the character has sounded, not yet landed.
        QStringList boxWhenTyped;
        QStringList heardWhenTyped;
        QObject::connect(textBox(f), &RichTextBox::keyTyped, textBox(f), [&] {
            boxWhenTyped << qs(f.text(Control::rtf));
            heardWhenTyped << qs(f.trace().text());
        });
        QTest::keyClicks(textBox(f), keys);
        QCOMPARE(qs(f.trace().text()), heard(morse));
        QCOMPARE(boxWhenTyped.first(), QString());
        QCOMPARE(heardWhenTyped.first().isEmpty(), !echo);
        QCOMPARE(f.state().typedKey == 0, !echo);
        QCOMPARE(qs(f.text(Control::rtf)), box);
    }

    void openPushesTheDrillCountersPastTheirBounds_data() {
        QTest::addColumn<QString>("perGroup");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<double>("charCounter");
        QTest::addColumn<double>("groupCounter");
        QTest::newRow("numbers") << "5" << QString("10") << 6.0 << 11.0;
        QTest::newRow("empty and letters") << "" << QString("banyak") << 1.0 << 1.0;
        QTest::newRow("leading numbers") << "2.5 huruf" << QString(" 7,") << 3.5 << 8.0;
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
        QCOMPARE(f.state().panelMode, Panel::Text);
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
        const QString hide = "Lihat Teks";
        const QString show = "Hilangkan Teks";
        QTest::newRow("hidden") << "typing toggle" << hide << false << true << false;
        QTest::newRow("hidden and shown again")
            << "typing toggle toggle" << show << false << true << true;
        QTest::newRow("shown on the random panel: the text stays hidden")
            << "typing toggle groups toggle" << show << true << false << false;
        QTest::newRow("back to typing: still hidden")
            << "typing toggle groups toggle typing" << show << false << true << false;
        QTest::newRow("back to typing: one more click hides nothing new")
            << "typing toggle groups toggle typing toggle" << hide << false << true << false;
        QTest::newRow("back to typing: two more clicks show it")
            << "typing toggle groups toggle typing toggle toggle" << show << false << true << true;
        QTest::newRow("before any panel: hiding") << "toggle" << hide << false << false << false;
        QTest::newRow("before any panel: showing changes only the caption")
            << "toggle toggle" << show << false << false << false;
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

    // Opening the typing panel (Command4) or hiding the text (Command18) while a text plays: the
    // text plays on to its end, and the next file is asked for.
    void clickDuringPlaybackLetsItPlayOn_data() {
        QTest::addColumn<Control>("control");
        QTest::addColumn<long>("atYield");
        QTest::addColumn<QString>("morseAfter");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("lineShown");
        const Control open = Control::Command4;
        QTest::newRow("open before the first word")
            << open << 1L << ".- -... / -.-. -.. / . ..-. --. /"
            << "ab cd efg " << QString() << true;
        QTest::newRow("open in a word") << open << 7L << "-.. / . ..-. --. /"
                                        << "d efg " << QString() << true;
        QTest::newRow("open after the last character") << open << 13L << "/"
                                                       << " " << QString() << true;
        QTest::newRow("hide before a word's first character")
            << Control::Command18 << 6L << "-.-. -.. / . ..-. --. /"
            << "ab cd efg " << QString("ab cd efg") << false;
    }
    void clickDuringPlaybackLetsItPlayOn() {
        QFETCH(Control, control);
        QFETCH(long, atYield);
        QFETCH(QString, morseAfter);
        QFETCH(QString, display);
        QFETCH(QString, box);
        QFETCH(bool, lineShown);
        PlayerBench b("ab cd efg", 1);
        b.clickAtYield(atYield, control);
        b.f.click(Control::Command5);
        QCOMPARE(b.played(), heard(morseAfter));
        QCOMPARE(b.shown(Control::rtf), box);
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.f.form().isVisible(Control::Command6), lineShown);
        QCOMPARE(b.shown(Control::Label5), QString("3"));
        QCOMPARE(b.library.calls, 1);
    }

    void doubleClickEmptiesTheBoxAndEndsTheText_data() {
        QTest::addColumn<long>("clearAt");
        QTest::addColumn<int>("nextReady");
        QTest::addColumn<QString>("morseAfter");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("nextFileCalls");
        QTest::newRow("before the word's first character")
            << 6L << 0 << "-.-. -.. /" << QString("ab cd ") << 1;
        QTest::newRow("in the word") << 7L << 0 << "-.. /" << QString("ab cd ") << 1;
        QTest::newRow("between words") << 5L << 0 << "" << QString("ab ") << 1;
        QTest::newRow("the next file follows") << 7L << 1 << "-.. / .- /" << QString("a ") << 2;
    }
    void doubleClickEmptiesTheBoxAndEndsTheText() {
        QFETCH(long, clearAt);
        QFETCH(int, nextReady);
        QFETCH(QString, morseAfter);
        QFETCH(QString, display);
        QFETCH(int, nextFileCalls);
        PlayerBench b("ab cd efg", 1);
        b.library.readyCalls = nextReady;
        b.library.load = [&b] { b.f.setText(Control::rtf, "a"); };
        QString boxAfterDoubleClick = "not cleared";
        b.atYield(clearAt, [&] {
            QWidget* area = textBox(b.f)->viewport();
            QTest::mouseDClick(area, Qt::LeftButton, {}, area->rect().center());
            boxAfterDoubleClick = b.shown(Control::rtf);
        });
        b.f.click(Control::Command5);
        QCOMPARE(boxAfterDoubleClick, QString());
        QCOMPARE(b.played(), heard(morseAfter));
        QCOMPARE(b.shown(Control::Command6), display);
        QCOMPARE(b.library.calls, nextFileCalls);
    }
};

QTEST_MAIN(TypingPanelTest)
#include "test_typing_panel.moc"
