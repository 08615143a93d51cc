// The "Pixel-Scala" box switching between scale mode and free mode: which controls it greys
// out, what they keep, and how it restarts the block's motion.
#include "formfixture.h"
#include "ui/controls.h"

#include <QToolButton>

using namespace vantrel;

class ModeSwitchTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TForm1> form;

    QList<QWidget*> scaleOnly() const {
        return {form->Edit1,   form->UpDown1, form->CheckBox1, form->CheckBox2, form->Label1,
                form->Label11, form->Label12, form->Label13,   form->Label14,   form->Label15,
                form->Label16, form->Label17, form->Label18,   form->Label19,   form->Label20};
    }
    // Everything the user needs in both modes.
    QList<QWidget*> bothModes() const {
        return {form->CheckBox3,    form->SpeedButton2, form->SpeedButton3, form->SpeedButton4,
                form->SpeedButton5, form->Edit2,        form->Edit3,        form->Edit4,
                form->Edit5,        form->Edit6,        form->Edit7,        form->Edit8,
                form->UpDown2,      form->UpDown3,      form->UpDown4,      form->UpDown5,
                form->UpDown6,      form->UpDown7,      form->UpDown8};
    }
    void verifyScaleOnlyEnabled(bool enabled) const {
        for (QWidget* w : scaleOnly())
            QVERIFY2(w->isEnabled() == enabled, qPrintable(w->objectName()));
        for (QWidget* w : bothModes())
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    }
    void verifyRestartedMotion() const {
        QCOMPARE(form->dirX(), 1);
        QCOMPARE(form->dirY(), 1);
        QCOMPARE(form->blockX(), 10.0);
        QCOMPARE(form->blockY(), 1.0);
    }
    void clickSwitch() const { QTest::mouseClick(form->CheckBox3, Qt::LeftButton); }

  private slots:
    void init() {
        form = testing::makeForm();
        QVERIFY(form);
    }
    void cleanup() {
        form.reset();
        Form1 = nullptr;
    }

    void scaleOnlyControlsFollowTheBoxAndKeepTheirValues() {
        QVERIFY(form->CheckBox3->isChecked());
        verifyScaleOnlyEnabled(true);
        // Values other than the defaults, so that keeping them shows.
        form->UpDown1->setPosition(42);
        QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
        QTest::mouseClick(form->CheckBox2, Qt::LeftButton);
        QVERIFY(form->CheckBox1->isChecked());
        QVERIFY(!form->CheckBox2->isChecked());

        clickSwitch();
        QVERIFY(!form->CheckBox3->isChecked());
        verifyScaleOnlyEnabled(false);
        QCOMPARE(int(form->UpDown1->position()), 42);
        QCOMPARE(form->Edit1->text(), QStringLiteral("42"));
        QVERIFY(form->CheckBox1->isChecked());
        QVERIFY(!form->CheckBox2->isChecked());

        // Greyed controls ignore the user.
        QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
        QVERIFY(form->CheckBox1->isChecked());
        QTest::keyClick(form->Edit1, Qt::Key_Up);
        QTest::mouseClick(form->UpDown1->upButton(), Qt::LeftButton);
        QCOMPARE(int(form->UpDown1->position()), 42);

        clickSwitch();
        QVERIFY(form->CheckBox3->isChecked());
        verifyScaleOnlyEnabled(true);
        QCOMPARE(int(form->UpDown1->position()), 42);
        QCOMPARE(form->Edit1->text(), QStringLiteral("42"));
        QVERIFY(form->CheckBox1->isChecked());
        QVERIFY(!form->CheckBox2->isChecked());
        QCOMPARE(form->Label11->caption(), QStringLiteral("75"));
        QCOMPARE(form->Label14->caption(), QStringLiteral("Pixel"));
    }

    void eachSwitchRestartsTheBlock() {
        testing::runFrames(*form, 5);
        QVERIFY(form->blockX() != 10.0);
        clickSwitch(); // to free mode
        verifyRestartedMotion();

        // Bounce off an edge so that a direction turns.
        form->UpDown2->setPosition(1500);
        for (int i = 0; i < 200 && form->dirX() == 1 && form->dirY() == 1; ++i)
            testing::runFrames(*form);
        QVERIFY(form->dirX() == -1 || form->dirY() == -1);
        clickSwitch(); // to scale mode
        verifyRestartedMotion();

        // Two switches without a frame between them.
        testing::runFrames(*form, 3);
        clickSwitch();
        clickSwitch();
        verifyRestartedMotion();
        verifyScaleOnlyEnabled(true);
    }

    void marqueeContinuesWhereFreeModeLeftIt() {
        clickSwitch();
        QCOMPARE(form->tickerX(), 500.0); // the first time after start
        testing::runFrames(*form, 7);
        const double left = form->tickerX();
        QVERIFY(left != 500.0);

        clickSwitch();
        testing::runFrames(*form, 7);
        QCOMPARE(form->tickerX(), left);
        clickSwitch();
        QCOMPARE(form->tickerX(), left);
    }

    void spaceBarOnTheFocusedBoxSwitches() {
        testing::runFrames(*form, 3);
        form->CheckBox3->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(form->CheckBox3->hasFocus());

        QTest::keyClick(form->CheckBox3, Qt::Key_Space);
        QVERIFY(!form->CheckBox3->isChecked());
        verifyScaleOnlyEnabled(false);
        verifyRestartedMotion();

        testing::runFrames(*form, 3);
        QTest::keyClick(form->CheckBox3, Qt::Key_Space);
        QVERIFY(form->CheckBox3->isChecked());
        verifyScaleOnlyEnabled(true);
        verifyRestartedMotion();
    }

    // Only the user changes the box; a change by the program is not a switch.
    void settingTheBoxByProgramDoesNotSwitch() {
        testing::runFrames(*form, 3);
        const double blockX = form->blockX();
        QVERIFY(blockX != 10.0);
        form->CheckBox3->setChecked(false);
        verifyScaleOnlyEnabled(true);
        QCOMPARE(form->blockX(), blockX);
        form->CheckBox3->setChecked(true);
        verifyScaleOnlyEnabled(true);
        QCOMPARE(form->blockX(), blockX);
    }
};

QTEST_MAIN(ModeSwitchTest)
#include "modeswitch_test.moc"
