// Files, names, stored values and keys that once crashed, hung or drained the trainer, each
// through the path the window uses.
#include "form_fixture.h"
#include "hostile_samples.h"
#include "storage/settings_store.h"
#include "ui/rich_text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <fstream>

Q_DECLARE_METATYPE(SettingsRecord)

namespace {

std::string written(const QString& folder, const std::string& name, const std::string& bytes) {
    const std::string path = QDir(folder).filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

RichTextBox* box(FormFixture& f) {
    return static_cast<RichTextBox*>(f.form().widget(kTextBox));
}

} // namespace

class HostileInputTest : public QObject {
    Q_OBJECT
private slots:
    void samplesLoadAndScroll_data() {
        QTest::addColumn<std::string>("name");
        for (const std::string& name : hostileSampleNames())
            if (name != "lines-1m") // still too slow for the box: see the benchmark
                QTest::newRow(name.c_str()) << name;
    }
    void samplesLoadAndScroll() {
        QFETCH(std::string, name);
        const HostileSample sample = hostileSample(name);
        FormFixture f;
        f.form().show();
        f.trainer().typing.open();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(f.form().loadDocument(written(f.programFolder(), sample.fileName, sample.bytes)));
        box(f)->verticalScrollBar()->setValue(box(f)->verticalScrollBar()->maximum());
        box(f)->viewport()->grab();
        QVERIFY2(clock.elapsed() < 60000, "hang guard"); // a hang took minutes, a crash never ended
        const std::string text = f.text(kTextBox);
        QVERIFY(text.find(sample.marker) != std::string::npos);
        if (sample.fileName.ends_with(".txt")) // the player reads exactly what the file holds
            QVERIFY(text == sample.bytes);
    }

    void longLinesReadBackAsTheyWere_data() {
        QTest::addColumn<std::string>("text");
        QTest::newRow("word with a wide character at every cut") << [] {
            std::string s;
            for (int i = 0; i < 6000; ++i)
                s += "\xC3\xA9\xF0\x9F\x98\x80";
            return s;
        }();
        QTest::newRow("line of words") << std::string(9000, 'a').replace(4000, 1, " ");
        QTest::newRow("long and short lines") << "ab\r\n" + std::string(10000, 'z') + "\r\n\r\ncd";
    }
    void longLinesReadBackAsTheyWere() {
        QFETCH(std::string, text);
        FormFixture f;
        f.setText(kTextBox, text);
        QCOMPARE(f.text(kTextBox), text);
        const std::string saved = QDir(f.programFolder()).filePath("saved.rtf").toStdString();
        QVERIFY(f.form().saveDocument(saved) && f.form().loadDocument(saved));
        QCOMPARE(f.text(kTextBox), text);
    }

    void picturesAreNeverRead() {
        FormFixture f;
        const QString picture = QDir(f.programFolder()).filePath("key.png");
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(picture));
        const std::string url = QUrl::fromLocalFile(picture).toString().toStdString();
        for (const std::string& page :
             {"<p>one <img src=\"" + url + "\" alt=\"kunci\"> two</p>",
              "<table background=\"" + url + "\"><tr><td>kunci</td></tr></table>",
              "<p>one <IMG\nsrc=" + picture.toStdString() + " alt=kunci>"}) {
            QVERIFY(f.form().loadDocument(written(f.programFolder(), "page.htm", page)));
            box(f)->viewport()->grab();
            QVERIFY(f.text(kTextBox).find("kunci") != std::string::npos);
            QVERIFY(box(f)
                        ->document()
                        ->resource(QTextDocument::ImageResource, QUrl(QString::fromStdString(url)))
                        .isNull());
        }
    }

    void storedValuesOutOfRange_data() {
        QTest::addColumn<SettingsRecord>("stored");
        QTest::addColumn<SettingsRecord>("shown");
        QTest::newRow("in range") << SettingsRecord{"-500", "1000", "30", "10"}
                                  << SettingsRecord{"-500", "1000", "30", "10"};
        QTest::newRow("beyond") << SettingsRecord{"99999999999", "1001", "20001", "10.5"}
                                << SettingsRecord{"3000", "250", "700", "2.8"};
        QTest::newRow("below") << SettingsRecord{"-100001", "-1", "29", "0.5"}
                               << SettingsRecord{"3000", "250", "700", "2.8"};
    }
    void storedValuesOutOfRange() {
        QFETCH(SettingsRecord, stored);
        QFETCH(SettingsRecord, shown);
        FormFixture f;
        const std::string file = QDir(f.programFolder()).filePath("laju.mdb").toStdString();
        SettingsStore store;
        const auto made = store.open(file) ? store.firstRecord() : std::nullopt;
        QVERIFY(made && store.writeBack(*made, stored));
        store.close();
        f.trainer().settings.activate();
        const Control boxes[] = {Control::Text4, Control::Text5, Control::Text6, Control::Text7};
        const std::string SettingsRecord::*fields[] = {&SettingsRecord::laj,
                                                       &SettingsRecord::panjan,
                                                       &SettingsRecord::nad, &SettingsRecord::dot};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f.text(boxes[i]), shown.*fields[i]);
        QCOMPARE(f.state().delayLimit, std::stod(shown.laj));
        f.trainer().settings.writeBack(); // the learner changed nothing: the file keeps its values
        QVERIFY(store.open(file));
        QCOMPARE(store.firstRecord(), std::optional(stored));
    }

    void closeWinsOverKeyBacklog() {
        FormFixture f;
        f.setDefaultKeying();
        f.form().show();
        f.trainer().typing.open();
        static_cast<QCheckBox*>(f.form().widget(kEchoKeysBox))->setChecked(true);
        f.form().setYieldHook([&](long number) {
            if (number == 3)
                f.form().close();
        });
        for (int i = 0; i < 600; ++i)
            QApplication::postEvent(box(f), new QKeyEvent(QEvent::KeyPress, Qt::Key_E, {}, "e"));
        QApplication::processEvents();
        QCOMPARE(f.trace().tones().size(), std::size_t{2}); // E has one dot; the third never sounds
    }

    void nestedRunsAreBounded() {
        FormFixture f;
        f.setDefaultKeying();
        f.setText(kTextBox, "e");
        int runs = 0;
        f.form().setYieldHook([&](long number) {
            runs += f.state().wordIndex == 0 ? 1 : 0; // the first yield of a run
            if (number < 1000)
                f.click(Control::Command5); // every yield a click on Go, faster than anyone clicks
        });
        f.click(Control::Command5);
        QCOMPARE(runs, 64);
    }

    void fileNameThatIsNotUtf8Opens() {
        FormFixture f;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.programFolder()));
        written(f.programFolder(), "caf\xE9.txt", "kopi susu");
        FormFixture inFolder; // lists the current folder, as the window does
        inFolder.trainer().settings.activate();
        auto* list = static_cast<QListWidget*>(inFolder.form().widget(kFileList));
        const int listed = list->count();
        if (listed == 1)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(0)).center());
        QDir::setCurrent(previous);
        QCOMPARE(listed, 1);
        QCOMPARE(inFolder.text(kTextBox), std::string("kopi susu"));
    }
};

QTEST_MAIN(HostileInputTest)
#include "test_hostile_input.moc"
