#pragma once

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

class QWidget;
class TColourLabel;
class TFlatSpeedButton;
class TFocusCue;
class TNumberEntry;

// What the main window offers a player beyond its defined look: a visible
// focus, a wheel that acts only on the focused setting, greyed locked
// buttons, a stake shown whole, tooltips and names for screen readers, and a
// keyboard entry for spins (Ctrl+E). It works on the window's controls,
// handed to it once they are built.
class PlayerAids : public QObject {
    Q_OBJECT
  public:
    struct Controls {
        QWidget* window = nullptr;
        // The settings a spin locks, in the window's tab order.
        std::array<QWidget*, 12> settings{};
        QWidget* initialBet = nullptr;
        QWidget* gameMode = nullptr;
        QWidget* bettingSystem = nullptr;
        QWidget* safeLevel = nullptr;
        QWidget* fixedMatrix = nullptr;
        QWidget* resetOn = nullptr;
        QWidget* increaseTill = nullptr;
        QWidget* progression = nullptr;
        QWidget* mCount = nullptr;
        QWidget* wCount = nullptr;
        TFlatSpeedButton* reset = nullptr;
        TFlatSpeedButton* recalculate = nullptr;
        TColourLabel* bet = nullptr;
        std::array<TFlatSpeedButton*, 37> cells{};
    };

    // enterSpin enters a number as a click on its cell would; false when refused.
    PlayerAids(const Controls& controls, std::function<bool(int)> enterSpin);

    // A board cell's name for screen readers: "17, black", with ", lit" while lit.
    void describeCell(int n, bool lit);
    // Frames the setting that has the window's keyboard focus, if any.
    void followFocus();
    TFocusCue* focusCue() const { return m_focusCue; }
    // Made when first asked for: at start-up it would cost a font the window does not show.
    TNumberEntry* numberEntry();
    // Opens the number entry over the history strip.
    void openNumberEntry();
    // The window is going: nothing of it may be touched any more.
    void release();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void describeControls();

    Controls m_controls;
    std::function<bool(int)> m_enterSpin;
    TFocusCue* m_focusCue = nullptr;
    TNumberEntry* m_numberEntry = nullptr;
};
