#include "simulate/simulate_dialog.h"

#include "widgets/save_file.h"
#include "widgets/scrolling.h"
#include "widgets/setting_choices.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

using namespace vantel::sim;

// The backtest chart, painted as vantel-sim draws it.
class SimChartView : public QWidget {
  public:
    explicit SimChartView(QWidget* parent) : QWidget(parent) {
        setMinimumSize(480, 320);
        setAccessibleName(QStringLiteral("Backtest chart"));
    }
    void set(const vantel::SimChartData* data) {
        m_data = data;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (m_data && !m_data->finalNets.empty())
            vantel::drawSimChart(p, QRectF(rect()), *m_data);
        else
            p.drawText(rect(), Qt::AlignCenter,
                       QStringLiteral("Run a simulation to see its chart"));
    }

  private:
    const vantel::SimChartData* m_data = nullptr;
};

namespace {

QSpinBox* spinBox(QWidget* parent, const QString& name, int low, int high, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(std::clamp(value, low, high));
    return box;
}

QSpinBox* spinBox(QWidget* parent, const QString& name, const vantel::RangeSetting& range,
                  int value) {
    return spinBox(parent, name, range.min, range.max, value);
}

QComboBox* comboBox(QWidget* parent, const QString& name, const QStringList& items, int index) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(std::clamp(index, 0, static_cast<int>(items.size()) - 1));
    return box;
}

} // namespace

SimulateDialog::SimulateDialog(const Settings& s, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SimulateDialog"));
    setWindowTitle(QStringLiteral("Simulate these settings"));
    setModal(false);

    namespace setting = vantel::setting;
    m_mode = comboBox(this, QStringLiteral("Mode"), choiceNames(setting::kGameMode), s.gameMode);
    m_system = comboBox(this, QStringLiteral("System"), choiceNames(setting::kBettingSystem),
                        std::max(0, setting::kBettingSystem.indexOf(s.bettingSystem)));
    m_initialBet = spinBox(this, QStringLiteral("InitialBet"), setting::kInitialBet, s.initialBet);
    m_safeLevel = spinBox(this, QStringLiteral("SafeLevel"), setting::kSafeLevel, s.safeLevel);
    m_fixedMatrix = new QCheckBox(QStringLiteral("Fixed Matrix"), this);
    m_fixedMatrix->setObjectName(QStringLiteral("FixedMatrix"));
    m_fixedMatrix->setChecked(s.fixedMatrix);
    m_reset =
        comboBox(this, QStringLiteral("ResetOn"), choiceNames(setting::kResetOn), s.mode3Reset);
    m_increaseTill =
        spinBox(this, QStringLiteral("IncreaseTill"), setting::kIncreaseTill, s.increaseTill);
    m_progression = comboBox(this, QStringLiteral("Progression"),
                             choiceNames(setting::kProgression), s.progression);
    m_mCount = spinBox(this, QStringLiteral("MCount"), setting::kMCount, s.sequentialLosses);
    m_wCount = spinBox(this, QStringLiteral("WCount"), setting::kWCount, s.sequentialWins);
    m_sessions = spinBox(this, QStringLiteral("Sessions"), vantel::sim::kSessions,
                         vantel::sim::kSessions.defaultValue);
    m_spins = spinBox(this, QStringLiteral("Spins"), vantel::sim::kSpins,
                      vantel::sim::kSpins.defaultValue);
    m_useBankroll = new QCheckBox(QStringLiteral("Bankroll"), this);
    m_useBankroll->setObjectName(QStringLiteral("UseBankroll"));
    m_bankroll = spinBox(this, QStringLiteral("BankrollAmount"), 1, 2000000000, 1000);
    m_bankroll->setEnabled(false);
    connect(m_useBankroll, &QCheckBox::toggled, m_bankroll, &QWidget::setEnabled);
    m_seed = new QLineEdit(QString::number(QRandomGenerator::global()->generate64()), this);
    m_seed->setObjectName(QStringLiteral("Seed"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Game Mode"), m_mode);
    form->addRow(QStringLiteral("Betting System"), m_system);
    form->addRow(QStringLiteral("Init. Bet"), m_initialBet);
    form->addRow(QStringLiteral("Safe Level"), m_safeLevel);
    form->addRow(QString(), m_fixedMatrix);
    form->addRow(QStringLiteral("Sequential: reset on"), m_reset);
    form->addRow(QStringLiteral("Sequential: increase till"), m_increaseTill);
    form->addRow(QStringLiteral("Sequential: progression"), m_progression);
    form->addRow(QStringLiteral("Sequential: M. Count"), m_mCount);
    form->addRow(QStringLiteral("Sequential: W. Count"), m_wCount);
    form->addRow(QStringLiteral("Sessions"), m_sessions);
    form->addRow(QStringLiteral("Spins per session"), m_spins);
    auto* bankroll = new QHBoxLayout;
    bankroll->addWidget(m_useBankroll);
    bankroll->addWidget(m_bankroll, 1);
    form->addRow(QStringLiteral("Stop when out of"), bankroll);
    form->addRow(QStringLiteral("Seed"), m_seed);

    m_run = new QPushButton(QStringLiteral("Run"), this);
    m_run->setObjectName(QStringLiteral("Run"));
    m_run->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setEnabled(false);
    m_saveChart = new QPushButton(QStringLiteral("Save chart…"), this);
    m_saveChart->setObjectName(QStringLiteral("SaveChart"));
    m_saveReport = new QPushButton(QStringLiteral("Save report…"), this);
    m_saveReport->setObjectName(QStringLiteral("SaveReport"));
    m_saveChart->setEnabled(false);
    m_saveReport->setEnabled(false);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_rate = new QLabel(this);
    m_rate->setObjectName(QStringLiteral("Rate"));
    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("Report"));
    m_report->setReadOnly(true);
    m_report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_report->setAccessibleName(QStringLiteral("Backtest report"));
    m_chartView = new SimChartView(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_saveChart);
    buttons->addWidget(m_saveReport);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(buttons);
    left->addWidget(m_progress);
    left->addWidget(m_rate);
    left->addWidget(m_report, 1);
    // Everything scrolls inside the dialog, so that on a small or scaled
    // screen the dialog still fits and nothing is out of reach.
    auto* content = new QWidget;
    auto* layout = new QHBoxLayout(content);
    layout->addLayout(left, 1);
    layout->addWidget(m_chartView, 1);
    QScrollArea* scroll = scrollingArea(content, QStringLiteral("SimulateScroll"), this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    const QRect avail = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize wanted = content->sizeHint() + QSize(4, 4);
    resize(wanted.boundedTo(avail.size() - QSize(40, 60)));

    m_poll = new QTimer(this);
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, &SimulateDialog::showProgress);
    connect(m_run, &QPushButton::clicked, this, &SimulateDialog::start);
    // The settings come from the window; what a player changes first is how
    // much to play.
    m_sessions->setFocus();
    m_sessions->selectAll();
    connect(m_cancel, &QPushButton::clicked, this, &SimulateDialog::cancel);
    connect(m_saveChart, &QPushButton::clicked, this, [this] { askAndSave(true); });
    connect(m_saveReport, &QPushButton::clicked, this, [this] { askAndSave(false); });
}

SimulateDialog::~SimulateDialog() {
    cancel();
    for (QThread* t : m_retiring) {
        t->wait();
        delete t;
    }
}

bool SimulateDialog::config(Config* c, QString* error) const {
    Settings& s = c->settings;
    s.gameMode = m_mode->currentIndex();
    s.bettingSystem = m_system->currentText().toStdString();
    s.initialBet = m_initialBet->value();
    s.safeLevel = m_safeLevel->value();
    s.fixedMatrix = m_fixedMatrix->isChecked();
    s.mode3Reset = m_reset->currentIndex();
    s.increaseTill = m_increaseTill->value();
    s.progression = m_progression->currentIndex();
    s.sequentialLosses = m_mCount->value();
    s.sequentialWins = m_wCount->value();
    c->sessions = static_cast<uint64_t>(m_sessions->value());
    c->spins = static_cast<uint64_t>(m_spins->value());
    c->bankroll =
        m_useBankroll->isChecked() ? std::optional<int64_t>(m_bankroll->value()) : std::nullopt;
    c->threads = std::max(1u, std::thread::hardware_concurrency());
    c->pathPoints = vantel::kSimChartPoints;
    const std::string seed = m_seed->text().trimmed().toStdString();
    bool digits =
        !seed.empty() && seed.size() <= 20 &&
        std::all_of(seed.begin(), seed.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    errno = 0;
    const unsigned long long value = digits ? std::strtoull(seed.c_str(), nullptr, 10) : 0;
    if (!digits || errno == ERANGE) {
        if (error)
            *error = QStringLiteral("The seed '%1' is not a whole number from 0 to "
                                    "18446744073709551615.")
                         .arg(m_seed->text());
        return false;
    }
    c->seed = value;
    return true;
}

void SimulateDialog::start() {
    if (m_thread) return;
    auto run = std::make_shared<Run>();
    QString error;
    if (!config(&run->config, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
        return;
    }
    m_runState = run;
    run->started = std::chrono::steady_clock::now();
    m_thread = QThread::create([run] {
        try {
            run->results = runSessions(
                run->config, [run](uint64_t done) { run->spinsDone = done; }, &run->cancel);
        } catch (const std::exception& e) {
            run->failure = e.what();
        }
    });
    m_thread->setObjectName(QStringLiteral("Simulation"));
    connect(m_thread, &QThread::finished, this, [this] { done(true); });
    m_run->setEnabled(false);
    m_cancel->setEnabled(true);
    m_saveChart->setEnabled(false);
    m_saveReport->setEnabled(false);
    m_progress->setValue(0);
    m_rate->setText(QStringLiteral("Starting…"));
    setWindowTitle(QStringLiteral("Simulate these settings: running"));
    m_thread->start();
    m_poll->start();
}

void SimulateDialog::cancel() {
    if (!m_thread) return;
    // The run is told to stop and the dialog is free at once; the worker ends
    // by itself within moments (a run of many sessions may still be setting
    // up) and is deleted then.
    m_runState->cancel = true;
    QThread* worker = m_thread;
    m_thread = nullptr;
    disconnect(worker, nullptr, this, nullptr);
    m_retiring.push_back(worker);
    connect(worker, &QThread::finished, this, [this, worker] {
        m_retiring.erase(std::remove(m_retiring.begin(), m_retiring.end(), worker),
                         m_retiring.end());
        worker->deleteLater();
    });
    done(false);
}

void SimulateDialog::showProgress() {
    if (!m_runState) return;
    const Run& run = *m_runState;
    const double total = static_cast<double>(run.config.sessions) * double(run.config.spins);
    const double done = static_cast<double>(run.spinsDone.load());
    m_progress->setValue(static_cast<int>(1000 * std::min(1.0, done / std::max(1.0, total))));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - run.started).count();
    if (seconds > 0) m_rate->setText(QStringLiteral("%1 spins/s").arg(done / seconds, 0, 'f', 0));
}

void SimulateDialog::done(bool completed) {
    m_poll->stop();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    m_run->setEnabled(true);
    m_cancel->setEnabled(false);
    if (completed && !m_runState->failure.empty()) {
        completed = false;
        m_rate->setText(QStringLiteral("Failed"));
        setWindowTitle(QStringLiteral("Simulate these settings: failed"));
        QMessageBox::warning(this, QStringLiteral("Simulate these settings"),
                             QStringLiteral("The simulation stopped: %1")
                                 .arg(QString::fromStdString(m_runState->failure)));
    } else if (completed) {
        showProgress();
        m_progress->setValue(m_progress->maximum());
        const Report report = summarize(m_runState->config, m_runState->results);
        m_reportText = QString::fromStdString(formatReport(m_runState->config, report));
        m_report->setPlainText(m_reportText);
        m_chart = vantel::simChartData(m_runState->config, report);
        m_chartView->set(&m_chart);
        m_saveChart->setEnabled(true);
        m_saveReport->setEnabled(true);
        setWindowTitle(QStringLiteral("Simulate these settings: done"));
    } else {
        m_rate->setText(QStringLiteral("Cancelled"));
        setWindowTitle(QStringLiteral("Simulate these settings: cancelled"));
    }
    if (completed) m_runState->results.clear();
    m_runState.reset();
    emit finished(completed);
}

bool SimulateDialog::saveReport(const QString& path, QString* error) const {
    const SaveOutcome outcome = saveWhole(path, m_reportText.toUtf8());
    if (error) *error = outcome.error;
    return outcome.ok;
}

QByteArray SimulateDialog::chartFile(const QString& path) const {
    return vantel::simChartFile(path, QSize(1200, 800), m_chart);
}

bool SimulateDialog::saveChart(const QString& path, QString* error) const {
    const SaveOutcome outcome = saveWhole(path, chartFile(path));
    if (error) *error = outcome.error;
    return outcome.ok;
}

void SimulateDialog::askAndSave(bool chart) {
    const QString title = chart ? QStringLiteral("Save chart") : QStringLiteral("Save report");
    const QString path = QFileDialog::getSaveFileName(
        this, title, chart ? QStringLiteral("backtest.png") : QStringLiteral("backtest.txt"),
        chart ? QStringLiteral("Charts (*.png *.svg)") : QStringLiteral("Text (*.txt)"));
    if (path.isEmpty()) return;
    // The whole file is made in memory first, then written in one go.
    saveWholeOrSay(this, path, chart ? chartFile(path) : m_reportText.toUtf8());
}

void SimulateDialog::closeEvent(QCloseEvent* event) {
    cancel();
    QDialog::closeEvent(event);
}
