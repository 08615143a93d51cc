// The standard controls driven through real key and mouse events on a small window that
// holds three spin boxes laid out as in the main window.
#include "ui/controls.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace vantrel;

namespace {

enum Box { Speed, Colour, Distance };

// Counts paint events of the widget it watches.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Remembers the selection of an edit box at the moment a mouse press reaches it, which is
// after it got the focus from that press and before the press places the caret.
class SelectionAtPress : public QObject {
  public:
    QString selected;
    bool seen = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            selected = static_cast<QLineEdit*>(watched)->selectedText();
            seen = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

struct SpinBox {
    TEdit* edit = nullptr;
    TUpDown* upDown = nullptr;
};

struct Fixture {
    QWidget window;
    SpinBox boxes[3];
    TCheckBox* check = nullptr;
    TSpeedButton* button = nullptr;
    TLabel* caption = nullptr;       // left-aligned
    TLabel* distanceValue = nullptr; // right-aligned at 818

    Fixture() {
        window.resize(900, 300);
        caption = new TLabel("Pixelabstand", &window);
        caption->move(20, 124);
        distanceValue = new TLabel("75", &window);
        distanceValue->move(0, 124);
        distanceValue->setRightAligned(818);
        boxes[Speed] = makeBox(100, 40, 1, 1500, 5, 600);
        boxes[Colour] = makeBox(100, 80, 0, 255, 5, 0);
        boxes[Distance] = makeBox(100, 120, 0, 100, 1, 75);
        check = new TCheckBox("Scala", true, &window);
        check->move(300, 40);
        button = new TSpeedButton("Start", &window);
        button->setGeometry(300, 80, 75, 25);
        QWidget::setTabOrder(boxes[Speed].edit, check);
        QWidget::setTabOrder(check, boxes[Distance].edit);
        QWidget::setTabOrder(boxes[Distance].edit, boxes[Colour].edit);
        boxes[Speed].edit->setFocus();
    }

    SpinBox makeBox(int x, int y, int minimum, int maximum, int increment, int position) {
        constexpr int EditWidth = 39; // pixels
        constexpr int Height = 21;    // pixels
        SpinBox box;
        box.edit = new TEdit(QString(), &window);
        box.edit->setGeometry(x, y, EditWidth, Height);
        box.upDown = new TUpDown(minimum, maximum, increment, position, &window);
        box.upDown->setGeometry(x + EditWidth, y, 17, Height);
        box.upDown->setAssociate(box.edit);
        return box;
    }
};

// A key the window system repeats while it is held down.
void sendAutoRepeat(QWidget* widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(widget, &press);
}

// Replaces the whole text of the edit box as the user would, by keys or by pasting.
void replaceText(QLineEdit* edit, const QString& text, bool paste) {
    edit->setFocus();
    edit->selectAll();
    if (paste) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(edit, text);
    }
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void typedText_data();
    void typedText();
    void stepping_data();
    void stepping();
    void holdingAnArrowRepeatsTheSameStep();
    void programSetsPositionAndText();
    void disabledBoxIgnoresTheUserOnly();

    void firstActivationSelectsAll();
    void keyboardFocusSelectsAll_data();
    void keyboardFocusSelectsAll();
    void mouseFocusDoesNotSelectAll();
    void returningToTheWindowKeepsTheSelection();
    void onlyEditsAndCheckBoxesTakeTheFocus();

    void repaintOnlyOnChange_data();
    void repaintOnlyOnChange();
    void labelsFitTheirCaption();
    void fontColoursLeaveDisabledGrey();

  private:
    SpinBox& box(int which) { return f->boxes[which]; }

    std::unique_ptr<Fixture> f;
};

void ControlsTest::init() {
    f = std::make_unique<Fixture>();
    f->window.show();
    f->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f->window));
}

void ControlsTest::cleanup() {
    f.reset();
}

// ---------------------------------------------------------------------------------------------
// Spin boxes

// Key by key, every intermediate text that is a whole number in range is taken, so typing
// 2000 passes through 200; pasting puts the whole text in at once.
void ControlsTest::typedText_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position");

    QTest::newRow("typing 150 is taken") << int(Speed) << false << "150" << 150;
    QTest::newRow("typing 1500 is taken") << int(Speed) << false << "1500" << 1500;
    QTest::newRow("typing 2000 keeps 200") << int(Speed) << false << "2000" << 200;
    QTest::newRow("pasting 2000 leaves 600") << int(Speed) << true << "2000" << 600;
    QTest::newRow("pasting 0 leaves 600") << int(Speed) << true << "0" << 600;
    QTest::newRow("typing 12a keeps 12") << int(Speed) << false << "12a" << 12;
    QTest::newRow("pasting 12a leaves 600") << int(Speed) << true << "12a" << 600;
    QTest::newRow("pasting 1 500 leaves 600") << int(Speed) << true << "1 500" << 600;
    QTest::newRow("erasing leaves 600") << int(Speed) << false << "\b" << 600;
    QTest::newRow("typing 255 is taken") << int(Colour) << false << "255" << 255;
    QTest::newRow("typing 256 keeps 25") << int(Colour) << false << "256" << 25;
    QTest::newRow("typing -5 leaves 0") << int(Colour) << false << "-5" << 0;
    QTest::newRow("typing 040 is 40 and stays 040") << int(Distance) << false << "040" << 40;
    QTest::newRow("pasting 101 leaves 75") << int(Distance) << true << "101" << 75;
}

void ControlsTest::typedText() {
    QFETCH(int, which);
    QFETCH(bool, paste);
    QFETCH(QString, typed);
    QFETCH(int, position);

    TEdit* edit = box(which).edit;
    replaceText(edit, typed, paste);

    QCOMPARE(int(box(which).upDown->position()), position);
    // Whatever was typed stays as typed, taken or not.
    QCOMPARE(edit->text(), typed == "\b" ? QString() : typed);
}

enum Input { KeyUp, KeyDown, ArrowUp, ArrowDown, HeldKeyUp };

void ControlsTest::stepping_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("typedFirst");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("times");
    QTest::addColumn<int>("position");

    QTest::newRow("Up at 600 gives 605") << int(Speed) << 600 << "" << int(KeyUp) << 1 << 605;
    QTest::newRow("Down at 600 gives 595") << int(Speed) << 600 << "" << int(KeyDown) << 1 << 595;
    QTest::newRow("up arrow at 600 gives 605")
        << int(Speed) << 600 << "" << int(ArrowUp) << 1 << 605;
    QTest::newRow("down arrow at 75 gives 74")
        << int(Distance) << 75 << "" << int(ArrowDown) << 1 << 74;
    QTest::newRow("Up past 1500 stops at 1500")
        << int(Speed) << 1490 << "" << int(KeyUp) << 3 << 1500;
    QTest::newRow("Up at 1497 stops at 1500")
        << int(Speed) << 1497 << "" << int(KeyUp) << 1 << 1500;
    QTest::newRow("up arrow past 255 stops at 255")
        << int(Colour) << 250 << "" << int(ArrowUp) << 2 << 255;
    QTest::newRow("Down at 0 stays 0") << int(Colour) << 0 << "" << int(KeyDown) << 1 << 0;
    QTest::newRow("down arrow at 0 stays 0") << int(Colour) << 0 << "" << int(ArrowDown) << 2 << 0;
    QTest::newRow("Down at 3 stops at 1") << int(Speed) << 3 << "" << int(KeyDown) << 1 << 1;
    QTest::newRow("held Up key steps 5 on every repeat")
        << int(Speed) << 600 << "" << int(HeldKeyUp) << 4 << 620;
    QTest::newRow("Up after pasting 2000 steps from 600")
        << int(Speed) << 600 << "2000" << int(KeyUp) << 1 << 605;
    QTest::newRow("Up at 1500 rewrites typed abc")
        << int(Speed) << 1500 << "abc" << int(KeyUp) << 1 << 1500;
}

void ControlsTest::stepping() {
    QFETCH(int, which);
    QFETCH(int, start);
    QFETCH(QString, typedFirst);
    QFETCH(int, input);
    QFETCH(int, times);
    QFETCH(int, position);

    TEdit* edit = box(which).edit;
    TUpDown* upDown = box(which).upDown;
    upDown->setPosition(start);
    edit->setFocus();
    if (!typedFirst.isEmpty())
        replaceText(edit, typedFirst, true);

    for (int i = 0; i < times; ++i) {
        switch (input) {
        case KeyUp:
            QTest::keyClick(edit, Qt::Key_Up);
            break;
        case KeyDown:
            QTest::keyClick(edit, Qt::Key_Down);
            break;
        case ArrowUp:
            QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
            break;
        case ArrowDown:
            QTest::mouseClick(upDown->downButton(), Qt::LeftButton);
            break;
        case HeldKeyUp:
            if (i == 0)
                QTest::keyPress(edit, Qt::Key_Up);
            else
                sendAutoRepeat(edit, Qt::Key_Up);
            break;
        }
    }
    if (input == HeldKeyUp)
        QTest::keyRelease(edit, Qt::Key_Up);

    QCOMPARE(int(upDown->position()), position);
    QCOMPARE(edit->text(), QString::number(position));
}

void ControlsTest::holdingAnArrowRepeatsTheSameStep() {
    TEdit* edit = box(Speed).edit;
    QToolButton* up = box(Speed).upDown->upButton();
    QSignalSpy texts(edit, &QLineEdit::textChanged);

    QTest::mousePress(up, Qt::LeftButton);
    QTest::qWait(1000);
    QTest::mouseRelease(up, Qt::LeftButton);

    // The press steps once and the repeat, which starts well within the second, steps more.
    QVERIFY2(texts.count() >= 2, qPrintable(QString::number(texts.count())));
    int previous = 600;
    for (const QList<QVariant>& args : texts) {
        const int value = args.at(0).toString().toInt();
        QCOMPARE(value - previous, 5);
        previous = value;
    }
    QCOMPARE(int(box(Speed).upDown->position()), previous);

    // Letting go ends the repeat.
    QTest::qWait(200);
    QCOMPARE(int(box(Speed).upDown->position()), previous);
}

void ControlsTest::programSetsPositionAndText() {
    box(Distance).upDown->setPosition(40);
    QCOMPARE(box(Distance).edit->text(), QString("40"));

    box(Speed).upDown->setPosition(1600);
    QCOMPARE(int(box(Speed).upDown->position()), 1500);
    QCOMPARE(box(Speed).edit->text(), QString("1500"));

    box(Colour).upDown->setPosition(-3);
    QCOMPARE(int(box(Colour).upDown->position()), 0);
    QCOMPARE(box(Colour).edit->text(), QString("0"));

    // Setting the value already held leaves rejected text on screen.
    TEdit* edit = box(Distance).edit;
    replaceText(edit, "2000", true);
    box(Distance).upDown->setPosition(40);
    QCOMPARE(edit->text(), QString("2000"));
    box(Distance).upDown->setPosition(41);
    QCOMPARE(edit->text(), QString("41"));
}

void ControlsTest::disabledBoxIgnoresTheUserOnly() {
    TEdit* edit = box(Speed).edit;
    TUpDown* upDown = box(Speed).upDown;
    edit->setEnabled(false);
    upDown->setEnabled(false);

    QTest::keyClicks(edit, "150");
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
    QTest::mouseClick(upDown->downButton(), Qt::LeftButton);
    QCOMPARE(int(upDown->position()), 600);
    QCOMPARE(edit->text(), QString("600"));

    upDown->setPosition(40);
    QCOMPARE(int(upDown->position()), 40);
    QCOMPARE(edit->text(), QString("40"));
}

// ---------------------------------------------------------------------------------------------
// Focus

void ControlsTest::firstActivationSelectsAll() {
    QCOMPARE(QApplication::focusWidget(), box(Speed).edit);
    QCOMPARE(box(Speed).edit->selectedText(), QString("600"));
}

void ControlsTest::keyboardFocusSelectsAll_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("selected");

    QTest::newRow("Tab from the check box") << int(Qt::Key_Tab) << int(Distance) << "75";
    QTest::newRow("Shift+Tab from the check box") << int(Qt::Key_Backtab) << int(Speed) << "600";
}

void ControlsTest::keyboardFocusSelectsAll() {
    QFETCH(int, key);
    QFETCH(int, which);
    QFETCH(QString, selected);

    f->check->setFocus();
    QTest::keyClick(f->check, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), box(which).edit);
    QCOMPARE(box(which).edit->selectedText(), selected);
}

void ControlsTest::mouseFocusDoesNotSelectAll() {
    TEdit* edit = box(Distance).edit;
    SelectionAtPress probe;
    edit->installEventFilter(&probe);
    f->check->setFocus();

    QTest::mouseClick(edit, Qt::LeftButton);

    QVERIFY(edit->hasFocus());
    QVERIFY(probe.seen);
    QCOMPARE(probe.selected, QString());
    QCOMPARE(edit->selectedText(), QString());
}

void ControlsTest::returningToTheWindowKeepsTheSelection() {
    TEdit* edit = box(Speed).edit;
    QTest::keyClicks(edit, "15"); // replaces the selected 600
    QCOMPARE(edit->selectedText(), QString());

    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    f->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f->window));

    QVERIFY(edit->hasFocus());
    QCOMPARE(edit->text(), QString("15"));
    QCOMPARE(edit->selectedText(), QString());
}

void ControlsTest::onlyEditsAndCheckBoxesTakeTheFocus() {
    // Arrows and speed buttons leave the focus where it is.
    QTest::mouseClick(box(Speed).upDown->upButton(), Qt::LeftButton);
    QTest::mouseClick(f->button, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), box(Speed).edit);

    // Tab goes round the edit boxes and the check box only.
    const QList<QWidget*> expected = {f->check, box(Distance).edit, box(Colour).edit,
                                      box(Speed).edit};
    QList<QWidget*> visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited, expected);
    QVERIFY(f->check->isChecked());
}

// ---------------------------------------------------------------------------------------------
// Labels and speed buttons

enum Change {
    SameCaption,
    NewCaption,
    SameLabelColour,
    NewLabelColour,
    SameButtonColour,
    NewButtonColour
};

void ControlsTest::repaintOnlyOnChange_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("paints");

    QTest::newRow("label caption unchanged paints nothing") << int(SameCaption) << false;
    QTest::newRow("label caption changed paints") << int(NewCaption) << true;
    QTest::newRow("label colour unchanged paints nothing") << int(SameLabelColour) << false;
    QTest::newRow("label colour changed paints") << int(NewLabelColour) << true;
    QTest::newRow("button colour unchanged paints nothing") << int(SameButtonColour) << false;
    QTest::newRow("button colour changed paints") << int(NewButtonColour) << true;
}

void ControlsTest::repaintOnlyOnChange() {
    QFETCH(int, change);
    QFETCH(bool, paints);

    TLabel* label = f->caption;
    TSpeedButton* button = f->button;
    label->setFontColor(Qt::blue);
    button->setFontColor(Qt::blue);
    QVERIFY(QTest::qWaitForWindowExposed(&f->window));
    QTest::qWait(50); // let the first paints through

    PaintCounter counter;
    QWidget* watched = change >= SameButtonColour ? static_cast<QWidget*>(button) : label;
    watched->installEventFilter(&counter);
    switch (change) {
    case SameCaption:
        label->setCaption("Pixelabstand");
        break;
    case NewCaption:
        label->setCaption("Abstand");
        break;
    case SameLabelColour:
        label->setFontColor(Qt::blue);
        break;
    case NewLabelColour:
        label->setFontColor(Qt::red);
        break;
    case SameButtonColour:
        button->setFontColor(Qt::blue);
        break;
    case NewButtonColour:
        button->setFontColor(Qt::red);
        QCOMPARE(button->fontColor(), QColor(Qt::red));
        break;
    }

    if (paints) {
        QTRY_VERIFY(counter.paints > 0);
    } else {
        QTest::qWait(100);
        QCOMPARE(counter.paints, 0);
    }
}

void ControlsTest::labelsFitTheirCaption() {
    TLabel* right = f->distanceValue;
    QCOMPARE(right->x() + right->width(), 818);
    const int narrow = right->width();
    right->setCaption("100");
    QCOMPARE(right->x() + right->width(), 818);
    QVERIFY(right->width() > narrow);
    QCOMPARE(right->width(), right->fontMetrics().horizontalAdvance("100"));

    QFont big = right->font();
    big.setPointSize(big.pointSize() * 2);
    right->setFont(big);
    QCOMPARE(right->x() + right->width(), 818);
    QVERIFY(right->height() >= QFontMetrics(big).height());

    TLabel* left = f->caption;
    const int wide = left->width();
    left->setCaption("Pixelabstand in Pixeln");
    QCOMPARE(left->x(), 20);
    QVERIFY(left->width() > wide);
    left->setCaption("Px");
    QCOMPARE(left->x(), 20);
    QVERIFY(left->width() < wide);
}

void ControlsTest::fontColoursLeaveDisabledGrey() {
    f->caption->setFontColor(Qt::red);
    f->button->setFontColor(Qt::red);
    f->caption->setEnabled(false);
    f->button->setEnabled(false);
    QVERIFY(f->caption->palette().color(QPalette::Disabled, QPalette::WindowText) !=
            QColor(Qt::red));
    QVERIFY(f->button->palette().color(QPalette::Disabled, QPalette::ButtonText) !=
            QColor(Qt::red));
    f->caption->setEnabled(true);
    QCOMPARE(f->caption->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::red));
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
