#pragma once

#include "session_stats.h"

#include <QWidget>

class FiguresText;
class QPushButton;
class QTableView;
class QTimer;
class NumbersModel;
class GroupsModel;
class NetChart;
class WheelPanel;

// The Statistics window: what the spins of the session mean. A window of its
// own beside the main one, live: it follows every spin, undo and redo.
class StatisticsWindow : public QWidget {
    Q_OBJECT
  public:
    // Reads the session's spins from `spins` (the spin history's list, which
    // outlives the window).
    StatisticsWindow(const std::vector<vantel::EnteredSpin>& spins, QWidget* mainWindow);
    ~StatisticsWindow() override;

    // Reads the session again; the window calls it after every change.
    void refresh();
    const vantel::sim::SessionStats& stats() const { return m_stats; }
    // Places the window beside the main one where the main window cannot hide
    // it, and shows it without taking the keyboard from the main window.
    void showBeside();
    // The smallest client size it is placed at; its figures scroll below that.
    static constexpr QSize kSmallest{300, 110};
    // Writes the session's spins, one number a line; false with the reason.
    bool saveSpins(const QString& path, QString* error) const;
    QByteArray spinsFile() const;

    QTableView* numbersView() const { return m_numbersView; }
    QTableView* groupsView() const { return m_groupsView; }
    FiguresText* wheelText() const { return m_wheel; }
    FiguresText* suggestionsText() const { return m_suggestions; }
    FiguresText* moneyText() const { return m_money; }
    WheelPanel* wheelPanel() const { return m_wheelPanel; }

  private:
    void askAndSaveSpins();
    void placeBeside();

    const std::vector<vantel::EnteredSpin>& m_spins;
    QWidget* m_main;
    vantel::sim::SessionStats m_stats;
    NumbersModel* m_numbers = nullptr;
    GroupsModel* m_groups = nullptr;
    QTableView* m_numbersView = nullptr;
    QTableView* m_groupsView = nullptr;
    FiguresText* m_wheel = nullptr;
    FiguresText* m_suggestions = nullptr;
    FiguresText* m_money = nullptr;
    NetChart* m_chart = nullptr;
    WheelPanel* m_wheelPanel = nullptr;
    QPushButton* m_save = nullptr;
    QSize m_wanted; // the size that shows everything without scrolling
};
