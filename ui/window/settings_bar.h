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
    // The Sequential settings' strip and its bevels.
    QWidget* sequentialPanel() const;
    std::vector<QWidget*> bevels() const;

  signals:
    // A setting chosen from a list, on the slider or in the box.
    void gameModeChosen(int index);
    void bettingSystemChosen(const std::string& name);
    void safeLevelChosen(int level);
    void fixedMatrixChosen(bool on);
    void mode3ResetChosen(int index);
    void progressionChosen(int index);
    // A spin setting's text changed, typed or stepped.
    void settingTyped(vantel::SpinSetting s, const std::string& text);

  private:
    void buildCaptions(QWidget& window);
    void buildSettings(QWidget& window);
    void buildSequentialPanel(QWidget& window);
    void bindChanges();
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
