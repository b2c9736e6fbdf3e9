#include "form_fixture.h"
#include "storage/progress_store.h"
#include "ui/check_window.h"

#include <QAccessible>
#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
// What a screen reader is given for the first element under `root` named `name` (a box: its
// value) or, with `prefix`, whose name starts with it (a label: its name).
QString spoken(QAccessibleInterface* root, const QString& name, bool prefix = false) {
    for (int i = 0; root && i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        const QString childName = child->text(QAccessible::Name);
        if (prefix ? childName.startsWith(name) : childName == name)
            return prefix ? childName : child->text(QAccessible::Value);
        if (const QString found = spoken(child, name, prefix); !found.isNull())
            return found;
    }
    return {};
}

QAction* menuAction(QMenuBar* bar, const QString& menu, const QString& item) {
    for (QAction* top : bar->actions())
        if (top->text() == menu)
            for (QAction* action : top->menu()->actions())
                if (action->text() == item)
                    return action;
    return nullptr;
}
} // namespace

// A learner plays ten groups, types a copy with two errors into the check window and hears the
// score through the accessibility interface; the check is in the progress file afterwards.
class CheckScenarioTest : public QObject {
    Q_OBJECT
private slots:
    void playCopyAndCheck() {
        FormFixture f;
        f.setDefaultKeying();
        f.trainer().groups.fillSymbols();
        f.click(Control::Command2);
        f.setText(Control::Text2, "3");
        f.setText(Control::Text3, "4");
        f.click(Control::Command3);
        const std::string sent = f.text(kGroupsOutput); // "ABC DEF GHI JKL "
        QCOMPARE(f.trainer().sent.last().text, sent);
        QCOMPARE(int(f.trace().tones().size()) > 12, true);

        // One character read wrong, one missed, in lower case with the blanks moved about.
        QString copy = QString::fromStdString(sent).toLower();
        copy[0] = copy[0] == 'e' ? 't' : 'e';
        copy.remove(5, 1);
        QAction* open = menuAction(f.form().menuBar(), "&Semak / Check", "&Check copy…");
        QVERIFY(open);
        open->trigger();
        CheckWindow* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            window = window ? window : qobject_cast<CheckWindow*>(top);
        QVERIFY(window);
        QTest::keyClicks(window->copyBox(), copy.simplified().replace(' ', "  "));
        QTest::mouseClick(window->checkButton(), Qt::LeftButton);

        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
        QVERIFY(spoken(root, "Accuracy:", true)
                    .startsWith("Accuracy: 83% (10 of 12 sent characters "
                                "right; 1 missed, 1 wrong, 0 extra)"));
        const QString confusions = spoken(root, "Most often missed or confused");
        QVERIFY2(confusions.contains(QString("%1 missed: 1").arg(sent[5])), qPrintable(confusions));
        QVERIFY2(confusions.contains(" read as "), qPrintable(confusions));

        const auto history =
            ProgressStore((f.programFolder() + "/kemajuan.db").toStdString()).load();
        QVERIFY(history && history->checks.size() == 1);
        QCOMPARE(qRound(history->checks[0].accuracy), 83);
        QCOMPARE(history->checks[0].sent, 12);
    }
};

QTEST_MAIN(CheckScenarioTest)
#include "test_check_scenario.moc"
