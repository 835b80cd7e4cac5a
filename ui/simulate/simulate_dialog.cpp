#include "simulate/simulate_dialog.h"

#include "chart/sim_chart_view.h"
#include "simulate/exact_worker.h"
#include "simulate/run_worker.h"
#include "simulate/sim_settings_form.h"

#include "widgets/save_file.h"
#include "widgets/scrolling.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <thread>

using namespace vantel::sim;

namespace {

RangeSpinBox* spinBox(QWidget* parent, const QString& name, int low, int high, int value) {
    auto* box = new RangeSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(std::clamp(value, low, high));
    box->setToolTip(QStringLiteral("%1 to %2").arg(low).arg(high));
    return box;
}

RangeSpinBox* spinBox(QWidget* parent, const QString& name, const vantel::RangeSetting& range,
                      int value) {
    return spinBox(parent, name, range.min, range.max, value);
}

} // namespace

void SimulateDialog::setSettings(const Settings& s) {
    m_form->setSettings(s);
}

bool SimulateDialog::chartShown() const {
    return !m_chart.finalNets.empty();
}

SimulateDialog::SimulateDialog(const Settings& s, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SimulateDialog"));
    setWindowTitle(QStringLiteral("Simulate these settings"));
    setModal(false);

    m_form = new SimSettingsForm(
        s, this, [this](const QString& name, int low, int high, int value) -> QSpinBox* {
            return spinBox(this, name, low, high, value);
        });
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

    buildRunControls();

    m_grid = new QGridLayout;
    m_grid->setHorizontalSpacing(8);
    m_grid->setVerticalSpacing(4);
    const auto row = [&](int r, int column, const QString& label, QWidget* field) {
        QLabel* caption = nullptr;
        if (!label.isEmpty()) {
            caption = new QLabel(label, this);
            caption->setBuddy(field);
        }
        m_rows.push_back({caption, field, r, column});
    };
    m_form->addRows(vantel::SettingGroup::Every, row);
    row(5, 0, QStringLiteral("Sessions"), m_sessions);
    row(5, 1, QStringLiteral("Spins per session"), m_spins);
    auto* bankroll = new QWidget(this);
    auto* bankrollRow = new QHBoxLayout(bankroll);
    bankrollRow->setContentsMargins(0, 0, 0, 0);
    bankrollRow->addWidget(m_useBankroll);
    bankrollRow->addWidget(m_bankroll, 1);
    row(6, 0, QStringLiteral("Stop when out of"), bankroll);
    row(6, 1, QStringLiteral("Seed"), m_seed);
    m_form->addRows(vantel::SettingGroup::Sequential, row);
    buildLayout();
    noteClampedValues();
    wireWorkers();
    startExactOnChanges();
    computeExact();
}

void SimulateDialog::noteClampedValues() {
    std::vector<RangeSpinBox*> boxes;
    for (QSpinBox* box : m_form->spinBoxes())
        boxes.push_back(qobject_cast<RangeSpinBox*>(box));
    boxes.insert(boxes.end(), {m_sessions, m_spins, m_bankroll});
    for (RangeSpinBox* box : boxes) {
        connect(box, &RangeSpinBox::clamped, this, [this, box](const QString& typed) {
            const QLabel* caption = nullptr;
            for (QLabel* l : findChildren<QLabel*>())
                if (l->buddy() == box || (box == m_bankroll && l->buddy() == box->parentWidget()))
                    caption = l;
            m_note->setText(QStringLiteral("%1: %2 is outside %3 to %4; set to %5.")
                                .arg(caption ? caption->text() : box->objectName(), typed)
                                .arg(box->minimum())
                                .arg(box->maximum())
                                .arg(box->value()));
            m_note->show();
        });
        // A note stays until the next change of a value.
        connect(box, &QSpinBox::valueChanged, m_note, &QWidget::hide);
    }
}

void SimulateDialog::startExactOnChanges() {
    // Every field the exact figures depend on (the sessions and the seed play
    // no part) starts them anew; typing a number is one burst of changes.
    const auto changed = [this] {
        dropExact(); // the old figures go at once, and their computation stops
        m_exactSoon->start();
    };
    connect(m_form, &SimSettingsForm::changed, this, changed);
    for (QSpinBox* box : {static_cast<QSpinBox*>(m_spins), static_cast<QSpinBox*>(m_bankroll)})
        connect(box, &QSpinBox::valueChanged, this, changed);
    connect(m_useBankroll, &QCheckBox::toggled, this, changed);
}

SimulateDialog::~SimulateDialog() {
    // A run on show ends as cancelled; the workers wait for their threads as
    // they go.
    cancel();
}

void SimulateDialog::buildRunControls() {
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
    m_report->setMinimumHeight(120);
    // A report's two columns stay two columns: in a narrow pane it scrolls
    // sideways rather than wrapping a line under its caption.
    m_report->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_exact = new QPlainTextEdit(this);
    m_exact->setObjectName(QStringLiteral("ExactReport"));
    m_exact->setReadOnly(true);
    m_exact->setFont(m_report->font());
    m_exact->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_exact->setAccessibleName(QStringLiteral("Exact figures on a fair wheel"));
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("ReportTabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->addTab(m_report, QStringLiteral("Monte Carlo"));
    m_tabs->addTab(m_exact, QStringLiteral("Exact (fair wheel)"));
    // Before a run the exact figures are all there is to read.
    m_tabs->setCurrentWidget(m_exact);
    m_chartView = new SimChartView(this);
    m_chartView->setObjectName(QStringLiteral("Chart"));
}

void SimulateDialog::buildLayout() {
    // Tall, the settings in two columns, what to play below them, then the
    // buttons, the progress and, side by side, the reports (Monte Carlo and
    // exact, one tab each) and the chart: all of it in view without scrolling
    // at twice the size on a 1280x1024 screen. Low, as in the strip below the
    // main window, the settings are one column in a pane of their own that
    // scrolls, beside the buttons, the progress and the reports, with the chart
    // as a third tab: what a run shows stays in view.
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("Note"));
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("color: #a00000"));
    m_note->hide();

    auto* settings = new QWidget;
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    settingsLayout->addLayout(m_grid);
    settingsLayout->addStretch(1);
    m_settingsPane = scrollingArea(settings, QStringLiteral("SettingsScroll"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_rate);
    m_saves = new QWidget(this);
    auto* saves = new QHBoxLayout(m_saves);
    saves->setContentsMargins(0, 0, 0, 0);
    saves->addWidget(m_saveChart);
    saves->addWidget(m_saveReport);
    buttons->addWidget(m_saves);
    m_buttons = buttons;
    m_results = new QHBoxLayout;
    m_results->addWidget(m_tabs, 1);
    auto* runPane = new QWidget;
    auto* runLayout = new QVBoxLayout(runPane);
    runLayout->setContentsMargins(0, 0, 0, 0);
    runLayout->addWidget(m_note);
    runLayout->addLayout(buttons);
    runLayout->addLayout(m_results, 1);
    // A smaller screen still reaches everything: the whole scrolls then.
    auto* content = new QWidget;
    m_body = new QBoxLayout(QBoxLayout::TopToBottom, content);
    auto* left = new QWidget;
    m_left = new QVBoxLayout(left);
    m_left->setContentsMargins(0, 0, 0, 0);
    m_left->addWidget(m_settingsPane, 1);
    m_body->addWidget(left);
    m_body->addWidget(runPane, 1);
    QScrollArea* scroll = scrollingArea(content, QStringLiteral("SimulateScroll"), this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    m_wanted = arrange(true).expandedTo(QSize(640, 420)) + QSize(4, 4);
    const QRect avail = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(m_wanted.boundedTo(avail.size()));
    // The settings come from the window; what a player changes first is how
    // much to play.
    m_sessions->setFocus();
    m_sessions->selectAll();
}

void SimulateDialog::wireWorkers() {
    m_runWorker = new RunWorker(this);
    connect(m_runWorker, &RunWorker::progress, this, &SimulateDialog::showProgress);
    connect(m_runWorker, &RunWorker::finished, this, &SimulateDialog::done);
    connect(m_run, &QPushButton::clicked, this, &SimulateDialog::start);
    connect(m_cancel, &QPushButton::clicked, this, &SimulateDialog::cancel);
    connect(m_saveChart, &QPushButton::clicked, this, [this] { askAndSave(true); });
    connect(m_saveReport, &QPushButton::clicked, this, [this] { askAndSave(false); });

    m_exactWorker = new ExactWorker(this);
    connect(m_exactWorker, &ExactWorker::finished, this, &SimulateDialog::exactDone);
    connect(m_exactWorker, &ExactWorker::progress, this, &SimulateDialog::exactProgress);
    // A burst of changes (typing a number) is one computation.
    m_exactSoon = new QTimer(this);
    m_exactSoon->setSingleShot(true);
    m_exactSoon->setInterval(150);
    connect(m_exactSoon, &QTimer::timeout, this, &SimulateDialog::computeExact);
}

int SimulateDialog::exactWorkers() {
    return ExactWorker::workers();
}

ExactLimits SimulateDialog::exactLimits() {
    // Entries visited measure Mode1 and Mode2 well (a tenth of a second for
    // the defaults' 8 million), but Sequential's states cost far more each:
    // the bounds on what one spin holds keep its refusal under a second
    // (Sequential from about 55 spins), where the defaults took 3 seconds.
    ExactLimits limits;
    limits.maxEntries = 1'000'000;
    limits.maxStates = 100'000;
    limits.maxWork = 40'000'000;
    return limits;
}

QString SimulateDialog::exactText() const {
    return m_exact->toPlainText();
}

bool SimulateDialog::running() const {
    return m_runWorker->running();
}

bool SimulateDialog::exactRunning() const {
    return m_exactWorker->running();
}

void SimulateDialog::dropExact() {
    m_exactWorker->drop();
    // No figure of other settings stays on show while the new ones are made.
    m_exact->setPlainText(QStringLiteral("Computing the exact figures for these settings…"));
}

void SimulateDialog::exactProgress(int pass, double spin, double total) {
    m_exact->setPlainText(QStringLiteral("Computing the exact figures for these settings…\n"
                                         "Pass %1 of up to %2: spin %L3 of %L4.")
                              .arg(pass)
                              .arg(vantel::sim::ExactProgress::kPasses)
                              .arg(spin, 0, 'f', 0)
                              .arg(total, 0, 'f', 0));
}

void SimulateDialog::computeExact() {
    dropExact();
    Config config;
    fillConfig(&config);
    m_exactWorker->compute(config, exactLimits(), ExactDeadlineMs);
}

QString SimulateDialog::exactRefusal(const QString& reason) {
    // The engine's reason as a sentence of its own, never in brackets inside
    // another sentence; prose, so it wraps to the pane.
    QString why = reason.trimmed();
    if (why.isEmpty())
        why = QStringLiteral("Computing them would take more than %1 s.")
                  .arg(ExactDeadlineMs / 1000.0, 0, 'f', 1);
    why[0] = why[0].toUpper();
    if (!why.endsWith(QLatin1Char('.'))) why += QLatin1Char('.');
    return QStringLiteral("The exact figures are out of reach for these settings.\n\n%1\n\n"
                          "The Monte Carlo tab answers instead: press Run.")
        .arg(why);
}

void SimulateDialog::exactDone(const Config& config, const ExactResult& result, bool timedOut) {
    if (!result.exact) {
        m_exact->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m_exact->setPlainText(exactRefusal(
            timedOut && result.cancelled ? QString() : QString::fromStdString(result.reason)));
        return;
    }
    m_exact->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_exact->setPlainText(QString::fromStdString(formatReport(config, result.report) +
                                                 formatExactFigures(config, result)));
}

void SimulateDialog::fillConfig(Config* c) const {
    c->settings = m_form->settings();
    c->sessions = static_cast<uint64_t>(m_sessions->value());
    c->spins = static_cast<uint64_t>(m_spins->value());
    c->bankroll =
        m_useBankroll->isChecked() ? std::optional<int64_t>(m_bankroll->value()) : std::nullopt;
    c->threads = std::max(1u, std::thread::hardware_concurrency());
    c->pathPoints = vantel::kSimChartPoints;
}

bool SimulateDialog::config(Config* c, QString* error) const {
    fillConfig(c);
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
    if (running()) return;
    Config config;
    QString error;
    if (!this->config(&config, &error)) {
        QMessageBox::warning(this, QStringLiteral("Seed not accepted"), error);
        return;
    }
    // The old report and chart go: what shows next belongs to this run.
    m_reportText.clear();
    m_report->clear();
    m_chart = {};
    m_chartView->set(nullptr);
    m_run->setEnabled(false);
    m_cancel->setEnabled(true);
    m_saveChart->setEnabled(false);
    m_saveReport->setEnabled(false);
    m_progress->setValue(0);
    m_rate->setText(QStringLiteral("Starting…"));
    setWindowTitle(QStringLiteral("Simulate these settings: running"));
    m_runWorker->start(config);
}

void SimulateDialog::cancel() {
    // The dialog is free at once (done(false)); the run ends by itself.
    m_runWorker->cancel();
}

void SimulateDialog::showProgress(double spins, double total, double seconds) {
    m_progress->setValue(static_cast<int>(1000 * std::min(1.0, spins / std::max(1.0, total))));
    if (seconds > 0) m_rate->setText(QStringLiteral("%1 spins/s").arg(spins / seconds, 0, 'f', 0));
}

void SimulateDialog::done(bool completed) {
    m_run->setEnabled(true);
    m_cancel->setEnabled(false);
    if (completed && !m_runWorker->failure().empty()) {
        completed = false;
        m_rate->setText(QStringLiteral("Failed"));
        setWindowTitle(QStringLiteral("Simulate these settings: failed"));
        QMessageBox::warning(this, QStringLiteral("Simulation failed"),
                             QStringLiteral("The simulation stopped: %1")
                                 .arg(QString::fromStdString(m_runWorker->failure())));
    } else if (completed) {
        m_progress->setValue(m_progress->maximum());
        const Config& config = m_runWorker->config();
        const Report report = summarize(config, m_runWorker->results());
        m_reportText = QString::fromStdString(formatReport(config, report));
        m_report->setPlainText(m_reportText);
        m_chart = vantel::simChartData(config, report);
        m_chartView->set(&m_chart);
        m_tabs->setCurrentWidget(m_report);
        m_saveChart->setEnabled(true);
        m_saveReport->setEnabled(true);
        setWindowTitle(QStringLiteral("Simulate these settings: done"));
    } else {
        m_rate->setText(QStringLiteral("Cancelled"));
        setWindowTitle(QStringLiteral("Simulate these settings: cancelled"));
    }
    m_runWorker->release();
    emit finished(completed);
}

bool SimulateDialog::saveReport(const QString& path, QString* error) const {
    const SaveOutcome outcome = saveWhole(path, m_reportText.toUtf8());
    if (error) *error = outcome.error;
    return outcome.ok;
}

SaveOutcome SimulateDialog::writeChart(const QString& path) const {
    // The whole file is made in memory first, then written in one go; where
    // it cannot be made, nothing is written.
    QString why;
    const QByteArray bytes = vantel::simChartFile(path, QSize(1200, 800), m_chart, &why);
    return bytes.isEmpty() ? notSaved(path, why) : saveWhole(path, bytes);
}

bool SimulateDialog::saveChart(const QString& path, QString* error) const {
    const SaveOutcome outcome = writeChart(path);
    if (error) *error = outcome.error;
    return outcome.ok;
}

void SimulateDialog::askAndSave(bool chart) {
    const QString title = chart ? QStringLiteral("Save chart") : QStringLiteral("Save report");
    const QString path = QFileDialog::getSaveFileName(
        this, title, chart ? QStringLiteral("backtest.png") : QStringLiteral("backtest.txt"),
        chart ? QStringLiteral("Charts (*.png *.svg)") : QStringLiteral("Text (*.txt)"));
    if (path.isEmpty()) return;
    if (chart)
        sayIfNotSaved(this, path, writeChart(path));
    else
        saveWholeOrSay(this, path, m_reportText.toUtf8());
}

void SimulateDialog::closeEvent(QCloseEvent* event) {
    // Closed during a run, the run goes on out of sight and its report waits
    // here for Ctrl+R; Cancel is what stops it.
    QDialog::closeEvent(event);
}

QSize SimulateDialog::arrange(bool tall) {
    m_tall = tall;
    for (const Row& r : m_rows) {
        if (r.caption) m_grid->removeWidget(r.caption);
        m_grid->removeWidget(r.field);
    }
    // Low, one column, each caption above its field.
    int next = 0;
    for (const Row& r : m_rows) {
        if (tall) {
            if (r.caption) m_grid->addWidget(r.caption, r.row, 2 * r.column);
            m_grid->addWidget(r.field, r.row, 2 * r.column + 1);
        } else {
            if (r.caption) m_grid->addWidget(r.caption, next++, 0);
            m_grid->addWidget(r.field, next++, 0);
        }
    }
    for (int column = 0; column < 4; ++column)
        m_grid->setColumnStretch(column, tall ? column % 2 : column == 0);
    const int chart = m_tabs->indexOf(m_chartView);
    if (tall && m_results->indexOf(m_chartView) < 0) {
        if (chart >= 0) m_tabs->removeTab(chart);
        m_results->addWidget(m_chartView, 1);
        m_chartView->show();
    } else if (!tall && chart < 0) {
        m_results->removeWidget(m_chartView);
        m_tabs->addTab(m_chartView, QStringLiteral("Chart"));
    }
    // Low, the saves sit under the settings, where the run's row has no room.
    if (tall) {
        m_left->removeWidget(m_saves);
        m_buttons->addWidget(m_saves);
    } else {
        m_buttons->removeWidget(m_saves);
        m_left->addWidget(m_saves);
    }
    m_saves->show();
    m_report->setMinimumHeight(tall ? 120 : 40);
    m_chartView->setMinimumSize(tall ? QSize(260, 170) : QSize(160, 40));
    QWidget* settings = m_settingsPane->widget();
    settings->layout()->activate();
    const QSize inside(settings->minimumSizeHint().width(), settings->sizeHint().height());
    if (tall) {
        // The settings whole, never a scroll bar of their own.
        m_settingsPane->setMinimumSize(0, 0);
        m_settingsPane->setFixedHeight(inside.height());
        m_settingsPane->setMaximumWidth(QWIDGETSIZE_MAX);
        m_settingsPane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        m_settingsPane->setMinimumHeight(0);
        m_settingsPane->setMaximumHeight(QWIDGETSIZE_MAX);
        m_settingsPane->setFixedWidth(inside.width() +
                                      style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
        m_settingsPane->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    m_body->setDirection(tall ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    QWidget* content = m_body->parentWidget();
    // Every layout inside measures again, from the innermost out.
    const QList<QLayout*> layouts = content->findChildren<QLayout*>();
    for (auto it = layouts.rbegin(); it != layouts.rend(); ++it)
        (*it)->invalidate();
    for (auto it = layouts.rbegin(); it != layouts.rend(); ++it)
        (*it)->activate();
    content->layout()->activate();
    return content->sizeHint();
}

void SimulateDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // Low where the tall arrangement would have to scroll and the low one
    // fits across.
    const QSize size = event->size();
    bool tall = size.height() >= m_wanted.height() - 4;
    if (!tall) {
        if (m_tall) arrange(false);
        tall = m_body->parentWidget()->minimumSizeHint().width() > size.width();
    }
    if (tall != m_tall) arrange(tall);
    showFocus();
}

void SimulateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    showFocus();
}

void SimulateDialog::showFocus() {
    // Low, the settings' pane scrolls: the field that has the keyboard is
    // brought into view, so that typing goes where the player sees it. Once
    // the layouts have placed everything.
    QTimer::singleShot(0, this, [this] {
        QWidget* focus = focusWidget();
        if (!focus) return;
        if (m_settingsPane->widget()->isAncestorOf(focus))
            m_settingsPane->ensureWidgetVisible(focus, 4, 4);
        if (auto* scroll = findChild<QScrollArea*>(QStringLiteral("SimulateScroll")))
            scroll->ensureWidgetVisible(focus, 4, 4);
    });
}
