#pragma once

#include "window/player_aids.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <string>

class QButtonGroup;
class QLabel;
class QWidget;
class TCGauge;
class TColourLabel;
class TFlatSpeedButton;
class TShape;

namespace vantel {
class HistoryStrip;
struct TrackerState;
} // namespace vantel

// The painted board and what lies on it: the background art, the tile under
// each number with its lit overlay (Act_Number) and its cell button
// (FlatButton) over them, the history strip (Label1 .. Label10), the stake bar
// (Bet and the draw's ProgressBar), Reset and ReCalculate with the
// recalculation's gauge (CGauge2), the indicator (Shape1) and the labels the
// refresh fills. Its controls are the window's own children, at the window's
// coordinates, named as on the layout; it shows what it is given and tells
// the window what was clicked.
class BoardView : public QObject {
    Q_OBJECT
  public:
    // Builds the board's controls on the window, bottom first, in the stacking
    // order of the layout; the art is painted at the given pixel ratio.
    BoardView(QWidget& window, qreal pixelRatio);

    // The player aids the board tells what it shows (none until set).
    void setPlayerAids(PlayerAids* aids) { m_playerAids = aids; }
    // The board's part of what the player aids reach.
    void addControls(PlayerAids::Controls& controls) const;
    QWidget* resetButton() const;
    QWidget* recalculateButton() const;

    // What the tracker keeps, shown.
    void showLit(int n, bool lit);
    void showStrip(const vantel::HistoryStrip& strip);
    void showBet(const std::string& text);
    void showProgress(int progress);
    // A locked board hides its cells: a click goes to the picture under them.
    void showLock(bool locked);
    // The labels the 10 ms refresh fills and the indicator's colour for the
    // loss streak against the safe level.
    void showValues(const vantel::TrackerState& state, int currentNum, int safeLevel);
    // The count of the Sequential mode's numbers, shown in that mode only.
    void showSequentialCount(bool shown);
    // One step of the recalculation's gauge; true once it is full (it is
    // then emptied).
    bool stepRecalculation();

    // What the controls show: a lit mark, a history cell's text and colour.
    bool litShown(int n) const;
    std::string historyText(int cell) const;
    uint32_t historyColour(int cell) const;

  signals:
    void cellClicked(int n);
    void resetClicked();
    void reCalculateClicked();

  private:
    void buildArtAndGauge(QWidget& window);
    void buildTiles(QWidget& window);
    void buildHistoryStrip(QWidget& window);
    void buildStakeBar(QWidget& window);
    void buildOverlays(QWidget& window);
    void buildIndicatorAndButtons(QWidget& window);
    void buildCellButtons(QWidget& window);
    void buildHiddenLabels(QWidget& window);

    qreal m_pixelRatio = 1.0;
    PlayerAids* m_playerAids = nullptr;
    QLabel* Image1 = nullptr;
    std::array<QLabel*, 37> Tiles{};      // the static tile under each number
    std::array<QLabel*, 37> Act_Number{}; // the lit overlay of each number
    std::array<TFlatSpeedButton*, 37> FlatButton{};
    std::array<TColourLabel*, 10> HistoryLabel{}; // Label1 .. Label10
    // The 37 board cell buttons, each with its number as id.
    QButtonGroup* m_cells = nullptr;
    TColourLabel* Bet = nullptr;
    TCGauge* ProgressBar = nullptr;
    TFlatSpeedButton* Reset_Bets = nullptr;
    TShape* Shape1 = nullptr;
    TColourLabel* Label11 = nullptr;
    TCGauge* CGauge2 = nullptr;
    TFlatSpeedButton* ReCalculate = nullptr;
    TColourLabel* CurrentNum = nullptr;
    TColourLabel* Balance = nullptr;
    TColourLabel* Balance2 = nullptr;
    TColourLabel* Label17 = nullptr;
    TColourLabel* Label25 = nullptr;
    TColourLabel* Sequential_Numbers_Count = nullptr;
};
