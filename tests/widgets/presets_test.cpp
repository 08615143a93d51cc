// The three colour presets: what their buttons apply, which button the frames mark in red,
// the distance each preset remembers and its time caption, and that unchanged captions and
// colours cost no repaint.
#include "formfixture.h"
#include "ui/controls.h"

#include <QHash>
#include <QList>

using namespace vantrel;

namespace {

// Counts paint events per watched widget.
class PaintCounter : public QObject {
  public:
    void watch(QWidget* widget) {
        widget->installEventFilter(this);
        paints[widget] = 0;
    }
    void reset() {
        for (auto it = paints.begin(); it != paints.end(); ++it)
            it.value() = 0;
    }
    QHash<QObject*, int> paints;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return QObject::eventFilter(watched, event);
    }
};

// Lets queued paints reach the widgets, as between two frames of the running program.
void settle() {
    QTest::qWait(20);
}

// The user replaces the whole text of an edit box.
void typeInto(TEdit* edit, int value) {
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, QString::number(value));
}

} // namespace

class PresetsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TForm1> form;

    TSpeedButton* button(int preset) const {
        TSpeedButton* const buttons[3] = {form->SpeedButton3, form->SpeedButton4,
                                          form->SpeedButton5};
        return buttons[preset];
    }
    TLabel* distanceLabel(int preset) const {
        TLabel* const labels[3] = {form->Label11, form->Label12, form->Label13};
        return labels[preset];
    }
    TLabel* timeLabel(int preset) const {
        TLabel* const labels[3] = {form->Label18, form->Label19, form->Label20};
        return labels[preset];
    }
    QColor normal() const { return form->palette().color(QPalette::WindowText); }

    // Exactly preset `marked` has the red caption; -1: none.
    void verifyMarked(int marked) const {
        for (int k = 0; k < 3; ++k) {
            const QColor expected = k == marked ? QColor(Qt::red) : normal();
            QVERIFY2(button(k)->fontColor() == expected,
                     qPrintable(QStringLiteral("preset %1: %2 instead of %3")
                                    .arg(k + 1)
                                    .arg(button(k)->fontColor().name(), expected.name())));
        }
    }

    // Speed, background red/green/blue, foreground red/green/blue, distance.
    QList<int> settings() const {
        QList<int> values;
        for (TUpDown* u : {form->UpDown2, form->UpDown3, form->UpDown4, form->UpDown5,
                           form->UpDown6, form->UpDown7, form->UpDown8, form->UpDown1})
            values << u->position();
        return values;
    }
    QStringList captions() const {
        QStringList texts;
        for (int k = 0; k < 3; ++k)
            texts << distanceLabel(k)->caption() << timeLabel(k)->caption();
        return texts;
    }

    static void presetTable() {
        QTest::addColumn<int>("preset");         // 0-based
        QTest::addColumn<QList<int>>("colours"); // background r, g, b, foreground r, g, b
        QTest::newRow("Farbkombination 1") << 0 << QList<int>{50, 50, 100, 255, 255, 0};
        QTest::newRow("Farbkombination 2") << 1 << QList<int>{67, 69, 68, 183, 17, 29};
        QTest::newRow("Farbkombination 3") << 2 << QList<int>{0, 150, 0, 0, 0, 200};
    }

  private slots:
    void init() {
        form = testing::makeForm();
        QVERIFY(form);
    }
    void cleanup() {
        form.reset();
        Form1 = nullptr;
    }

    void nothingMarkedAtStart() {
        for (int frames : {0, 1}) {
            testing::runFrames(*form, frames);
            verifyMarked(-1);
            for (int k = 0; k < 3; ++k) {
                QCOMPARE(distanceLabel(k)->caption(), QStringLiteral("75"));
                QCOMPARE(timeLabel(k)->caption(), QStringLiteral("(125 ms)"));
            }
        }
    }

    void buttonAppliesPresetAndNextFrameMarksIt_data() { presetTable(); }
    void buttonAppliesPresetAndNextFrameMarksIt() {
        QFETCH(int, preset);
        QFETCH(QList<int>, colours);
        // Away from every preset, so that the click has the speed and distance to restore.
        form->UpDown2->setPosition(905);
        form->UpDown1->setPosition(30);
        testing::runFrames(*form);

        QTest::mouseClick(button(preset), Qt::LeftButton);
        const TUpDown* const colourSpins[6] = {form->UpDown3, form->UpDown4, form->UpDown5,
                                               form->UpDown6, form->UpDown7, form->UpDown8};
        const TEdit* const colourEdits[6] = {form->Edit3, form->Edit4, form->Edit5,
                                             form->Edit6, form->Edit7, form->Edit8};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(int(colourSpins[i]->position()), colours[i]);
            QCOMPARE(colourEdits[i]->text(), QString::number(colours[i]));
        }
        QCOMPARE(int(form->UpDown2->position()), 600);
        QCOMPARE(form->Edit2->text(), QStringLiteral("600"));
        QCOMPARE(int(form->UpDown1->position()), 75); // the remembered distance at start
        QCOMPARE(form->Edit1->text(), QStringLiteral("75"));
        verifyMarked(-1); // the click itself leaves the marking to the frame

        testing::runFrames(*form);
        verifyMarked(preset);
        testing::runFrames(*form, 3);
        verifyMarked(preset);
    }

    void presetRemembersTheDistanceItWasLastUsedWith() {
        QTest::mouseClick(form->SpeedButton3, Qt::LeftButton);
        testing::runFrames(*form);
        verifyMarked(0);

        form->UpDown1->setPosition(40);
        testing::runFrames(*form);
        QCOMPARE(form->Label11->caption(), QStringLiteral("40"));
        QCOMPARE(form->Label18->caption(), QStringLiteral("(67 ms)"));
        QCOMPARE(form->Label12->caption(), QStringLiteral("75"));
        QCOMPARE(form->Label13->caption(), QStringLiteral("75"));
        QCOMPARE(form->Label19->caption(), QStringLiteral("(125 ms)"));
        QCOMPARE(form->Label20->caption(), QStringLiteral("(125 ms)"));

        // At another speed the colours alone do not make the preset, and it stops following.
        form->UpDown2->setPosition(605);
        testing::runFrames(*form);
        verifyMarked(-1);
        form->UpDown1->setPosition(90);
        testing::runFrames(*form);
        QCOMPARE(form->Label11->caption(), QStringLiteral("40"));
        QCOMPARE(form->Label18->caption(), QStringLiteral("(67 ms)"));

        form->UpDown2->setPosition(600);
        form->UpDown1->setPosition(40);
        testing::runFrames(*form);
        verifyMarked(0);

        QTest::mouseClick(form->SpeedButton4, Qt::LeftButton);
        QCOMPARE(int(form->UpDown1->position()), 75);
        testing::runFrames(*form);
        verifyMarked(1);
        QCOMPARE(form->Label11->caption(), QStringLiteral("40"));

        QTest::mouseClick(form->SpeedButton3, Qt::LeftButton);
        QCOMPARE(int(form->UpDown1->position()), 40);
        QCOMPARE(form->Edit1->text(), QStringLiteral("40"));
        testing::runFrames(*form);
        verifyMarked(0);
        QCOMPARE(form->Label12->caption(), QStringLiteral("75"));
    }

    void valuesEnteredByHandMarkThePreset_data() { presetTable(); }
    void valuesEnteredByHandMarkThePreset() {
        QFETCH(int, preset);
        QFETCH(QList<int>, colours);
        QTest::keyClick(form->Edit2, Qt::Key_Up); // speed 605
        testing::runFrames(*form);

        typeInto(form->Edit2, 600);
        TEdit* const edits[6] = {form->Edit3, form->Edit4, form->Edit5,
                                 form->Edit6, form->Edit7, form->Edit8};
        for (int i = 0; i < 5; ++i)
            typeInto(edits[i], colours[i]);
        testing::runFrames(*form);
        verifyMarked(-1); // six of seven are not enough

        typeInto(edits[5], colours[5]);
        testing::runFrames(*form);
        verifyMarked(preset);

        typeInto(form->Edit1, 12);
        testing::runFrames(*form);
        QCOMPARE(distanceLabel(preset)->caption(), QStringLiteral("12"));
        QCOMPARE(timeLabel(preset)->caption(), QStringLiteral("(20 ms)"));
        for (int k = 0; k < 3; ++k) {
            if (k != preset) {
                QCOMPARE(distanceLabel(k)->caption(), QStringLiteral("75"));
                QCOMPARE(timeLabel(k)->caption(), QStringLiteral("(125 ms)"));
            }
        }
    }

    // The frame writes the time of the current distance into Label15 as well; while a preset
    // is marked both captions must agree.
    void presetTimeOfEachDistance_data() {
        QTest::addColumn<int>("distance"); // pixels
        QTest::addColumn<QString>("time");
        QTest::newRow("0 px -> 0 ms") << 0 << "(0 ms)";
        QTest::newRow("1 px -> 1.67 rounds to 2 ms") << 1 << "(2 ms)";
        QTest::newRow("2 px -> 3.33 rounds to 3 ms") << 2 << "(3 ms)";
        QTest::newRow("60 px -> 100 ms") << 60 << "(100 ms)";
        QTest::newRow("75 px -> 125 ms") << 75 << "(125 ms)";
        QTest::newRow("100 px -> 166.67 rounds to 167 ms") << 100 << "(167 ms)";
    }
    void presetTimeOfEachDistance() {
        QFETCH(int, distance);
        QFETCH(QString, time);
        QTest::mouseClick(form->SpeedButton4, Qt::LeftButton);
        form->UpDown1->setPosition(distance);
        testing::runFrames(*form);
        QCOMPARE(form->Label12->caption(), QString::number(distance));
        QCOMPARE(form->Label19->caption(), time);
        QCOMPARE(form->Label15->caption(), form->Label19->caption());
    }

    void pressingTheMarkedPresetChangesNothing() {
        QTest::mouseClick(form->SpeedButton5, Qt::LeftButton);
        testing::runFrames(*form);
        form->UpDown1->setPosition(50);
        testing::runFrames(*form);
        const QList<int> before = settings();
        const QStringList captionsBefore = captions();

        QTest::mouseClick(form->SpeedButton5, Qt::LeftButton);
        QCOMPARE(settings(), before);
        testing::runFrames(*form);
        QCOMPARE(settings(), before);
        QCOMPARE(captions(), captionsBefore);
        verifyMarked(2);
    }

    void presetsWorkInFreeMode() {
        QTest::mouseClick(form->SpeedButton3, Qt::LeftButton);
        testing::runFrames(*form);
        form->UpDown1->setPosition(33); // preset 1 is still marked, but no frame sees it
        form->UpDown3->setPosition(0);  // now no preset matches
        testing::runFrames(*form);      // the last scale frame: Label15 reads "(55 ms)"
        QCOMPARE(form->Label11->caption(), QStringLiteral("75"));

        QTest::mouseClick(form->CheckBox3, Qt::LeftButton);
        QVERIFY(!form->CheckBox3->isChecked());
        QVERIFY(!form->UpDown1->isEnabled());
        QVERIFY(!form->Label12->isEnabled());

        // The colours and the speed stay open to the user; the disabled distance is taken.
        typeInto(form->Edit3, 67);
        typeInto(form->Edit4, 69);
        typeInto(form->Edit5, 68);
        typeInto(form->Edit6, 183);
        typeInto(form->Edit7, 17);
        typeInto(form->Edit8, 29);
        testing::runFrames(*form);
        verifyMarked(1);
        QCOMPARE(form->Label12->caption(), QStringLiteral("33"));
        QCOMPARE(form->Label19->caption(), QStringLiteral("(55 ms)"));

        // The button sets the disabled distance control.
        QTest::mouseClick(form->SpeedButton3, Qt::LeftButton);
        QCOMPARE(int(form->UpDown1->position()), 75);
        QCOMPARE(form->Edit1->text(), QStringLiteral("75"));
        testing::runFrames(*form);
        verifyMarked(0);
        QCOMPARE(form->Label12->caption(), QStringLiteral("33"));
        QCOMPARE(form->Label11->caption(), QStringLiteral("75"));
        QVERIFY(!form->UpDown1->isEnabled());
        // The time display of the distance belongs to scale mode: it keeps the last scale
        // frame's text although the distance has changed since.
        QCOMPARE(form->Label15->caption(), QStringLiteral("(55 ms)"));
    }

    void unchangedCaptionsAndColoursDoNotRepaint() {
        QTest::mouseClick(form->SpeedButton3, Qt::LeftButton);
        testing::runFrames(*form);
        settle();

        PaintCounter counter;
        QWidget* const watched[] = {form->SpeedButton3, form->SpeedButton4, form->SpeedButton5,
                                    form->Label11,      form->Label12,      form->Label13,
                                    form->Label18,      form->Label19,      form->Label20,
                                    form->Label15};
        for (QWidget* w : watched)
            counter.watch(w);
        for (int i = 0; i < 5; ++i) {
            testing::runFrames(*form);
            settle();
        }
        for (QWidget* w : watched)
            QVERIFY2(counter.paints[w] == 0, qPrintable(QStringLiteral("%1 painted %2 times")
                                                            .arg(w->objectName())
                                                            .arg(counter.paints[w])));

        // A real change does repaint.
        form->UpDown1->setPosition(40);
        testing::runFrames(*form);
        settle();
        QVERIFY(counter.paints[form->Label11] > 0);
        QVERIFY(counter.paints[form->Label18] > 0);
        QCOMPARE(counter.paints[form->SpeedButton3], 0);
        QCOMPARE(counter.paints[form->Label12], 0);

        // The buttons overlap their neighbours by a pixel row, so only the far one must stay.
        counter.reset();
        form->UpDown2->setPosition(605);
        testing::runFrames(*form);
        settle();
        QVERIFY(counter.paints[form->SpeedButton3] > 0);
        QCOMPARE(counter.paints[form->SpeedButton5], 0);
        QCOMPARE(counter.paints[form->Label11], 0);
    }
};

QTEST_MAIN(PresetsTest)
#include "presets_test.moc"
