#pragma once

#include "settings.h"
#include "tracker_settings.h"

#include <QObject>
#include <QString>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QSlider;
class QWidget;
class TCSpinEdit;
class TColourLabel;
class WindowRoom;

// The settings row under the board and the Sequential settings' strip
// (Panel1) under it, built from the field table (settings.h): each setting's
// control and caption where `kSettingPlaces` puts them, with the table's
// names, choices, ranges and defaults. The controls are the window's own
// children; the bar reads and sets them and tells what the player changed.
class SettingsBar : public QObject {
    Q_OBJECT
  public:
    explicit SettingsBar(QWidget& window);
    ~SettingsBar() override;

    // Gives the window's tracker the settings as the controls stand now, and
    // every change from here on, before anything else the change runs; a
    // typed text runs through the window's guard. Bound only once built, so
    // that the values set while building raise no change.
    void bind(WindowRoom& room);

    // The settings as the controls show them, read without changing any of
    // them, and set through the controls as a player sets them.
    vantel::Settings settings() const;
    void applySettings(const vantel::Settings& settings);
    // A spin setting's text as its edit shows it, and shown anew (a reading
    // rewrote it).
    std::string spinText(vantel::SpinSetting s) const;
    void showSettingText(vantel::SpinSetting s, const std::string& text);
    int safeLevel() const;
    // Shows or hides the Sequential settings' strip.
    void showSequential(bool shown);
    // Each setting's control, in the field table's order.
    std::array<QWidget*, vantel::kSettingCount> controls() const;
    // The controls a spin locks, in the window's tab order, Reset and
    // ReCalculate among them.
    std::array<QWidget*, vantel::kSettingCount + 2> lockedControls(QWidget* reset,
                                                                   QWidget* recalculate) const;
    // The Sequential settings' strip and its bevels.
    QWidget* sequentialPanel() const;
    std::vector<QWidget*> bevels() const;

  signals:
    // The game mode was chosen; the tracker has it already.
    void gameModeChosen(int index);

  private:
    void buildCaptions(QWidget& window);
    void buildSettings(QWidget& window);
    void buildSequentialPanel(QWidget& window);
    TCSpinEdit* spinEditOf(vantel::SpinSetting s) const;

    TColourLabel* Label12 = nullptr;
    TColourLabel* Label14 = nullptr;
    TColourLabel* Label15 = nullptr;
    TColourLabel* Label18 = nullptr;
    TCSpinEdit* Initial_Bet = nullptr;
    QComboBox* Game_Mode = nullptr;
    QComboBox* Betting_System = nullptr;
    QSlider* SafeLevel = nullptr;
    QCheckBox* Fixed_Matrix = nullptr;
    QFrame* Panel1 = nullptr;
    QComboBox* Mode3_Reset = nullptr;
    TCSpinEdit* Increase_Till = nullptr;
    QComboBox* Progression = nullptr;
    TCSpinEdit* Sequential_Losses = nullptr;
    TCSpinEdit* Sequential_Wins = nullptr;
};
