#include "form_fixture.h"
#include "storage/progress_store.h"
#include "ui/check_menu.h"
#include "ui/check_window.h"

#include "test_classes.h"
#include <QAccessible>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
// What a screen reader is given for the first control of `window` whose accessible name starts
// with `name`: the name, and a box's text after it.
QString spoken(QWidget* window, const QString& name) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        if (control->text(QAccessible::Name).startsWith(name))
            return control->text(QAccessible::Name) + control->text(QAccessible::Value);
    }
    return {};
}
} // namespace

// A learner plays four groups, types a copy with two errors into the check window and hears the
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

        // One character read wrong, one missed, in lower case with the blanks doubled.
        QString copy = QString::fromStdString(sent).toLower().replace(' ', "  ");
        copy[0] = copy[0] == 'e' ? 't' : 'e';
        copy.remove(6, 1);
        QCOMPARE(f.form().menuBar()->actions().at(1)->text(), "&Semak / Check"); // right of Info
        CheckWindow* window = f.form().findChild<CheckMenu*>()->openCheckWindow();
        QTest::keyClicks(window->copyBox(), copy);
        QTest::mouseClick(window->checkButton(), Qt::LeftButton);

        QCOMPARE(spoken(window, "Accuracy:"),
                 "Accuracy: 83% (10 of 12 sent characters right; 1 missed, 1 wrong, 0 extra)");
        const QString errors = spoken(window, "Most often missed or confused");
        QVERIFY(errors.contains(QString("%1 missed: 1\n").arg(sent[5])) &&
                errors.contains(QString("%1 read as %2: 1\n").arg(sent[0]).arg(copy[0].toUpper())));
        const auto history = ProgressStore(f.programFolder().toStdString() + "/kemajuan.db").load();
        QVERIFY(history && history->checks.size() == 1 && history->checks[0].sent == 12);
    }
};

VORNIK_TEST(CheckScenarioTest)
#include "test_check_scenario.moc"
