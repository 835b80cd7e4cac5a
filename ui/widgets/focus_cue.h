#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

// A one-pixel frame drawn over the control that has the keyboard focus, so a
// keyboard user always sees where keys go. It takes no input and follows the
// control's geometry.
class TFocusCue : public QWidget {
    Q_OBJECT
  public:
    explicit TFocusCue(QWidget* parent);

    static inline const QColor kColour{0x99, 0xBF, 0x13};

    // Frames target, or hides when target is null.
    void follow(QWidget* target);
    QWidget* target() const { return m_target; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void place();

    QPointer<QWidget> m_target;
};
