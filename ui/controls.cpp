#include "ui/controls.h"

#include "ui/spintext.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace vantrel {

namespace {

constexpr int RepeatDelay = 400;   // ms before a held arrow starts repeating
constexpr int RepeatInterval = 50; // ms between repeats; constant, so the step never speeds up

// Sets the colour for the active and inactive groups only: the disabled group keeps the
// style's greyed colour, so a disabled control still looks disabled.
void setEnabledColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
    widget->setPalette(palette);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TLabel

TLabel::TLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fitToCaption();
}

void TLabel::setCaption(const QString& caption) {
    if (caption == text())
        return;
    setText(caption);
    fitToCaption();
}

void TLabel::setRightAligned(int rightEdge) {
    rightEdge_ = rightEdge;
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fitToCaption();
}

void TLabel::setFontColor(const QColor& color) {
    if (palette().color(QPalette::Active, QPalette::WindowText) == color)
        return;
    setEnabledColor(this, QPalette::WindowText, color);
}

void TLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitToCaption();
}

void TLabel::fitToCaption() {
    const QFontMetrics metrics = fontMetrics();
    const QMargins margins = contentsMargins();
    const int width = metrics.horizontalAdvance(text()) + margins.left() + margins.right() +
                      2 * margin(); // pixels
    const int height = metrics.height() + margins.top() + margins.bottom() + 2 * margin();
    if (rightEdge_ >= 0)
        setGeometry(rightEdge_ - width, y(), width, height);
    else
        resize(width, height);
}

// ---------------------------------------------------------------------------------------------
// TEdit

TEdit::TEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void TEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    // A click places the caret; returning from a popup or to a window that was merely switched
    // away from keeps whatever the user had selected.
    const bool returning = reason == Qt::PopupFocusReason ||
                           (reason == Qt::ActiveWindowFocusReason && leftWithWindow_);
    leftWithWindow_ = false;
    if (reason != Qt::MouseFocusReason && !returning)
        selectAll();
}

void TEdit::focusOutEvent(QFocusEvent* event) {
    leftWithWindow_ = event->reason() == Qt::ActiveWindowFocusReason;
    QLineEdit::focusOutEvent(event);
}

void TEdit::keyPressEvent(QKeyEvent* event) {
    const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    const bool plain =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (arrow && plain && upDown_ && upDown_->isEnabled()) {
        // A held key arrives as a series of auto-repeat presses; each steps by the same amount.
        if (event->key() == Qt::Key_Up)
            upDown_->stepUp();
        else
            upDown_->stepDown();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// TUpDown

TUpDown::TUpDown(int minimum, int maximum, int increment, int position, QWidget* parent)
    : QWidget(parent), minimum_(std::max(minimum, int{std::numeric_limits<std::int16_t>::min()})),
      maximum_(std::min(maximum, int{std::numeric_limits<std::int16_t>::max()})),
      increment_(increment) {
    position_ = static_cast<std::int16_t>(std::clamp(position, minimum_, maximum_));
    setFocusPolicy(Qt::NoFocus);

    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setAutoRepeatDelay(RepeatDelay);
        button->setAutoRepeatInterval(RepeatInterval);
    }
    // An auto-repeating button emits pressed() on the press and again on every repeat, so the
    // first step comes with the press, as with the arrow keys.
    connect(up_, &QToolButton::pressed, this, &TUpDown::stepUp);
    connect(down_, &QToolButton::pressed, this, &TUpDown::stepDown);
}

void TUpDown::setAssociate(TEdit* edit) {
    if (edit_ == edit)
        return;
    if (edit_) {
        disconnect(edit_, nullptr, this, nullptr);
        disconnect(this, nullptr, edit_, nullptr);
        edit_->setUpDown(nullptr);
    }
    edit_ = edit;
    if (!edit_)
        return;
    edit_->setUpDown(this);
    connect(edit_, &QLineEdit::textEdited, this, &TUpDown::takeTypedText);
    connect(edit_, &QObject::destroyed, this, [this] { edit_ = nullptr; });
    // The edit box must not keep a pointer to a spin control that is gone.
    connect(this, &QObject::destroyed, edit_, [edit] { edit->setUpDown(nullptr); });
    writeText();
}

void TUpDown::setPosition(int position) {
    const auto clamped = static_cast<std::int16_t>(std::clamp(position, minimum_, maximum_));
    if (clamped == position_)
        return;
    position_ = clamped;
    writeText();
}

void TUpDown::stepUp() {
    position_ = static_cast<std::int16_t>(std::min(position_ + increment_, maximum_));
    writeText(); // also at the maximum: a step replaces whatever was typed
}

void TUpDown::stepDown() {
    position_ = static_cast<std::int16_t>(std::max(position_ - increment_, minimum_));
    writeText();
}

void TUpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int upHeight = height() / 2; // pixels
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight, width(), height() - upHeight);
}

void TUpDown::takeTypedText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::optional<int> value =
        parseSpinText(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                      minimum_, maximum_);
    if (value)
        position_ = static_cast<std::int16_t>(*value);
}

void TUpDown::writeText() {
    if (!edit_)
        return;
    // QString::number ignores the locale: no group separators, ASCII digits.
    const QString text = QString::number(position_);
    if (edit_->text() != text)
        edit_->setText(text);
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(const QString& caption, bool checked, QWidget* parent)
    : QCheckBox(caption, parent) {
    setChecked(checked);
    setFocusPolicy(Qt::StrongFocus);
}

// ---------------------------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFlat(false);
    setAutoDefault(false);
    setFocusPolicy(Qt::NoFocus);
}

void TSpeedButton::setFontColor(const QColor& color) {
    if (fontColor() == color)
        return;
    setEnabledColor(this, QPalette::ButtonText, color);
}

QColor TSpeedButton::fontColor() const {
    return palette().color(QPalette::Active, QPalette::ButtonText);
}

} // namespace vantrel
