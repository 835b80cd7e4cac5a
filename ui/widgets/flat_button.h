#pragma once

#include <QAbstractButton>

// A flat, transparent speed button: it paints nothing while the pointer is
// away, a one-pixel raised frame while the pointer is over it (when enabled)
// and a sunken frame while held down; its caption, if any, is centred.
class TFlatSpeedButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit TFlatSpeedButton(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
