// Files, names, stored values and keys that once crashed, hung or drained the trainer, each
// through the path the window uses.
#include "form_fixture.h"
#include "hostile_samples.h"
#include "storage/settings_store.h"
#include "ui/rich_text_box.h"

#include "test_classes.h"
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QTextEdit>
#include <fstream>

Q_DECLARE_METATYPE(HostileSample)

namespace {
std::string written(FormFixture& f, const std::string& name, const std::string& bytes) {
    const std::string path = f.programFolder().toStdString() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}
QTextEdit* box(FormFixture& f) {
    return static_cast<QTextEdit*>(f.form().widget(kTextBox));
}
} // namespace

class HostileInputTest : public QObject {
    Q_OBJECT
private slots:
    void samplesLoadAndScroll_data() {
        QTest::addColumn<HostileSample>("sample");
        for (const HostileSample& sample : hostileSamples())
            QTest::newRow(sample.name.c_str()) << sample;
    }
    void samplesLoadAndScroll() {
        QFETCH(HostileSample, sample);
        FormFixture f;
        f.form().show();
        QVERIFY(f.form().loadDocument(written(f, sample.fileName, sample.bytes)));
        box(f)->verticalScrollBar()->setValue(box(f)->verticalScrollBar()->maximum());
        box(f)->viewport()->grab();
        const std::string text = f.text(kTextBox);
        QVERIFY(text.find(sample.marker) != std::string::npos);
        if (!sample.fileName.ends_with(".txt"))
            return;
        // The player reads exactly the lines the file holds, and so does the box saved and opened.
        const std::string lines = QString::fromStdString(sample.bytes)
                                      .replace(QLatin1Char('\n'), QStringLiteral("\r\n"))
                                      .toStdString();
        QVERIFY(text == lines);
        const QString saved = f.programFolder() + "/saved.rtf";
        QVERIFY(static_cast<RichTextBox*>(box(f))->saveFile(saved));
        QVERIFY(f.form().loadDocument(saved.toStdString()));
        QVERIFY(f.text(kTextBox) == lines);
    }

    void picturesAreNeverRead() {
        FormFixture f;
        const QUrl url = QUrl::fromLocalFile(f.programFolder() + "/key.png");
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(url.toLocalFile()));
        const std::string named = url.toString().toStdString();
        QVERIFY(f.form().loadDocument(written(
            f, "page.htm",
            "<table background=" + named + "><tr><td>one <IMG\nsrc=" + named + " alt=kunci>")));
        box(f)->viewport()->grab();
        QVERIFY(f.text(kTextBox).find("one kunci") != std::string::npos); // the picture's words
        QVERIFY(box(f)->document()->resource(QTextDocument::ImageResource, url).isNull());
    }

    // Stored values at the edges show as stored, beyond or below them as the fallbacks.
    void storedValuesOutOfRange() {
        const SettingsRecord fallbacks{"3000", "250", "700", "2.8"},
            edges{"-500", "1000", "30", "10"};
        for (const auto& [stored, shown] : {std::pair{edges, edges},
                                            {{"99999999999", "1001", "20001", "10.5"}, fallbacks},
                                            {{"-100001", "-1", "29", "0.5"}, fallbacks}}) {
            FormFixture f;
            const std::string file = f.programFolder().toStdString() + "/laju.mdb";
            SettingsStore store;
            const auto made = store.open(file) ? store.firstRecord() : std::nullopt;
            QVERIFY(made && store.writeBack(*made, stored));
            f.trainer().settings.activate();
            QCOMPARE((SettingsRecord{f.text(Control::Text4), f.text(Control::Text5),
                                     f.text(Control::Text6), f.text(Control::Text7)}),
                     shown);
            f.trainer().settings.writeBack(); // the learner changed nothing: the file keeps it all
            QVERIFY(store.open(file));
            QCOMPARE(store.firstRecord(), std::optional(stored));
        }
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

    void fileNameThatIsNotUtf8Opens() {
        FormFixture f;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.programFolder()));
        written(f, "caf\xE9.txt", "kopi susu");
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

VORNIK_TEST(HostileInputTest)
#include "test_hostile_input.moc"
