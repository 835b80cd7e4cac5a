#pragma once

#include <QLineEdit>
#include <QWidget>

#include <cstdint>
#include <functional>

#include "spin_rules.h"

class QTimer;

// An arrow button that repeats its click while it is held: the first repeat
// comes 400 ms after the press, then one every 100 ms, each only while the
// pointer is over the button. A press followed by a release over the button
// is one click, run on release.
class TTimerSpeedButton : public QWidget {
    Q_OBJECT

  public:
    enum class Glyph { Up, Down };

    static constexpr int RepeatDelayMs = 400;
    static constexpr int RepeatIntervalMs = 100;
    // The glyph is a black triangle, 7 pixels wide at its base, in a 9 x 6 cell.
    static constexpr int GlyphWidth = 9;
    static constexpr int GlyphHeight = 6;

    explicit TTimerSpeedButton(Glyph glyph, QWidget* parent = nullptr);

    bool FocusRect() const { return m_focusRect; }
    void setFocusRect(bool on);
    bool AllowTimer() const { return m_allowTimer; }
    void setAllowTimer(bool on) { m_allowTimer = on; }

    // Held down with the pointer over it (drawn sunken).
    bool IsDown() const { return m_held && m_over; }
    // Null until the first press; active only while the button is held.
    QTimer* RepeatTimer() const { return m_repeatTimer; }

    // Runs before anything else on a left press (the pair moves the focus).
    std::function<void()> OnMouseDown;
    std::function<void()> OnClick;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void TimerExpired();
    void stopRepeat();

    Glyph m_glyph = Glyph::Up;
    bool m_focusRect = false;
    bool m_allowTimer = false;
    bool m_held = false;
    bool m_over = false;
    QTimer* m_repeatTimer = nullptr;
};

// The arrow pair of a spin edit: the up button above the down button, the down
// one starting on the up one's last row. A press on either moves the keyboard
// focus to the focus control first.
class TCSpinButton : public QWidget {
    Q_OBJECT

  public:
    explicit TCSpinButton(QWidget* parent = nullptr);

    TTimerSpeedButton* UpButton() const { return m_up; }
    TTimerSpeedButton* DownButton() const { return m_down; }
    QWidget* FocusControl() const { return m_focusControl; }
    void setFocusControl(QWidget* control) { m_focusControl = control; }

    std::function<void()> OnUpClick;
    std::function<void()> OnDownClick;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutButtons();
    void focusControl();

    TTimerSpeedButton* m_up = nullptr;
    TTimerSpeedButton* m_down = nullptr;
    QWidget* m_focusControl = nullptr;
};

// An integer edit with an arrow pair. The text is the one place the value
// lives: reading parses it (a text that is no integer is replaced by MinValue),
// writing clamps, and leaving the edit brings a typed value into range.
// OnChange runs after every actual change of the text, whatever made it, and
// may throw: changes made by this class call it directly, never from inside a
// Qt signal emission.
class TCSpinEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit TCSpinEdit(QWidget* parent = nullptr);

    int32_t MinValue() const { return m_bounds.min; }
    void setMinValue(int32_t v) { m_bounds.min = v; }
    int32_t MaxValue() const { return m_bounds.max; }
    void setMaxValue(int32_t v) { m_bounds.max = v; }
    int32_t Increment() const { return m_bounds.increment; }
    void setIncrement(int32_t v) { m_bounds.increment = v; }

    // Not const: a text that fails to parse is replaced by MinValue.
    int32_t Value();
    void setValue(int64_t v);
    // Shows a text its owner rewrote, as assistive tools are told of any
    // change, without running OnChange: the owner has run what it starts.
    void showText(const QString& text);

    bool EditorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool on);
    // The edit's own read-only flag (the arrows only beep). The line edit
    // underneath is also read-only while the editor is disabled, so
    // QLineEdit::isReadOnly() reports either.
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);
    bool AutoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool on) { m_autoSelect = on; }

    TCSpinButton* Button() const { return m_button; }
    // The area inside the edit's frame, in the edit's coordinates.
    QRect ClientRect() const;

    // The key filter, for a typed character's code.
    virtual bool IsValidChar(uint32_t code);
    virtual void UpClick();
    virtual void DownClick();

    std::function<void()> OnChange;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void setTextAndNotify(const QString& text);
    void textChangedByEditor(const QString& text);
    void updateMinimumHeight();
    void layoutButton();

    vantel::SpinBounds m_bounds;
    bool m_editorEnabled = true;
    bool m_readOnly = false;
    bool m_autoSelect = false;
    // The text OnChange last reported, so that a change is reported exactly once.
    QString m_lastText;
    TCSpinButton* m_button = nullptr;
};
