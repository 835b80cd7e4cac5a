#pragma once

#include "settings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <bitset>
#include <functional>
#include <vector>

class QMenu;
class QShortcut;
class QWidget;
class TAccessibleText;
class TCGauge;
class TColourLabel;
class TFlatSpeedButton;
class TFocusCue;
class TNumberEntry;
class TShape;

// What the main window offers a player beyond its defined look: a visible
// focus, a wheel that acts only on the focused setting, greyed locked
// buttons, a stake shown whole, tooltips and names for screen readers, a
// keyboard entry for spins (Ctrl+E), keys for Reset (Ctrl+B) and ReCalculate
// (F9), and the game told to assistive tools as it goes: every spin, each
// draw's lit numbers and each stake, on a line a screen reader speaks, with
// F2 to hear the last again and Ctrl+L for the lit numbers. It works on the
// window's controls, handed to it once they are built.
class PlayerAids : public QObject {
    Q_OBJECT
  public:
    struct Controls {
        QWidget* window = nullptr;
        // The settings a spin locks, in the window's tab order.
        std::array<QWidget*, 12> settings{};
        // Each setting's control, in the field table's order (settings.h),
        // which names them and gives their tooltips.
        std::array<QWidget*, vantel::kSettingCount> fields{};
        QWidget* sequentialPanel = nullptr;
        TFlatSpeedButton* reset = nullptr;
        TFlatSpeedButton* recalculate = nullptr;
        TColourLabel* bet = nullptr;
        TCGauge* drawProgress = nullptr;
        TCGauge* recalculation = nullptr;
        TShape* indicator = nullptr;
        std::array<TFlatSpeedButton*, 37> cells{};
        std::array<TColourLabel*, 10> history{};
        // Pictures and internal labels that assistive tools need not see.
        std::vector<QWidget*> decorative;
    };

    // enterSpin enters a number as a click on its cell would; false when refused.
    PlayerAids(const Controls& controls, std::function<bool(int)> enterSpin);

    // A board cell's name for screen readers: "17, black", with ", lit" while
    // lit, and its checked state.
    void describeCell(int n, bool lit);
    // Frames the setting that has the window's keyboard focus, if any.
    void followFocus();
    TFocusCue* focusCue() const { return m_focusCue; }
    // Made when first asked for: at start-up it would cost a font the window does not show.
    TNumberEntry* numberEntry();
    // Opens the number entry over the history strip.
    void openNumberEntry();
    // The entries for Reset, ReCalculate and what was said, in the window's menu.
    void addEntries(QMenu* menu);
    // The window is going: nothing of it may be touched any more.
    void release();

    // What the window tells: a spin was entered (by a click, a key or again
    // after an undo), the strip or the stake was shown anew, the window was
    // locked or unlocked, the indicator says whether the next miss lights the
    // suggestion. Each is told once the procedure that made it is over.
    void spinEntered(int n);
    void stripShown();
    void stakeShown();
    void locked();
    void unlocked();
    void indicatorShown(bool nextMissLights);

    // How long after a change it is told; tests tell at once.
    static inline int TellDelayMs = 400;

    // What was said last, and the texts only assistive tools see.
    TAccessibleText* announcer() const { return m_announcer; }
    TAccessibleText* stripText() const { return m_strip; }
    TAccessibleText* litText() const { return m_litText; }
    // "18 numbers lit: 3, 6, 9 …", or "No numbers lit".
    QString litSentence() const;
    // "stake 8", or "stake table's end" past a table's end.
    QString stakeSentence() const;
    void sayLitNumbers();
    void announce(const QString& text);
    void sayAgain();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void describeControls();
    void makeKeys();
    void press(TFlatSpeedButton* button);
    void later();
    void tell();
    QString stripSentence() const;

    Controls m_controls;
    std::function<bool(int)> m_enterSpin;
    TFocusCue* m_focusCue = nullptr;
    TNumberEntry* m_numberEntry = nullptr;
    TAccessibleText* m_announcer = nullptr;
    TAccessibleText* m_strip = nullptr;
    TAccessibleText* m_litText = nullptr;
    QShortcut* m_resetKey = nullptr;
    QShortcut* m_recalculateKey = nullptr;
    QShortcut* m_sayAgainKey = nullptr;
    QShortcut* m_litKey = nullptr;

    // The numbers lit now, and those the last draw left lit.
    std::bitset<37> m_lit;
    std::bitset<37> m_drawnLit;
    // What happened since the last telling.
    int m_entered = -1;
    bool m_stakeChanged = false;
    bool m_stakeAsked = false;
    bool m_tableEnd = false;
    bool m_stripChanged = false;
    bool m_isLocked = false;
    bool m_drawEnded = false;
    bool m_recalculating = false;
    bool m_recalculationStarted = false;
    bool m_recalculated = false;
    bool m_tellPending = false;
    int m_nextMissLights = -1;
    QString m_toldStake;
    // Said with the next telling: a window opened, a number refused.
    QStringList m_news;
};
