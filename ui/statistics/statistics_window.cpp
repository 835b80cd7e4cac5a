#include "statistics/statistics_window.h"

#include "board.h"
#include "spin_history.h"
#include "statistics/figures_text.h"
#include "statistics/wheel_panel.h"
#include "tracker.h"
#include "widgets/accessibility.h"
#include "widgets/save_file.h"
#include "widgets/side_placement.h"

#include <QAbstractTableModel>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

using vantel::sim::SessionStats;

namespace {

QString percent(double share) {
    return QString::number(100 * share, 'f', 1) + QStringLiteral(" %");
}

QString money(int64_t v) {
    return QString::number(v);
}

} // namespace

// The 37 numbers: count, spins since it last came, hottest or coldest.
class NumbersModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;
    // Tells the view only the cells whose text changed: after a spin that is
    // the "spins since" column, one count and now and then a mark, and the
    // view repaints just those.
    void set(const SessionStats& stats) {
        m_stats = &stats;
        std::array<Row, vantel::kBoardNumbers> rows;
        for (int n = 0; n < vantel::kBoardNumbers; ++n)
            rows[static_cast<size_t>(n)] = rowOf(n);
        for (int column = 1; column < 4; ++column) {
            int first = -1;
            int last = -1;
            for (int n = 0; n < vantel::kBoardNumbers; ++n) {
                if (!m_shown ||
                    !rows[static_cast<size_t>(n)].sameIn(m_rows[static_cast<size_t>(n)], column)) {
                    if (first < 0) first = n;
                    last = n;
                }
            }
            if (first >= 0)
                emit dataChanged(index(first, column), index(last, column), {Qt::DisplayRole});
        }
        m_rows = rows;
        m_shown = true;
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : vantel::kBoardNumbers;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 4;
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, o, role);
        static const char* names[] = {"Number", "Count", "Spins since", "Mark"};
        return QString::fromLatin1(names[section]);
    }
    QVariant data(const QModelIndex& i, int role) const override {
        if (!m_stats || !i.isValid()) return {};
        const int n = i.row();
        const auto& s = *m_stats;
        if (role == Qt::TextAlignmentRole)
            return i.column() == 3 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (role == Qt::ForegroundRole && i.column() == 0) {
            const vantel::NumberColour colour = vantel::colourOf(n);
            return QColor(colour == vantel::NumberColour::Red     ? QRgb(0xC00000)
                          : colour == vantel::NumberColour::Green ? QRgb(0x008000)
                                                                  : QRgb(0x000000));
        }
        if (role != Qt::DisplayRole) return {};
        switch (i.column()) {
        case 0:
            return n;
        case 1:
            return QVariant::fromValue<qulonglong>(s.counts[static_cast<size_t>(n)]);
        case 2: {
            const auto& since = s.since[static_cast<size_t>(n)];
            return since ? QString::number(*since) : QStringLiteral("not yet");
        }
        default:
            switch (rowOf(n).mark) {
            case Mark::Hottest:
                return QStringLiteral("hottest");
            case Mark::Coldest:
                return QStringLiteral("coldest");
            case Mark::None:
                return {};
            }
            return {};
        }
    }

  private:
    enum class Mark { None, Hottest, Coldest };
    struct Row {
        uint64_t count = 0;
        std::optional<uint64_t> since;
        Mark mark = Mark::None;
        bool sameIn(const Row& o, int column) const {
            return column == 1 ? count == o.count : column == 2 ? since == o.since : mark == o.mark;
        }
    };
    Row rowOf(int n) const {
        const auto& s = *m_stats;
        const bool hot = std::find(s.hottest.begin(), s.hottest.end(), n) != s.hottest.end();
        const bool cold = std::find(s.coldest.begin(), s.coldest.end(), n) != s.coldest.end();
        // Every number equally often: none is marked.
        const Mark mark = hot == cold ? Mark::None : hot ? Mark::Hottest : Mark::Coldest;
        return {s.counts[static_cast<size_t>(n)], s.since[static_cast<size_t>(n)], mark};
    }

    const SessionStats* m_stats = nullptr;
    std::array<Row, vantel::kBoardNumbers> m_rows{};
    bool m_shown = false;
};

// The even chances, dozens and columns: count against the count expected.
class GroupsModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;
    void set(const SessionStats& stats) {
        const bool sized = m_stats && m_stats->groups.size() == stats.groups.size();
        if (!sized) beginResetModel();
        m_stats = &stats;
        if (sized) // the names stay; counts and expected counts move
            emit dataChanged(index(0, 1), index(rowCount() - 1, columnCount() - 1),
                             {Qt::DisplayRole});
        else
            endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !m_stats ? 0 : static_cast<int>(m_stats->groups.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, o, role);
        static const char* names[] = {"Bet", "Count", "Expected"};
        return QString::fromLatin1(names[section]);
    }
    QVariant data(const QModelIndex& i, int role) const override {
        if (!m_stats || !i.isValid()) return {};
        const auto& g = m_stats->groups[static_cast<size_t>(i.row())];
        if (role == Qt::TextAlignmentRole && i.column() > 0)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole) return {};
        switch (i.column()) {
        case 0:
            return QString::fromLatin1(g.name);
        case 1:
            return QVariant::fromValue<qulonglong>(g.count);
        default:
            return QString::number(g.expected, 'f', 1);
        }
    }

  private:
    const SessionStats* m_stats = nullptr;
};

// The net result after each spin, as a line over a zero line.
class NetChart : public QWidget {
  public:
    explicit NetChart(QWidget* parent) : QWidget(parent) {
        setMinimumSize(180, 90);
        setAccessibleName(QStringLiteral("Net result over the spins"));
    }
    void set(const std::vector<int64_t>& nets) {
        m_nets = &nets;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), palette().base());
        const QFontMetrics fm(font());
        const QRectF plot = QRectF(rect()).adjusted(fm.horizontalAdvance("-000000") + 6,
                                                    fm.height() + 4, -8, -fm.height() - 6);
        p.setPen(palette().text().color());
        p.drawText(QRectF(0, 0, width(), fm.height() + 2), Qt::AlignCenter,
                   QStringLiteral("Net over the spins"));
        p.drawText(QRectF(plot.left(), plot.bottom() + 2, plot.width(), fm.height() + 4),
                   Qt::AlignCenter, QStringLiteral("spins entered"));
        if (!m_nets || m_nets->empty()) {
            p.drawText(plot, Qt::AlignCenter, QStringLiteral("no spins yet"));
            return;
        }
        const auto [lowIt, highIt] = std::minmax_element(m_nets->begin(), m_nets->end());
        const double low = std::min<double>(0, static_cast<double>(*lowIt));
        double high = std::max<double>(0, static_cast<double>(*highIt));
        if (high == low) high = low + 1;
        const auto y = [&](double v) {
            return plot.bottom() - (v - low) / (high - low) * plot.height();
        };
        const size_t n = m_nets->size();
        const auto x = [&](size_t i) {
            return n == 1 ? plot.center().x() : plot.left() + plot.width() * i / double(n - 1);
        };
        p.drawText(QRectF(0, y(high) - fm.height() / 2.0, plot.left() - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(high, 'f', 0));
        p.drawText(QRectF(0, y(low) - fm.height() / 2.0, plot.left() - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(low, 'f', 0));
        p.setPen(QPen(palette().mid().color(), 1, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), y(0)), QPointF(plot.right(), y(0)));
        // One pixel wide: the painter draws it without the general stroker.
        p.setPen(QPen(palette().highlight().color(), 1));
        // At most a point a pixel: a long session draws as fast as a short one.
        const size_t step = std::max<size_t>(1, n / std::max(1, int(plot.width())));
        QPolygonF line;
        line.reserve(static_cast<int>(n / step + 2));
        for (size_t i = 0; i < n; i += step)
            line << QPointF(x(i), y(static_cast<double>((*m_nets)[i])));
        line << QPointF(x(n - 1), y(static_cast<double>(m_nets->back())));
        p.drawPolyline(line);
    }

  private:
    const std::vector<int64_t>* m_nets = nullptr;
};

// A page of the window: its figures scroll up and down as one, never
// sideways, and nothing inside it scrolls on its own, so the mouse wheel
// always moves the page. It tells its content the height it shows.
class StatisticsPage : public QScrollArea {
  public:
    StatisticsPage(QWidget* content, const QString& name, QWidget* parent) : QScrollArea(parent) {
        setObjectName(name);
        setWidget(content);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        // On a short screen a page shows a few lines and scrolls.
        setMinimumSize(0, 40);
    }
    std::function<void(int)> onRoom;

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        if (onRoom) onRoom(viewport()->height());
    }
};

namespace {

// A table that shows all its rows and columns: the page scrolls, not the table.
void showWhole(QTableView* view) {
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->horizontalHeader()->setStretchLastSection(true);
    int width = 2 * view->frameWidth();
    for (int c = 0; c < view->model()->columnCount(); ++c)
        width += view->columnWidth(c);
    view->setMinimumWidth(width);
    view->setFixedHeight(view->horizontalHeader()->sizeHint().height() +
                         view->model()->rowCount() * view->verticalHeader()->defaultSectionSize() +
                         2 * view->frameWidth());
}

// The content of a page: its widgets one under another, at the top.
QWidget* column(std::initializer_list<std::pair<QWidget*, int>> widgets, bool stretchAtEnd) {
    auto* content = new QWidget;
    auto* rows = new QVBoxLayout(content);
    rows->setContentsMargins(2, 4, 2, 4);
    for (const auto& [widget, stretch] : widgets)
        rows->addWidget(widget, stretch);
    if (stretchAtEnd) rows->addStretch(1);
    return content;
}

} // namespace

StatisticsWindow::StatisticsWindow(const std::vector<vantel::EnteredSpin>& spins,
                                   QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), m_spins(spins), m_main(mainWindow) {
    setObjectName(QStringLiteral("StatisticsWindow"));
    setAttribute(Qt::WA_QuitOnClose, false);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("StatisticsPages"));
    m_pages->setAccessibleName(QStringLiteral("Statistics pages"));
    m_pages->setDocumentMode(true);
    m_numbers = new NumbersModel(this);
    m_groups = new GroupsModel(this);
    const auto table = [this](QAbstractTableModel* model, const QString& name) {
        auto* view = new QTableView(this);
        view->setObjectName(name);
        view->setModel(model);
        view->verticalHeader()->hide();
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // Sized once to their contents: measuring every row again after
        // each spin would cost more than the rest of the update.
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
        view->setTabKeyNavigation(false);
        view->setItemDelegate(new FiguresDelegate(view));
        return view;
    };
    m_numbersView = table(m_numbers, QStringLiteral("NumbersTable"));
    m_numbersView->setAccessibleName(QStringLiteral("The wheel: each number"));
    m_groupsView = table(m_groups, QStringLiteral("GroupsTable"));
    m_groupsView->setAccessibleName(QStringLiteral("Even chances, dozens and columns"));
    const auto text = [this](const QString& name, int lines, const QString& spoken) {
        auto* figures = new FiguresText(lines, this);
        figures->setObjectName(name);
        figures->setAccessibleName(spoken);
        return figures;
    };
    m_wheel = text(QStringLiteral("WheelText"), 4, QStringLiteral("The wheel's figures"));
    m_suggestions = text(QStringLiteral("SuggestionsText"), 3, QStringLiteral("Suggestions"));
    m_money = text(QStringLiteral("MoneyText"), 2, QStringLiteral("Money"));
    m_chart = new NetChart(this);
    m_wheelPanel = new WheelPanel(this);
    m_save = new QPushButton(QStringLiteral("Save spins…"), this);
    m_save->setObjectName(QStringLiteral("SaveSpins"));
    connect(m_save, &QPushButton::clicked, this, &StatisticsWindow::askAndSaveSpins);
    m_recording = new QLabel(this);
    m_recording->setObjectName(QStringLiteral("RecordingLine"));
    m_recording->setWordWrap(true);
    m_recording->hide();

    vantel::accessibility::markFrame(this);
    refresh();
    m_numbersView->resizeColumnsToContents();
    m_groupsView->resizeColumnsToContents();
    // The marks come with the spins: room for the wider one from the start.
    const QFontMetrics fm = m_numbersView->fontMetrics();
    m_numbersView->setColumnWidth(3,
                                  std::max({m_numbersView->columnWidth(3),
                                            fm.horizontalAdvance(QStringLiteral("hottest")) + 12,
                                            fm.horizontalAdvance(QStringLiteral("coldest")) + 12}));
    showWhole(m_numbersView);
    showWhole(m_groupsView);

    // Four pages, each whole at the window's size or scrolling up and down
    // as one: the numbers, the wheel, the even chances, dozens and columns,
    // and what the suggestions won and cost.
    addPage(QStringLiteral("&Numbers"), column({{m_wheel, 0}, {m_numbersView, 0}}, true))
        ->setObjectName(QStringLiteral("NumbersPage"));
    auto* wheelPage = addPage(QStringLiteral("&Wheel"), column({{m_wheelPanel, 0}}, true));
    wheelPage->setObjectName(QStringLiteral("WheelPage"));
    const int pageMargins = wheelPage->widget()->layout()->contentsMargins().top() +
                            wheelPage->widget()->layout()->contentsMargins().bottom();
    static_cast<StatisticsPage*>(wheelPage)->onRoom = [this, pageMargins](int height) {
        m_wheelPanel->setRoomHeight(height - pageMargins);
    };
    addPage(QStringLiteral("&Bets"), column({{m_groupsView, 0}}, true))
        ->setObjectName(QStringLiteral("BetsPage"));
    m_chart->setMinimumSize(180, 140);
    addPage(QStringLiteral("&Money"),
            column({{m_suggestions, 0}, {m_money, 0}, {m_chart, 1}}, false))
        ->setObjectName(QStringLiteral("MoneyPage"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(m_pages, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_recording, 1);
    bottom->addWidget(m_save, 0, Qt::AlignRight);
    outer->addLayout(bottom);
    m_pages->tabBar()->setAccessibleName(QStringLiteral("Statistics pages"));
    setTabOrder(m_pages->tabBar(), m_wheel);
    setTabOrder(m_wheel, m_numbersView);
    setTabOrder(m_numbersView, m_wheelPanel->figures());
    setTabOrder(m_wheelPanel->figures(), m_groupsView);
    setTabOrder(m_groupsView, m_suggestions);
    setTabOrder(m_suggestions, m_money);
    setTabOrder(m_money, m_save);

    // What the window takes round a page's content: its margins, the page's
    // frame and, for the wanted size, a scroll bar for a page taller than
    // the window. The narrowest is where the longest pages scroll and the
    // others fit.
    const QMargins margins = outer->contentsMargins();
    const int frame = 2 * m_pages->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize chrome(margins.left() + margins.right() + frame,
                       margins.top() + margins.bottom() + m_pages->tabBar()->sizeHint().height() +
                           outer->spacing() + m_save->sizeHint().height() + frame);
    QSize content;
    int narrowest = 0;
    for (int i = 0; i < m_pages->count(); ++i) {
        const QWidget* page = static_cast<QScrollArea*>(m_pages->widget(i))->widget();
        content = content.expandedTo(page->sizeHint());
        narrowest = std::max(narrowest, page->minimumSizeHint().width());
    }
    m_smallest = QSize(narrowest + chrome.width(), std::max(110, minimumSizeHint().height()));
    // Every page whole where the screen has room; the numbers' page, 37 rows
    // long, scrolls on most screens.
    m_wanted = QSize(content.width() + bar, std::min(content.height(), 700)) + chrome;
    const QRect avail = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(m_wanted.boundedTo(avail.size() - QSize(40, 60)));
    // Escape closes it, as it does a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("CloseKey"));
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // Ctrl+I shows it without taking the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
}

QScrollArea* StatisticsWindow::addPage(const QString& title, QWidget* content) {
    QString name = title;
    name.remove(QLatin1Char('&')).remove(QLatin1Char(' '));
    auto* page = new StatisticsPage(content, name + QStringLiteral("Page"), m_pages);
    // A Tab stop of its own, so the keys scroll a page of plain figures: named for screen readers.
    page->setAccessibleName(QString(title).remove(QLatin1Char('&')) + QStringLiteral(" page"));
    m_pages->addTab(page, title);
    return page;
}

void StatisticsWindow::addScrollingPage(const QString& title, QWidget* page) {
    QString name = title;
    name.remove(QLatin1Char('&')).remove(QLatin1Char(' '));
    page->setObjectName(name + QStringLiteral("Page"));
    m_pages->addTab(page, title);
}

void StatisticsWindow::setRecordingLine(const QString& text) {
    m_recording->setText(text);
    m_recording->setVisible(!text.isEmpty());
}

StatisticsWindow::~StatisticsWindow() {
    // The views go before the figures their models read.
    delete m_numbersView;
    delete m_groupsView;
    delete m_chart;
}

void StatisticsWindow::refresh() {
    m_stats = vantel::sim::sessionStats(m_spins);
    const SessionStats& s = m_stats;
    m_numbers->set(s);
    m_groups->set(s);

    QString wheel = QStringLiteral("Spins entered: %1").arg(s.spins);
    if (s.spins > 0) {
        const auto list = [](const std::vector<int>& numbers) {
            QStringList out;
            for (int n : numbers)
                out << QString::number(n);
            return out.join(QStringLiteral(", "));
        };
        if (s.hottest.size() < vantel::kBoardNumbers) {
            const auto times = [&](const std::vector<int>& numbers) {
                const uint64_t c = s.counts[static_cast<size_t>(numbers.front())];
                return c == 1 ? QStringLiteral("once") : QStringLiteral("%1 times").arg(c);
            };
            wheel += QStringLiteral("\nHottest: %1 (%2); coldest: %3 (%4)")
                         .arg(list(s.hottest), times(s.hottest), list(s.coldest), times(s.coldest));
        }
    }
    if (s.fairness) {
        wheel += QStringLiteral("\nChi-square %1 with %2 degrees of freedom, p = %3: %4")
                     .arg(s.fairness->chiSquare, 0, 'f', 2)
                     .arg(s.fairness->degreesOfFreedom)
                     .arg(s.fairness->pValue, 0, 'f', 4)
                     .arg(QString::fromLatin1(s.fairness->reading));
    } else {
        wheel += QStringLiteral("\nThe fairness test needs %1 spins (one for each pocket); %2 "
                                "more to go.")
                     .arg(vantel::sim::kSpinsForFairnessTest)
                     .arg(vantel::sim::kSpinsForFairnessTest - s.spins);
    }
    m_wheel->setText(wheel);

    if (s.judgedSpins == 0) {
        m_suggestions->setText(QStringLiteral("Suggestions: no spin judged against lit numbers "
                                              "yet."));
    } else {
        m_suggestions->setText(
            QStringLiteral("Suggestions: %1 judged, %2 hit: %3 (95 % interval %4 to %5), "
                           "against the %6 a random bet on as many numbers has.")
                .arg(s.judgedSpins == 1 ? QStringLiteral("1 spin")
                                        : QStringLiteral("%1 spins").arg(s.judgedSpins))
                .arg(s.hits)
                .arg(percent(s.hitRate.value), percent(s.hitRate.low), percent(s.hitRate.high),
                     percent(s.randomHitRate)));
    }
    m_money->setText(
        QStringLiteral("Money, placing Bet on every lit number: staked %1, "
                       "returned %2, net %3; largest single outlay %4.")
            .arg(money(s.staked), money(s.returned), money(s.net), money(s.largestOutlay)));
    m_chart->set(s.netAfterSpin);
    m_wheelPanel->follow(m_spins);
    m_save->setEnabled(s.spins > 0);
    setWindowTitle(s.spins == 1 ? QStringLiteral("Statistics: 1 spin")
                                : QStringLiteral("Statistics: %1 spins").arg(s.spins));
}

void StatisticsWindow::showBeside(vantel::SideWindows* sides) {
    if (!isVisible()) {
        // The keyboard stays where it was: on the main window, if it had it.
        const bool mainActive = m_main && m_main->isActiveWindow();
        if (sides) {
            sides->show(this, m_wanted, m_smallest);
        } else {
            if (m_main) vantel::placeBeside(this, m_main, m_wanted, m_smallest);
            show();
            // The first show settles the frame; place it again by the real one.
            if (m_main) vantel::placeBeside(this, m_main, m_wanted, m_smallest);
        }
        // (A platform may activate every window it shows, a moment later.)
        if (mainActive) m_main->activateWindow();
    }
    raise();
}

bool StatisticsWindow::saveSpins(const QString& path, QString* error) const {
    const SaveOutcome outcome = saveWhole(path, spinsFile());
    if (error) *error = outcome.error;
    return outcome.ok;
}

QByteArray StatisticsWindow::spinsFile() const {
    return QByteArray::fromStdString(vantel::sim::spinsText(m_spins));
}

void StatisticsWindow::askAndSaveSpins() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save spins"), QStringLiteral("spins.txt"),
        QStringLiteral("Spins (*.txt);;All files (*)"));
    if (path.isEmpty()) return;
    saveWholeOrSay(this, path, spinsFile());
}
