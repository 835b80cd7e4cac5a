#pragma once

#include "session_stats.h"

#include <QWidget>

class FiguresText;
class QLabel;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTableView;
class QTimer;
class NumbersModel;
class GroupsModel;
class NetChart;
class WheelPanel;
namespace vantel {
class SideWindows;
}

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
    // it, with the other side windows of `sides` as a set when given, and
    // shows it without taking the keyboard from the main window.
    void showBeside(vantel::SideWindows* sides = nullptr);
    // The size that shows every page whole where the screen has room, and
    // the smallest it is placed at: as narrow as the narrowest layout of its
    // pages, which then scroll up and down, never sideways.
    QSize wantedSize() const { return m_wanted; }
    QSize smallestSize() const { return m_smallest; }

    // The pages, one tab each: Numbers, Wheel, Bets and Money. Another page
    // is one call: its content (a widget that does not scroll on its own)
    // becomes a page that scrolls up and down as one, never sideways, named
    // by its title ("&Journal": "JournalPage"). Returns the page.
    QScrollArea* addPage(const QString& title, QWidget* content);
    // A page that keeps a row of its own above figures it scrolls itself.
    void addScrollingPage(const QString& title, QWidget* page);
    QTabWidget* pages() const { return m_pages; }
    // A line under the pages, beside Save spins… ("Recording to 'Table 3' in
    // journal.sqlite"); empty hides it.
    void setRecordingLine(const QString& text);
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
    QLabel* m_recording = nullptr;
    QTabWidget* m_pages = nullptr;
    QSize m_wanted;   // the size that shows every page without scrolling
    QSize m_smallest; // the narrowest its pages lay out in
};
