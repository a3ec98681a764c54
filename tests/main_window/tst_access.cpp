// Keyboard access to the main window: Tab goes round every control and back.

#include "support/form_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tz;
using namespace tz::test;

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    // Tab from the category box goes through every control and back to it;
    // Shift+Tab the other way. The hint line is not in the cycle, and a click
    // on it hands the focus to 登録.
    void tab_goes_round_the_main_window_data() {
        QTest::addColumn<bool>("fast");
        QTest::addColumn<bool>("address_button");
        QTest::addColumn<QStringList>("cycle");
        QTest::newRow("detailed") << false << false
            << QStringList{"Combo1", "Combo2", "Command5", "Option2", "Grid1", "RTB1", "Command6", "Command8", "Command7",
                           "Command9"};
        QTest::newRow("fast, web address selected") << true << true
            << QStringList{"Combo1", "Combo2", "Command5", "Option1", "Grid1", "RTB1", "Command1", "Command6", "Command8",
                           "Command7", "Command9"};
    }
    void tab_goes_round_the_main_window() {
        QFETCH(bool, fast);
        QFETCH(bool, address_button);
        QFETCH(QStringList, cycle);
        FormFixture f;
        Main_form& form = f.start();
        QVERIFY(activate(&form));
        if (fast) QTest::mouseClick(form.Option1, Qt::LeftButton);  // Tab then stops at the chosen mode
        form.Command1->setVisible(address_button);
        const auto walk = [](Qt::Key key, int steps) {
            QStringList seen;
            for (int i = 0; i < steps; ++i) {
                seen << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), key);
            }
            return seen;
        };
        form.Combo1->setFocus(Qt::TabFocusReason);
        QCOMPARE(walk(Qt::Key_Tab, int(cycle.size()) + 1), cycle + QStringList{cycle.first()});
        QStringList back{cycle.first()};
        for (auto it = cycle.crbegin(); it != cycle.crend(); ++it) back << *it;
        form.Combo1->setFocus(Qt::TabFocusReason);
        QCOMPARE(walk(Qt::Key_Backtab, int(cycle.size()) + 1), back);
        QTest::mouseClick(form.Text1, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), form.Command6);
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
