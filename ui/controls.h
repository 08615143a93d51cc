// The window's standard controls: labels, edit boxes, spin controls, check boxes and
// push buttons that take no focus.
// In: user input (keys, mouse) and values set by the program.
// Out: current values (spin positions, checked states) that the frame reads afresh every frame.
// Writes that leave a caption or colour as it was repaint nothing.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <cstdint>

class QToolButton;

namespace vantrel {

class TUpDown;

// A label that sizes itself to its caption, keeping its left edge, or its right edge when
// right-aligned.
class TLabel : public QLabel {
public:
    explicit TLabel(const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString& caption); // nothing happens when the text is unchanged
    void setRightAligned(int rightEdge);     // keeps x() + width() at rightEdge (pixels)
    void setFontColor(const QColor& color);  // nothing happens when the colour is unchanged

protected:
    void changeEvent(QEvent* event) override;

private:
    void fitToCaption();

    int rightEdge_ = -1; // pixels; -1 while left-aligned
};

// An edit box whose whole text is selected when it gets the focus other than by a click,
// and whose Up and Down keys step the spin control bound to it.
class TEdit : public QLineEdit {
public:
    explicit TEdit(const QString& text, QWidget* parent = nullptr);

    void setUpDown(TUpDown* upDown) { upDown_ = upDown; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TUpDown* upDown_ = nullptr;
    bool leftWithWindow_ = false; // lost the focus because the window was deactivated
};

// Up and down arrows stacked, bound to the edit box on their left. The position is a 16-bit
// signed value within [min, max]; it never wraps. Text typed into the edit box becomes the
// position as soon as it is a whole number within range; otherwise the previous position
// stays and the text stays as typed.
class TUpDown : public QWidget {
public:
    TUpDown(int minimum, int maximum, int increment, int position, QWidget* parent = nullptr);

    void setAssociate(TEdit* edit); // writes the position into the edit box
    TEdit* associate() const { return edit_; }

    std::int16_t position() const { return position_; }
    void setPosition(int position); // clamped to range; nothing happens when unchanged
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int increment() const { return increment_; }

    void stepUp();   // by the increment, stopping at the maximum
    void stepDown(); // by the increment, stopping at the minimum

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void takeTypedText(const QString& text);
    void writeText();

    int minimum_ = 0;
    int maximum_ = 0;
    int increment_ = 1;
    std::int16_t position_ = 0;
    TEdit* edit_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};

class TCheckBox : public QCheckBox {
public:
    TCheckBox(const QString& caption, bool checked, QWidget* parent = nullptr);
};

// A raised push button that never takes the keyboard focus.
class TSpeedButton : public QPushButton {
public:
    explicit TSpeedButton(const QString& caption, QWidget* parent = nullptr);

    void setFontColor(const QColor& color); // nothing happens when the colour is unchanged
    QColor fontColor() const;
};

} // namespace vantrel
