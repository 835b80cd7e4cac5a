#include "widgets/cspinedit.h"

#include "widgets/beeper.h"
#include "widgets/tool_events.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <qdrawutil.h>

#include <algorithm>
#include <optional>

namespace {

constexpr int PairWidth = 15;
// The pair sits this far from the edit's right edge and ends this far above
// its bottom edge, both counted in the client area.
constexpr int PairRightGap = 20;
constexpr int PairBottomGap = 5;
// Room the text area leaves for the pair at the client area's right.
constexpr int TextRightGap = PairWidth + 2;
constexpr int BorderHeight = 1;

// Paints the triangle row by row so that it is pixel exact: widths 1, 3, 5, 7
// for the up glyph (rows 1 to 4 of the 9 x 6 cell), the reverse for the down one.
void paintGlyph(QPainter& painter, QPoint origin, TTimerSpeedButton::Glyph glyph,
                const QColor& colour) {
    for (int row = 1; row <= 4; ++row) {
        const int step = glyph == TTimerSpeedButton::Glyph::Up ? row : 5 - row;
        const int width = 2 * step - 1;
        const int left = (TTimerSpeedButton::GlyphWidth - width) / 2;
        painter.fillRect(origin.x() + left, origin.y() + row, width, 1, colour);
    }
}

uint32_t decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? uint32_t('.') : point.toUcs4().value(0, '.');
}

// The character a key press types, if it types one. Enter types code 13 on
// every platform; Delete and the Ctrl shortcuts are keys, not characters, and
// are left to the line edit (paste, undo and select-all among them).
std::optional<uint32_t> typedCode(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return 13;
    if (event.key() == Qt::Key_Delete) return std::nullopt;
    const Qt::KeyboardModifiers mods = event.modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) return std::nullopt;
    const QList<uint> codes = event.text().toUcs4();
    if (codes.isEmpty()) return std::nullopt;
    return codes.front();
}

} // namespace

TTimerSpeedButton::TTimerSpeedButton(Glyph glyph, QWidget* parent)
    : QWidget(parent), m_glyph(glyph) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TTimerSpeedButton::setFocusRect(bool on) {
    if (m_focusRect == on) return;
    m_focusRect = on;
    update();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (OnMouseDown) OnMouseDown();
    m_held = true;
    m_over = true;
    update();
    if (!m_allowTimer) return;
    if (!m_repeatTimer) {
        m_repeatTimer = new QTimer(this);
        m_repeatTimer->setTimerType(Qt::PreciseTimer);
        connect(m_repeatTimer, &QTimer::timeout, this, &TTimerSpeedButton::TimerExpired);
    }
    m_repeatTimer->start(RepeatDelayMs);
}

void TTimerSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    if (!m_held) return;
    const bool over = rect().contains(event->position().toPoint());
    if (over == m_over) return;
    m_over = over;
    update();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_held) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool over = rect().contains(event->position().toPoint());
    // Stopped before the click runs, so that a click that throws leaves no
    // timer behind.
    stopRepeat();
    if (over && OnClick) OnClick();
}

void TTimerSpeedButton::TimerExpired() {
    // setInterval restarts the count, which is what the first firing needs.
    if (m_repeatTimer->interval() != RepeatIntervalMs) m_repeatTimer->setInterval(RepeatIntervalMs);
    if (!IsDown() || !OnClick) return;
    try {
        OnClick();
    } catch (...) {
        stopRepeat();
        throw;
    }
}

void TTimerSpeedButton::stopRepeat() {
    if (m_repeatTimer) m_repeatTimer->stop();
    if (!m_held) return;
    m_held = false;
    m_over = false;
    update();
}

void TTimerSpeedButton::changeEvent(QEvent* event) {
    // A disabled button takes no input, so a hold in progress ends here.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) stopRepeat();
    QWidget::changeEvent(event);
}

void TTimerSpeedButton::hideEvent(QHideEvent* event) {
    stopRepeat();
    QWidget::hideEvent(event);
}

void TTimerSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool sunken = IsDown();
    const QBrush face = palette().button();
    qDrawWinButton(&painter, rect(), palette(), sunken, &face);
    QPoint origin((width() - GlyphWidth) / 2, (height() - GlyphHeight) / 2);
    if (sunken) origin += QPoint(1, 1);
    const QColor colour =
        isEnabled() ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::WindowText);
    paintGlyph(painter, origin, m_glyph, colour);
    if (m_focusRect && hasFocus()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

TCSpinButton::TCSpinButton(QWidget* parent)
    : QWidget(parent), m_up(new TTimerSpeedButton(TTimerSpeedButton::Glyph::Up, this)),
      m_down(new TTimerSpeedButton(TTimerSpeedButton::Glyph::Down, this)) {
    setFocusPolicy(Qt::NoFocus);
    for (TTimerSpeedButton* button : {m_up, m_down}) {
        button->setAllowTimer(true);
        button->OnMouseDown = [this] { focusControl(); };
    }
    m_up->OnClick = [this] {
        if (OnUpClick) OnUpClick();
    };
    m_down->OnClick = [this] {
        if (OnDownClick) OnDownClick();
    };
    layoutButtons();
}

void TCSpinButton::focusControl() {
    if (m_focusControl && !m_focusControl->hasFocus())
        m_focusControl->setFocus(Qt::MouseFocusReason);
}

void TCSpinButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutButtons();
}

void TCSpinButton::layoutButtons() {
    const int upHeight = height() / 2;
    m_up->setGeometry(0, 0, width(), upHeight);
    // The down button starts on the up button's last row.
    const int downTop = std::max(0, upHeight - 1);
    m_down->setGeometry(0, downTop, width(), height() - downTop);
}

TCSpinEdit::TCSpinEdit(QWidget* parent) : QLineEdit(parent), m_button(new TCSpinButton(this)) {
    {
        const QSignalBlocker blocker(this);
        setText(QStringLiteral("0"));
    }
    m_lastText = text();
    setTextMargins(0, 0, TextRightGap, 0);
    m_button->setFocusControl(this);
    m_button->OnUpClick = [this] { UpClick(); };
    m_button->OnDownClick = [this] { DownClick(); };
    connect(this, &QLineEdit::textChanged, this, &TCSpinEdit::textChangedByEditor);
    updateMinimumHeight();
    layoutButton();
}

int32_t TCSpinEdit::Value() {
    const vantel::SpinRead read = vantel::spinRead(m_bounds, text().toStdString());
    if (read.fellBack) setTextAndNotify(QString::fromStdString(vantel::spinFallbackText(m_bounds)));
    return read.value;
}

void TCSpinEdit::setValue(int64_t v) {
    setTextAndNotify(QString::fromStdString(vantel::spinTextOf(m_bounds, v)));
}

void TCSpinEdit::setEditorEnabled(bool on) {
    m_editorEnabled = on;
    QLineEdit::setReadOnly(m_readOnly || !m_editorEnabled);
}

void TCSpinEdit::setReadOnly(bool on) {
    m_readOnly = on;
    QLineEdit::setReadOnly(m_readOnly || !m_editorEnabled);
}

QRect TCSpinEdit::ClientRect() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
}

bool TCSpinEdit::IsValidChar(uint32_t code) {
    if (!m_editorEnabled && (code >= 32 || code == 8)) return false;
    return vantel::spinAcceptsChar(code, decimalSeparator());
}

void TCSpinEdit::UpClick() {
    if (m_readOnly) {
        Beeper::beep();
        return;
    }
    setValue(vantel::spinStep(m_bounds, Value(), +1));
}

void TCSpinEdit::DownClick() {
    if (m_readOnly) {
        Beeper::beep();
        return;
    }
    setValue(vantel::spinStep(m_bounds, Value(), -1));
}

void TCSpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        UpClick();
    } else if (event->key() == Qt::Key_Down) {
        DownClick();
    } else if (const auto code = typedCode(*event); code && !IsValidChar(*code)) {
        event->accept();
        Beeper::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TCSpinEdit::focusInEvent(QFocusEvent* event) {
    const int cursor = cursorPosition();
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    if (m_autoSelect) {
        if (event->reason() != Qt::MouseFocusReason) selectAll();
    } else if (!hadSelection && hasSelectedText()) {
        // The line edit selects everything on a Tab entry; this edit does not.
        setCursorPosition(cursor);
    }
}

void TCSpinEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Only a move of the focus within the window is a leave: a context menu or
    // another window taking the focus (an error box among them) is not.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    const int32_t v = Value();
    if (vantel::spinLeaveRewrites(m_bounds, v)) setValue(v);
}

void TCSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    layoutButton();
}

void TCSpinEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) updateMinimumHeight();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) layoutButton();
}

void TCSpinEdit::setTextAndNotify(const QString& newText) {
    if (newText == text()) return;
    showText(newText);
    if (OnChange) OnChange();
}

void TCSpinEdit::showText(const QString& newText) {
    if (newText == text()) return;
    {
        const QSignalBlocker blocker(this);
        setText(newText);
    }
    m_lastText = newText;
    vantel::tool_events::valueChanged(this, newText.toInt());
}

void TCSpinEdit::textChangedByEditor(const QString& newText) {
    // The line edit may signal an edit that ends where it began (a digit typed
    // over the same selected digit); that is no change.
    if (newText == m_lastText) return;
    m_lastText = newText;
    vantel::tool_events::valueChanged(this, newText.toInt());
    if (OnChange) OnChange();
}

void TCSpinEdit::updateMinimumHeight() {
    const int line = QFontMetrics(font()).height();
    const int system = QFontMetrics(QApplication::font()).height();
    setMinimumHeight(line + std::min(line, system) / 4 + 4 * BorderHeight + 2);
}

void TCSpinEdit::layoutButton() {
    const QRect client = ClientRect();
    m_button->setGeometry(client.left() + width() - PairRightGap, client.top(), PairWidth,
                          height() - PairBottomGap);
}
