#include "core/number_text.h"
#include "expected_keying.h"
#include "form_fixture.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <map>
#include <set>

namespace {
const std::string kWholeTable = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/.,?=-";

// A window after its activation, the groups panel open on the whole table.
void openGroups(FormFixture& f, const std::string& perGroup, const std::string& groups) {
    f.setDefaultKeying();
    f.trainer().groups.fillSymbols();
    f.click(Control::Command2);
    f.setText(Control::Text2, perGroup);
    f.setText(Control::Text3, groups);
}

// The lengths of the groups in the box, each closed by its blank: "ABC D " reads "3 1". A group
// left without its blank shows as "open".
QString groupSizes(const std::string& box) {
    const QStringList groups = QString::fromStdString(box).split(' ');
    QStringList sizes;
    for (qsizetype i = 0; i + 1 < groups.size(); ++i)
        sizes << QString::number(groups[i].size());
    if (!groups.last().isEmpty())
        sizes << "open";
    return sizes.join(' ');
}

// The keying of a box's content with three gap repeats: one unit before each symbol, the sender,
// and the group gap at each blank.
QString groupKeying(const std::string& box) {
    ExpectedKeying expected(3);
    for (char c : box) {
        if (c == ' ') {
            expected.gap(8);
            continue;
        }
        expected.units(1);
        expected.character(std::string(1, c));
    }
    return QString::fromStdString(expected.text());
}

std::set<char> symbolsIn(const std::string& box) {
    std::set<char> out(box.begin(), box.end());
    out.erase(' ');
    return out;
}
} // namespace

// The random groups drill, driven through the window's buttons and boxes.
class GroupDrillTest : public QObject {
    Q_OBJECT
private slots:
    void countsAndSizesComeFromTheBoxes_data() {
        QTest::addColumn<QString>("perGroup");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<QString>("sizes");
        QTest::newRow("five by three") << "5"
                                       << "3"
                                       << "5 5 5";
        QTest::newRow("no groups") << "5"
                                   << "0"
                                   << "";
        QTest::newRow("fractional groups") << "2"
                                           << "3.7"
                                           << "2 2 2";
        QTest::newRow("fractional characters") << "2.9"
                                               << "2"
                                               << "2 2";
        QTest::newRow("negative groups") << "5"
                                         << "-2"
                                         << "";
        QTest::newRow("groups after blanks, before a unit") << "2"
                                                            << "  2 kumpulan"
                                                            << "2 2";
        QTest::newRow("no characters") << "0"
                                       << "3"
                                       << "0 0 0";
        QTest::newRow("negative characters") << "-1"
                                             << "2"
                                             << "0 0";
    }
    void countsAndSizesComeFromTheBoxes() {
        QFETCH(QString, perGroup);
        QFETCH(QString, groups);
        QFETCH(QString, sizes);
        FormFixture f;
        openGroups(f, perGroup.toStdString(), groups.toStdString());
        f.click(Control::Command3);
        const std::string box = f.text(Control::command1);
        QCOMPARE(groupSizes(box), sizes);
        QCOMPARE(QString::fromStdString(f.trace().text()), groupKeying(box));
        for (char c : symbolsIn(box))
            QVERIFY(kWholeTable.find(c) != std::string::npos);
        // Nothing is reset at the end of a run.
        QVERIFY(f.form().isEnabled(Control::Command19));
        QVERIFY(f.form().isEnabled(Control::Command20));
        QCOMPARE(f.text(Control::Command21), std::string("Stop"));
        QCOMPARE(f.state().playMode, PlayMode::Groups);
    }

    void pacingOfTwoGroupsOfE_data() {
        QTest::addColumn<int>("gapRepeats");
        QTest::addColumn<QString>("trace");
        QTest::newRow("three repeats") << 3 << "1U 700x89 14U 700x89 38U 700x89 14U 700x89 37U";
        QTest::newRow("one repeat") << 1 << "1U 700x89 6U 700x89 14U 700x89 6U 700x89 13U";
    }
    void pacingOfTwoGroupsOfE() {
        QFETCH(int, gapRepeats);
        QFETCH(QString, trace);
        FormFixture f;
        openGroups(f, "2", "2");
        f.state().gapRepeats = gapRepeats;
        f.state().charSetStart = 4; // a set of E alone
        f.state().charSetWidth = 1;
        f.click(Control::Command3);
        QCOMPARE(QString::fromStdString(f.text(Control::command1)), QString("EE EE "));
        QCOMPARE(QString::fromStdString(f.trace().text()), trace);
    }

    // Three groups of three: group g has its own yield at 5(g-1)+1 and its characters' after it.
    // A run started inside a yield ("go", "jalan") runs to its end on top of the first, which
    // then closes its group at most and ends; the keying heard is then what the box held at the
    // click followed by what it holds at the end.
    void actionsAtAYield_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("atYield");
        QTest::addColumn<QString>("sizes");
        QTest::addColumn<QString>("caption");
        QTest::newRow("uninterrupted") << "" << 0 << "3 3 3"
                                       << "Stop";
        QTest::newRow("Stop before the first group") << "stop" << 1 << ""
                                                     << "Jalan";
        QTest::newRow("Stop inside the first group") << "stop" << 3 << "1"
                                                     << "Jalan";
        QTest::newRow("Stop between groups") << "stop" << 6 << "3"
                                             << "Jalan";
        QTest::newRow("Stop before the last character") << "stop" << 9 << "3 2"
                                                        << "Jalan";
        QTest::newRow("counters pushed inside a group") << "push" << 8 << "3 1"
                                                        << "Stop";
        QTest::newRow("counters pushed between groups") << "push" << 11 << "3 3"
                                                        << "Stop";
        QTest::newRow("Go inside a group") << "go" << 3 << "3 3 3 0"
                                           << "Stop";
        QTest::newRow("Go between groups") << "go" << 6 << "3 3 3"
                                           << "Stop";
        QTest::newRow("Jalan inside a group") << "jalan" << 3 << "3 3 3 0"
                                              << "Stop";
        QTest::newRow("Jalan between groups") << "jalan" << 11 << "3 3 3"
                                              << "Stop";
        QTest::newRow("groups lowered to 1") << "Text3=1" << 3 << "3"
                                             << "Stop";
        QTest::newRow("groups raised to 4") << "Text3=4" << 2 << "3 3 3 3"
                                            << "Stop";
        QTest::newRow("groups emptied") << "Text3=" << 6 << "3"
                                        << "Stop";
        QTest::newRow("characters lowered to 1") << "Text2=1" << 8 << "3 1 1"
                                                 << "Stop";
        QTest::newRow("characters raised to 5") << "Text2=5" << 12 << "3 3 5"
                                                << "Stop";
        QTest::newRow("window closed inside a group") << "close" << 3 << "1"
                                                      << "Stop";
        QTest::newRow("window closed between groups") << "close" << 6 << "3"
                                                      << "Stop";
    }
    void actionsAtAYield() {
        QFETCH(QString, action);
        QFETCH(int, atYield);
        QFETCH(QString, sizes);
        QFETCH(QString, caption);
        FormFixture f;
        openGroups(f, "3", "3");
        std::string erased;
        f.form().setYieldHook([&](long k) {
            if (k != atYield)
                return;
            if (action == "stop") {
                f.click(Control::Command21);
            } else if (action == "push") {
                f.state().groupCounter = numtext::leadingNumber(f.text(Control::Text3)) + 1;
                f.state().charCounter = numtext::leadingNumber(f.text(Control::Text2)) + 1;
            } else if (action == "go" || action == "jalan") {
                erased = f.text(Control::command1);
                // "Jalan" as it reads after an earlier Stop, the run going on regardless.
                f.setText(Control::Command21, action == "go" ? "Stop" : "Jalan");
                f.click(action == "go" ? Control::Command3 : Control::Command21);
            } else if (action == "close") {
                f.form().close();
            } else {
                const QStringList edit = action.split('=');
                const Control box = edit[0] == "Text2" ? Control::Text2 : Control::Text3;
                f.setText(box, edit[1].toStdString());
            }
        });
        f.click(Control::Command3);
        const std::string box = f.text(Control::command1);
        QCOMPARE(groupSizes(box), sizes);
        QCOMPARE(QString::fromStdString(f.trace().text()), groupKeying(erased + box));
        QCOMPARE(QString::fromStdString(f.text(Control::Command21)), caption);
    }

    void stopOrJalanWithNoRun_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("sizes");
        QTest::newRow("Stop only turns the caption") << "Stop"
                                                     << "Jalan"
                                                     << "4"; // "LAMA " stays
        QTest::newRow("Jalan starts a run") << "Jalan"
                                            << "Stop"
                                            << "3 3 3";
    }
    void stopOrJalanWithNoRun() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, sizes);
        FormFixture f;
        openGroups(f, "3", "3");
        f.setText(Control::command1, "LAMA ");
        f.setText(Control::Command21, before.toStdString());
        f.click(Control::Command21);
        QCOMPARE(QString::fromStdString(f.text(Control::Command21)), after);
        const std::string box = f.text(Control::command1);
        QCOMPARE(groupSizes(box), sizes);
        const bool ran = box != "LAMA ";
        QCOMPARE(QString::fromStdString(f.trace().text()), ran ? groupKeying(box) : QString());
    }

    void optionChangedMidRun_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("firstSet");
        QTest::addColumn<QString>("secondSet");
        QTest::newRow("digits to letters") << static_cast<int>(Control::Option3)
                                           << static_cast<int>(Control::Option2) << "0123456789"
                                           << "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        QTest::newRow("h to n, then v to z")
            << static_cast<int>(Control::Option7) << static_cast<int>(Control::Option9) << "HIJKLMN"
            << "TUVWXYZ";
    }
    void optionChangedMidRun() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QString, firstSet);
        QFETCH(QString, secondSet);
        FormFixture f;
        openGroups(f, "10", "1");
        f.click(static_cast<Control>(first));
        // Yield 1 is the group's, yields 2 to 5 the first four characters'.
        f.form().setYieldHook([&](long k) {
            if (k == 6)
                f.click(static_cast<Control>(second));
        });
        f.click(Control::Command3);
        const QString box = QString::fromStdString(f.text(Control::command1));
        QCOMPARE(box.size(), 11);
        for (int i = 0; i < 10; ++i)
            QVERIFY2((i < 4 ? firstSet : secondSet).contains(box[i]), qPrintable(box));
    }

    void everySetYieldsExactlyItsSymbols_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("symbols");
        auto row = [](const char* name, Control option, const char* symbols) {
            QTest::newRow(name) << QList<int>{static_cast<int>(option)} << symbols;
        };
        row("Semua", Control::Option1, kWholeTable.c_str());
        row("Huruf", Control::Option2, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        row("Angka", Control::Option3, "0123456789");
        row("a to f", Control::Option6, "ABCDEFG");
        row("h to n", Control::Option7, "HIJKLMN");
        row("o to u", Control::Option8, "OPQRSTU");
        row("v to z", Control::Option9, "TUVWXYZ");
        QTest::newRow("panel reopened after Angka")
            << QList<int>{static_cast<int>(Control::Option3), static_cast<int>(Control::Command2)}
            << QString::fromStdString(kWholeTable);
    }
    void everySetYieldsExactlyItsSymbols() {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, symbols);
        FormFixture f;
        openGroups(f, "10", "10");
        f.state().delayLimit = 0; // only the symbols count here, not the silences
        for (int control : clicks)
            f.click(static_cast<Control>(control));
        std::set<char> drawn;
        for (int run = 0; run < 10; ++run) {
            f.click(Control::Command3);
            drawn.merge(symbolsIn(f.text(Control::command1)));
        }
        const std::string expected = symbols.toStdString();
        QCOMPARE(drawn, std::set<char>(expected.begin(), expected.end()));
    }

    void symbolTableInItsOrder() {
        FormFixture f;
        f.trainer().groups.fillSymbols();
        std::string table;
        for (const std::string& symbol : f.state().symbols)
            table += symbol;
        QCOMPARE(table, kWholeTable);
    }

    void drawsFromTheWholeTableAreEven() {
        FormFixture f;
        f.trainer().groups.fillSymbols();
        f.click(Control::Command2);
        f.setText(Control::Text2, "42");
        f.setText(Control::Text3, "1");
        std::map<char, int> counts;
        for (int run = 0; run < 1000; ++run) {
            f.click(Control::Command3);
            for (char c : f.text(Control::command1))
                if (c != ' ')
                    counts[c] += 1;
            f.trace().clear();
        }
        QCOMPARE(counts.size(), kWholeTable.size());
        // 1000 expected of each; five standard deviations (about 31) either way.
        for (const auto& [symbol, count] : counts)
            QVERIFY2(count >= 845 && count <= 1155,
                     qPrintable(QString("%1: %2").arg(symbol).arg(count)));
    }

    void sameGroupsAtEveryProgramStart() {
        QStringList outputs;
        for (int start = 0; start < 2; ++start) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--groups-child"});
            QVERIFY(child.waitForFinished(20000));
            QCOMPARE(child.exitCode(), 0);
            outputs << QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        }
        QCOMPARE(groupSizes(outputs[0].toStdString() + " "), QString("5 5 5 5"));
        QCOMPARE(outputs[1], outputs[0]);
    }
};

// Runs in a child process: the first groups of a program that has just started.
static int groupsChild(int argc, char** argv) {
    QApplication app(argc, argv);
    FormFixture f;
    openGroups(f, "5", "4");
    f.click(Control::Command3);
    puts(f.text(Control::command1).c_str());
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 1 && QByteArray(argv[1]) == "--groups-child")
        return groupsChild(argc, argv);
    QApplication app(argc, argv);
    GroupDrillTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_group_drill.moc"
