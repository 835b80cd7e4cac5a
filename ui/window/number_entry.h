#pragma once

#include <QLineEdit>

#include <functional>

// The keyboard's way to enter a spin: a small pop-up edit where typing a
// number from 0 to 36 and Return enters it. Anything else, or a refusal by the
// window, beeps and leaves the edit open; Escape closes it.
class TNumberEntry : public QLineEdit {
    Q_OBJECT
  public:
    explicit TNumberEntry(QWidget* parent);

    // The number a typed text stands for: 0 to 36 in plain decimal, else -1.
    static int numberOf(const QString& text);

    // Runs for an accepted number; returns whether the spin was entered.
    std::function<bool(int)> OnEnter;
    std::function<void()> OnBeep;

    void open(const QPoint& globalPos);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
