#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

// The keyboard's way to enter spins: a small dialog, "Enter a spin", over the
// history strip. Typing a number from 0 to 36 and Return enters it and shows
// it entered on the dialog's last line; the dialog stays open for the next
// number until Escape. Anything else, or a refusal by the window, beeps and
// leaves the typing selected.
class TNumberEntry : public QDialog {
    Q_OBJECT
  public:
    explicit TNumberEntry(QWidget* parent);

    // The number a typed text stands for: 0 to 36 in plain decimal, else -1.
    static int numberOf(const QString& text);

    // Runs for an accepted number; returns whether the spin was entered.
    std::function<bool(int)> OnEnter;
    // Says why a Return entered nothing: "40 is not a number from 0 to 36".
    std::function<void(const QString&)> OnRefused;

    // Opens the dialog with its top left corner at a point of the screen, or
    // brings it back to the front with the typing cleared.
    void openAt(const QPoint& globalPos);
    QLineEdit* edit() const { return m_edit; }
    // What the last Return did: "17 black entered".
    QString confirmation() const;
    void confirm(const QString& text);

  private:
    void enterTyped();

    QLineEdit* m_edit = nullptr;
    QLabel* m_confirmation = nullptr;
};
