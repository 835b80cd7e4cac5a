#pragma once

#include "chart/sim_chart.h"
#include "engine.h"
#include "exact.h"
#include "report.h"
#include "widgets/range_spin_box.h"
#include "widgets/save_file.h"

#include <QDialog>

#include <vector>

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QPushButton;
class QTabWidget;
class QTimer;
class QVBoxLayout;
class ExactWorker;
class RunWorker;
class SimChartView;
class SimSettingsForm;

// "Simulate these settings": plays many sessions of the given settings with
// the backtest engine in a worker thread (RunWorker), with a progress bar,
// spins a second and Cancel, then shows the report and the chart vantel-sim
// gives for the same settings and seed. Beside it, and without a Run, the
// exact figures of the settings on a fair wheel, computed in a worker thread
// of their own (ExactWorker) whenever the settings change, or one line saying
// they are out of reach. The window's own tracker is never touched.
class SimulateDialog : public QDialog {
    Q_OBJECT
  public:
    SimulateDialog(const vantel::sim::Settings& settings, QWidget* parent);
    ~SimulateDialog() override;

    // Takes the window's settings into the fields; the last report and chart
    // stay on show until the next run.
    void setSettings(const vantel::sim::Settings& settings);
    // The size that shows everything without scrolling, tall.
    QSize wantedSize() const { return m_wanted; }
    // The smallest size it is placed at; it scrolls below that.
    static constexpr QSize kSmallest{300, 110};

    // The backtest the fields describe; false with the reason when the seed
    // is not a whole number from 0 to 18446744073709551615.
    bool config(vantel::sim::Config* config, QString* error) const;
    void start();
    void cancel();
    bool running() const;
    const QString& reportText() const { return m_reportText; }

    // What the exact figures may cost: about a second at most, and never
    // more than the deadline. Tests on a slow build may give more time.
    static vantel::sim::ExactLimits exactLimits();
    static inline int ExactDeadlineMs = 2000;
    // The exact computations still running, of this dialog and any other.
    static int exactWorkers();
    // The exact figures of the settings as the fields stand are being made.
    bool exactRunning() const;
    // The exact panel's text: the report and figures, a line saying they are
    // out of reach, or that they are being made.
    QString exactText() const;
    // What the Exact tab says when the figures are out of reach: the engine's
    // reason as a sentence of its own (empty: the deadline passed) and what
    // answers instead.
    static QString exactRefusal(const QString& reason);
    // Write the report or the chart (PNG or SVG by the name's ending) whole or
    // not at all; false with the sentence that says why.
    bool saveReport(const QString& path, QString* error) const;
    bool saveChart(const QString& path, QString* error) const;
    // The chart drawn in memory, then written whole; nothing where it cannot be drawn.
    SaveOutcome writeChart(const QString& path) const;

    QSpinBox* sessionsBox() const { return m_sessions; }
    QSpinBox* spinsBox() const { return m_spins; }
    QLineEdit* seedEdit() const { return m_seed; }
    QPushButton* runButton() const { return m_run; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* noteLabel() const { return m_note; }
    QPlainTextEdit* reportView() const { return m_report; }
    QPlainTextEdit* exactView() const { return m_exact; }
    QTabWidget* reportTabs() const { return m_tabs; }
    bool chartShown() const;

  signals:
    // After a run ends: completed, or cancelled.
    void finished(bool completed);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Lays the settings and results out tall or low; the contents' size then.
    QSize arrange(bool tall);
    // Scrolls the field with the keyboard into view.
    void showFocus();
    // The run's buttons, progress and reports with the chart; their layout,
    // tall; the workers with what starts and stops them.
    void buildRunControls();
    void buildLayout();
    void wireWorkers();
    // Says in the note when a typed number was set to the nearest end.
    void noteClampedValues();
    // Every field the exact figures depend on starts them anew.
    void startExactOnChanges();
    void showProgress(double spins, double total, double seconds);
    void done(bool completed);
    void askAndSave(bool chart);
    // The backtest the fields describe, all but the seed.
    void fillConfig(vantel::sim::Config* config) const;
    // Stops the computation on show and says new figures are coming.
    void dropExact();
    void computeExact();
    void exactProgress(int pass, double spin, double total);
    void exactDone(const vantel::sim::Config& config, const vantel::sim::ExactResult& result,
                   bool timedOut);

    SimSettingsForm* m_form = nullptr;
    RangeSpinBox* m_sessions = nullptr;
    RangeSpinBox* m_spins = nullptr;
    QCheckBox* m_useBankroll = nullptr;
    RangeSpinBox* m_bankroll = nullptr;
    QLineEdit* m_seed = nullptr;
    QPushButton* m_run = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_saveChart = nullptr;
    QPushButton* m_saveReport = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_rate = nullptr;
    QLabel* m_note = nullptr; // what became of a value out of range
    QPlainTextEdit* m_report = nullptr;
    QPlainTextEdit* m_exact = nullptr;
    QTabWidget* m_tabs = nullptr;
    SimChartView* m_chartView = nullptr;
    QTimer* m_exactSoon = nullptr; // gathers a burst of changes into one computation
    RunWorker* m_runWorker = nullptr;
    ExactWorker* m_exactWorker = nullptr;
    QString m_reportText;

    // A setting's caption and field, and their row and column when tall.
    struct Row {
        QLabel* caption;
        QWidget* field;
        int row;
        int column;
    };
    std::vector<Row> m_rows;
    QGridLayout* m_grid = nullptr;
    QBoxLayout* m_body = nullptr;
    QHBoxLayout* m_results = nullptr;
    QHBoxLayout* m_buttons = nullptr;
    QVBoxLayout* m_left = nullptr; // the settings' pane, and low the saves under it
    QWidget* m_saves = nullptr;    // Save chart… and Save report…
    QScrollArea* m_settingsPane = nullptr;
    bool m_tall = true;
    QSize m_wanted;
    vantel::SimChartData m_chart;
};
