// The main window as laid out: every control at its place with its caption and default,
// the window's frame, the focus order and the menu.
#include "formfixture.h"
#include "ui/controls.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>

using namespace vantrel;

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TForm1> form;

    QWidget* find(const QString& name) const { return form->findChild<QWidget*>(name); }

    static QString textOf(QWidget* w) {
        if (auto* l = qobject_cast<QLabel*>(w))
            return l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return e->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            return b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w))
            return g->title();
        return {};
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

    void controlsAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("rect"); // width/height -1: sized by its caption
        QTest::addColumn<QString>("text");
        auto row = [](const char* name, const char* parent, QRect rect, const char* text) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(parent) << rect
                                << QString::fromUtf8(text);
        };
        row("DXDraw1", "", {16, 16, 640, 480}, "");
        row("GroupBox3", "", {672, 16, 225, 65}, "Geschwindigkeit");
        row("SpeedButton2", "", {672, 96, 137, 33}, "TAVORIN öffnen");
        row("CheckBox2", "", {816, 104, 89, 17}, "Kontrastleiste");
        row("GroupBox2", "", {672, 144, 225, 89}, "Schlierenpixel-Test");
        row("SpeedButton3", "", {672, 248, 121, 25}, "Farbkombination 1");
        row("SpeedButton4", "", {672, 272, 121, 25}, "Farbkombination 2");
        row("SpeedButton5", "", {672, 296, 121, 25}, "Farbkombination 3");
        row("Label14", "", {824, 256, -1, -1}, "Pixel");
        row("Label18", "", {856, 256, -1, -1}, "(125 ms)");
        row("Label16", "", {824, 280, -1, -1}, "Pixel");
        row("Label19", "", {856, 280, -1, -1}, "(125 ms)");
        row("Label17", "", {824, 304, -1, -1}, "Pixel");
        row("Label20", "", {856, 304, -1, -1}, "(125 ms)");
        row("GroupBox4", "", {672, 336, 113, 121}, "Vordergrundfarbe");
        row("GroupBox1", "", {781, 336, 116, 121}, "Hintergrundfarbe");
        row("Label6", "", {672, 480, -1, -1}, "Bilder/Sek: ");
        row("Label7", "", {728, 480, -1, -1}, "Label7");
        row("Edit2", "GroupBox3", {18, 28, 39, 21}, "600");
        row("UpDown2", "GroupBox3", {57, 28, 17, 21}, "");
        row("Label2", "GroupBox3", {81, 36, -1, -1}, "Pixel/Sekunde");
        row("CheckBox3", "GroupBox2", {16, 24, 81, 17}, "Pixel-Scala");
        row("CheckBox1", "GroupBox2", {144, 24, 57, 17}, "Muster");
        row("Edit1", "GroupBox2", {16, 52, 41, 21}, "75");
        row("UpDown1", "GroupBox2", {57, 52, 16, 21}, "");
        row("Label1", "GroupBox2", {80, 56, -1, -1}, "Pixelabstand");
        row("Label15", "GroupBox2", {160, 56, -1, -1}, "= 125 ms");
        row("Edit6", "GroupBox4", {16, 24, 41, 21}, "255");
        row("UpDown6", "GroupBox4", {57, 24, 16, 21}, "");
        row("Label8", "GroupBox4", {80, 32, -1, -1}, "Rot");
        row("Edit7", "GroupBox4", {16, 56, 41, 21}, "255");
        row("UpDown7", "GroupBox4", {57, 56, 16, 21}, "");
        row("Label9", "GroupBox4", {80, 64, -1, -1}, "Grün");
        row("Edit8", "GroupBox4", {16, 88, 41, 21}, "255");
        row("UpDown8", "GroupBox4", {57, 88, 16, 21}, "");
        row("Label10", "GroupBox4", {80, 96, -1, -1}, "Blau");
        row("Edit3", "GroupBox1", {19, 24, 41, 21}, "0");
        row("UpDown3", "GroupBox1", {60, 24, 16, 21}, "");
        row("Label3", "GroupBox1", {83, 32, -1, -1}, "Rot");
        row("Edit4", "GroupBox1", {19, 56, 41, 21}, "0");
        row("UpDown4", "GroupBox1", {60, 56, 16, 21}, "");
        row("Label4", "GroupBox1", {83, 64, -1, -1}, "Grün");
        row("Edit5", "GroupBox1", {19, 88, 41, 21}, "0");
        row("UpDown5", "GroupBox1", {60, 88, 16, 21}, "");
        row("Label5", "GroupBox1", {83, 96, -1, -1}, "Blau");
    }
    void controlsAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, rect);
        QFETCH(QString, text);
        QWidget* w = find(name);
        QVERIFY2(w, qPrintable(name));
        if (parent.isEmpty())
            QCOMPARE(w->parentWidget(), form->centralWidget());
        else
            QCOMPARE(w->parentWidget()->objectName(), parent);
        QCOMPARE(w->x(), rect.x());
        QCOMPARE(w->y(), rect.y());
        if (rect.width() >= 0)
            QCOMPARE(w->size(), rect.size());
        else
            QVERIFY(w->width() > 0 && w->height() > 0);
        QCOMPARE(textOf(w), text);
        QVERIFY(w->isEnabled());
        QVERIFY(w->isVisible());
    }

    void presetDistancesKeepTheirRightEdge() {
        for (TLabel* l : {form->Label11, form->Label12, form->Label13}) {
            QCOMPARE(l->caption(), QStringLiteral("75"));
            QCOMPARE(l->x() + l->width(), 818);
            l->setCaption(QStringLiteral("100"));
            QCOMPARE(l->x() + l->width(), 818);
        }
        QCOMPARE(form->Label11->y(), 256);
        QCOMPARE(form->Label12->y(), 280);
        QCOMPARE(form->Label13->y(), 304);
    }

    void spinDefaults_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("increment");
        QTest::addColumn<int>("position");
        QTest::newRow("UpDown2 speed") << "UpDown2" << 1 << 1500 << 5 << 600;
        QTest::newRow("UpDown1 distance") << "UpDown1" << 0 << 100 << 1 << 75;
        QTest::newRow("UpDown3 background red") << "UpDown3" << 0 << 255 << 5 << 0;
        QTest::newRow("UpDown4 background green") << "UpDown4" << 0 << 255 << 5 << 0;
        QTest::newRow("UpDown5 background blue") << "UpDown5" << 0 << 255 << 5 << 0;
        QTest::newRow("UpDown6 foreground red") << "UpDown6" << 0 << 255 << 5 << 255;
        QTest::newRow("UpDown7 foreground green") << "UpDown7" << 0 << 255 << 5 << 255;
        QTest::newRow("UpDown8 foreground blue") << "UpDown8" << 0 << 255 << 5 << 255;
    }
    void spinDefaults() {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, increment);
        QFETCH(int, position);
        auto* u = form->findChild<TUpDown*>(name);
        QVERIFY(u);
        QCOMPARE(u->minimum(), minimum);
        QCOMPARE(u->maximum(), maximum);
        QCOMPARE(u->increment(), increment);
        QCOMPARE(int(u->position()), position);
        QVERIFY(u->associate());
        QCOMPARE(u->associate()->text(), QString::number(position));
        // Flush against the edit box: one spin box.
        QCOMPARE(u->associate()->x() + u->associate()->width(), u->x());
    }

    void checkBoxDefaults() {
        QVERIFY(form->CheckBox3->isChecked());
        QVERIFY(!form->CheckBox1->isChecked());
        QVERIFY(form->CheckBox2->isChecked());
    }

    void windowFrame() {
        QCOMPARE(form->windowTitle(), QStringLiteral("Vantrel"));
        QCOMPARE(form->centralWidget()->size(), QSize(912, 507));
        QCOMPARE(form->centralWidget()->y(), form->menuBar()->height());
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form->font().pixelSize(), 11);
    }

    void speedBoxHasTheFocusFirst() {
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form->Edit2));
        QCOMPARE(form->Edit2->selectedText(), QStringLiteral("600"));
        QTest::keyClick(form->Edit2, Qt::Key_Up);
        QCOMPARE(int(form->UpDown2->position()), 605);
    }

    void tabOrder() {
        const QStringList forward = {"Edit2", "CheckBox3", "Edit1",     "CheckBox1",
                                     "Edit6", "Edit7",     "Edit8",     "Edit3",
                                     "Edit4", "Edit5",     "CheckBox2", "Edit2"};
        form->Edit2->setFocus(Qt::TabFocusReason);
        for (int i = 1; i < forward.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), forward[i]);
        }
        for (int i = forward.size() - 2; i >= 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), forward[i]);
        }
    }

    void tabSkipsDisabledControls() {
        form->CheckBox1->setEnabled(false);
        form->Edit1->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form->Edit1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit6"));
    }

    void buttonsTakeNoFocus() {
        for (QWidget* w :
             {static_cast<QWidget*>(form->SpeedButton2), static_cast<QWidget*>(form->SpeedButton3),
              static_cast<QWidget*>(form->SpeedButton4), static_cast<QWidget*>(form->SpeedButton5),
              static_cast<QWidget*>(form->UpDown1), static_cast<QWidget*>(form->DXDraw1)})
            QCOMPARE(w->focusPolicy(), Qt::NoFocus);
    }

    void menuWithAccessKeys() {
        const QList<QAction*> bar = form->menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(bar[0]->text(), QStringLiteral("&Datei"));
        QCOMPARE(bar[1]->text(), QStringLiteral("&Links"));
        QCOMPARE(bar[2]->text(), QStringLiteral("Ü&ber"));
        QVERIFY(bar[2]->menu() == nullptr); // a command, not a submenu
        QCOMPARE(form->Datei1->actions().size(), 1);
        QCOMPARE(form->Beenden1->text(), QStringLiteral("&Beenden"));
        QCOMPARE(form->Links->actions().size(), 1);
        QCOMPARE(form->WebLink1->text(), QStringLiteral("&www.orlisk.example"));
        for (QAction* a : {form->Beenden1, form->WebLink1, form->ueber1})
            QVERIFY(a->shortcut().isEmpty());
    }

    void drawingAreaSetUpAtFirstShowing() {
        QVERIFY(form->DXDraw1->Initialized());
        QVERIFY(form->DXImageList1);
        QCOMPARE(form->DXDraw1->Surface().at(0, 0), 0u); // black until the first frame
    }

    void motionStartValues() {
        QCOMPARE(form->blockX(), 10.0);
        QCOMPARE(form->blockY(), 1.0);
        QCOMPARE(form->tickerX(), 500.0);
        QCOMPARE(form->dirX(), 1);
        QCOMPARE(form->dirY(), 1);
        QCOMPARE(form->lastFrameRate(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
