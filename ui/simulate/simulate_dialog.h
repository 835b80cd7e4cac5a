#pragma once

#include "chart/sim_chart.h"
#include "engine.h"
#include "report.h"

#include <QDialog>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;
class QTimer;
class SimChartView;

// "Simulate these settings": plays many sessions of the given settings with
// the backtest engine in a worker thread, with a progress bar, spins a second
// and Cancel, then shows the report and the chart vantel-sim gives for the
// same settings and seed. The window's own tracker is never touched.
class SimulateDialog : public QDialog {
    Q_OBJECT
  public:
    SimulateDialog(const vantel::sim::Settings& settings, QWidget* parent);
    ~SimulateDialog() override;

    // The backtest the fields describe; false with the reason when the seed
    // is not a whole number from 0 to 18446744073709551615.
    bool config(vantel::sim::Config* config, QString* error) const;
    void start();
    void cancel();
    bool running() const { return m_thread != nullptr; }
    const QString& reportText() const { return m_reportText; }
    // Write the report or the chart (PNG or SVG by the name's ending) whole or
    // not at all; false with the sentence that says why.
    bool saveReport(const QString& path, QString* error) const;
    bool saveChart(const QString& path, QString* error) const;
    // The chart file's bytes, drawn in memory.
    QByteArray chartFile(const QString& path) const;

    QSpinBox* sessionsBox() const { return m_sessions; }
    QSpinBox* spinsBox() const { return m_spins; }
    QLineEdit* seedEdit() const { return m_seed; }
    QPushButton* runButton() const { return m_run; }
    QPushButton* cancelButton() const { return m_cancel; }

  signals:
    // After a run ends: completed, or cancelled.
    void finished(bool completed);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void showProgress();
    void done(bool completed);
    void askAndSave(bool chart);

    QComboBox* m_mode = nullptr;
    QComboBox* m_system = nullptr;
    QSpinBox* m_initialBet = nullptr;
    QSpinBox* m_safeLevel = nullptr;
    QCheckBox* m_fixedMatrix = nullptr;
    QComboBox* m_reset = nullptr;
    QSpinBox* m_increaseTill = nullptr;
    QComboBox* m_progression = nullptr;
    QSpinBox* m_mCount = nullptr;
    QSpinBox* m_wCount = nullptr;
    QSpinBox* m_sessions = nullptr;
    QSpinBox* m_spins = nullptr;
    QCheckBox* m_useBankroll = nullptr;
    QSpinBox* m_bankroll = nullptr;
    QLineEdit* m_seed = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_saveChart = nullptr;
    QPushButton* m_saveReport = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_rate = nullptr;
    QPlainTextEdit* m_report = nullptr;
    SimChartView* m_chartView = nullptr;
    QTimer* m_poll = nullptr;

    // The run in progress, shared with its worker thread.
    struct Run {
        vantel::sim::Config config;
        std::atomic<bool> cancel{false};
        std::atomic<uint64_t> spinsDone{0};
        std::vector<vantel::sim::SessionResult> results;
        std::chrono::steady_clock::time_point started;
        std::string failure; // what stopped the run, if it failed
    };
    std::shared_ptr<Run> m_runState;
    QThread* m_thread = nullptr;
    std::vector<QThread*> m_retiring; // cancelled runs still winding down
    QString m_reportText;
    vantel::SimChartData m_chart;
};
