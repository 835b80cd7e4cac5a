#include "window/board_view.h"

#include "art/artwork.h"
#include "art/fonts.h"
#include "art/ready_art.h"
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/flat_button.h"
#include "widgets/shape.h"
#include "window/board_geometry.h"

#include "tracker.h"

#include <QButtonGroup>
#include <QLabel>

using vantel::arialFont;

namespace {

// The order in which the overlays (and the tiles, Image2 to Image38) are created.
constexpr std::array<int, 37> kOverlayOrder = {3,  2,  1,  6,  5,  4,  9,  8,  7,  12, 11, 10, 15,
                                               14, 13, 18, 17, 16, 21, 20, 19, 24, 26, 22, 0,  27,
                                               23, 25, 30, 29, 28, 33, 32, 31, 36, 35, 34};
// The order in which the board cell buttons are created: later ones lie on top,
// so a click on a shared line goes to the later button.
constexpr std::array<int, 37> kButtonOrder = {1,  2,  3,  6,  5,  4,  12, 11, 10, 9,  8,  7,  24,
                                              23, 22, 21, 20, 19, 18, 17, 16, 13, 14, 15, 36, 35,
                                              34, 33, 32, 31, 30, 29, 28, 25, 26, 27, 0};

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kOlive(0x80, 0x80, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);

// A lit overlay paints its picture the first time it is shown: no number is
// lit before the fifth spin, and most sessions never light some of them.
class LitOverlay : public QLabel {
  public:
    LitOverlay(int number, qreal pixelRatio, QWidget* parent)
        : QLabel(parent), m_number(number), m_pixelRatio(pixelRatio) {}

  protected:
    void showEvent(QShowEvent* event) override {
        if (!m_painted) {
            m_painted = true;
            setPixmap(vantel::paintOverlay(m_number, m_pixelRatio));
        }
        QLabel::showEvent(event);
    }

  private:
    int m_number = 0;
    qreal m_pixelRatio = 1.0;
    bool m_painted = false;
};

TColourLabel* makeLabel(QWidget& parent, const char* name, QRect geometry, const QString& text) {
    auto* l = new TColourLabel(&parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setText(text);
    return l;
}

TColourLabel* makeHidden(QWidget& parent, const char* name, QRect geometry, const QString& text) {
    TColourLabel* l = makeLabel(parent, name, geometry, text);
    l->hide();
    return l;
}

bool isNumber(int n) {
    return n >= 0 && n <= vantel::kHighestNumber;
}

bool isCell(int cell) {
    return cell >= 1 && cell <= vantel::kHistoryCells;
}

} // namespace

// Controls are created bottom first, so each later one lies above the earlier ones.
BoardView::BoardView(QWidget& window, qreal pixelRatio) : m_pixelRatio(pixelRatio) {
    buildArtAndGauge(window);
    buildTiles(window);
    buildHistoryStrip(window);
    buildStakeBar(window);
    buildOverlays(window);
    buildIndicatorAndButtons(window);
    buildCellButtons(window);
    buildHiddenLabels(window);

    connect(m_cells, &QButtonGroup::idClicked, this, &BoardView::cellClicked);
    connect(Reset_Bets, &QAbstractButton::clicked, this, &BoardView::resetClicked);
    connect(ReCalculate, &QAbstractButton::clicked, this, &BoardView::reCalculateClicked);
}

void BoardView::buildArtAndGauge(QWidget& window) {
    Image1 = new QLabel(&window);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 520, 241);
    Image1->setPixmap(vantel::backgroundArt(m_pixelRatio));

    CGauge2 = new TCGauge(&window);
    CGauge2->setObjectName(QStringLiteral("CGauge2"));
    CGauge2->setGeometry(400, 232, 65, 17);
    CGauge2->setShowText(false);
    CGauge2->setForeColor(kOlive);
    CGauge2->setBackColor(kBlack);

    CurrentNum =
        makeHidden(window, "CurrentNum", QRect(8, 368, 57, 14), QStringLiteral("CurrentNum"));
}

void BoardView::buildTiles(QWidget& window) {
    for (size_t i = 0; i < kOverlayOrder.size(); ++i) {
        const int n = kOverlayOrder[i];
        auto* tile = new QLabel(&window);
        tile->setObjectName(QStringLiteral("Image%1").arg(i + 2));
        tile->setGeometry(vantel::cellRect(n));
        tile->setPixmap(vantel::tileArt(n, m_pixelRatio));
        Tiles[static_cast<size_t>(n)] = tile;
    }
}

void BoardView::buildHistoryStrip(QWidget& window) {
    for (int i = 0; i < vantel::kHistoryCells; ++i) {
        auto* cell = new TColourLabel(&window);
        cell->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        cell->setGeometry(154 + 24 * i, 23, 17, 12);
        cell->setFont(arialFont(9, false));
        cell->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        HistoryLabel[static_cast<size_t>(i)] = cell;
    }
}

void BoardView::buildStakeBar(QWidget& window) {
    ProgressBar = new TCGauge(&window);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(135, 194, 224, 7);
    ProgressBar->setShowText(false);
    ProgressBar->setBorderStyle(TCGauge::bsNone);
    ProgressBar->setForeColor(QColor(0x99, 0xBF, 0x13));
    ProgressBar->setBackColor(kBlack);
    ProgressBar->setMaxValue(18);

    Bet = makeLabel(window, "Bet", QRect(87, 190, 25, 12), QStringLiteral("1"));
    Bet->setTransparent(true);
    Bet->setFont(arialFont(9, true));
    Bet->setTextColour(kSilver);
    Bet->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void BoardView::buildOverlays(QWidget& window) {
    for (int n : kOverlayOrder) {
        auto* overlay = new LitOverlay(n, m_pixelRatio, &window);
        overlay->setObjectName(QStringLiteral("Act_Number%1").arg(n));
        overlay->setGeometry(vantel::cellRect(n));
        overlay->setScaledContents(true);
        overlay->setCursor(Qt::ArrowCursor);
        Act_Number[static_cast<size_t>(n)] = overlay;
    }
}

void BoardView::buildIndicatorAndButtons(QWidget& window) {
    Shape1 = new TShape(&window);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(280, 232, 17, 17);

    Label11 = makeLabel(window, "Label11", QRect(282, 233, 15, 15), QStringLiteral("0"));
    Label11->setTransparent(true);
    Label11->setFont(arialFont(11, true));
    Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Reset_Bets = new TFlatSpeedButton(&window);
    Reset_Bets->setObjectName(QStringLiteral("Reset_Bets"));
    Reset_Bets->setGeometry(378, 187, 55, 17);
    Reset_Bets->setText(QStringLiteral("Reset"));
    Reset_Bets->setFont(arialFont(11, true));

    ReCalculate = new TFlatSpeedButton(&window);
    ReCalculate->setObjectName(QStringLiteral("ReCalculate"));
    ReCalculate->setGeometry(400, 232, 65, 17);
    ReCalculate->setText(QStringLiteral("ReCalculate"));
    ReCalculate->setFont(arialFont(9, true));
}

void BoardView::buildCellButtons(QWidget& window) {
    m_cells = new QButtonGroup(&window);
    m_cells->setExclusive(false);
    for (int n : kButtonOrder) {
        auto* button = new TFlatSpeedButton(&window);
        button->setObjectName(QStringLiteral("FlatButton%1").arg(n));
        button->setGeometry(vantel::cellRect(n));
        FlatButton[static_cast<size_t>(n)] = button;
        m_cells->addButton(button, n);
    }
}

void BoardView::buildHiddenLabels(QWidget& window) {
    Label17 = makeHidden(window, "Label17", QRect(24, 264, 6, 14), QStringLiteral("0"));
    Balance = makeHidden(window, "Balance", QRect(8, 40, 39, 14), QStringLiteral("Balance"));
    Balance2 = makeHidden(window, "Balance2", QRect(64, 40, 39, 14), QStringLiteral("Balance"));
    Label25 = makeHidden(window, "Label25", QRect(4, 45, 46, 14), QStringLiteral("Numbers:"));
    Sequential_Numbers_Count =
        makeHidden(window, "Sequential_Numbers_Count", QRect(52, 45, 6, 14), QStringLiteral("0"));
    Sequential_Numbers_Count->setAutoSize(true);
}

void BoardView::addControls(PlayerAids::Controls& c) const {
    c.reset = Reset_Bets;
    c.recalculate = ReCalculate;
    c.bet = Bet;
    c.drawProgress = ProgressBar;
    c.recalculation = CGauge2;
    c.indicator = Shape1;
    c.cells = FlatButton;
    c.history = HistoryLabel;
    // The pictures, the fixed "0" of the indicator and the labels only the core reads.
    c.decorative.insert(c.decorative.end(),
                        {Image1, Label11, CurrentNum, Balance, Balance2, Label17});
    c.decorative.insert(c.decorative.end(), Tiles.begin(), Tiles.end());
    c.decorative.insert(c.decorative.end(), Act_Number.begin(), Act_Number.end());
}

QWidget* BoardView::resetButton() const {
    return Reset_Bets;
}

QWidget* BoardView::recalculateButton() const {
    return ReCalculate;
}

void BoardView::showLit(int n, bool lit) {
    if (!isNumber(n)) return;
    QLabel* overlay = Act_Number[static_cast<size_t>(n)];
    if (overlay->isHidden() == !lit) return;
    overlay->setVisible(lit);
    if (m_playerAids) m_playerAids->describeCell(n, lit);
}

void BoardView::showStrip(const vantel::HistoryStrip& strip) {
    for (int cell = 1; cell <= vantel::kHistoryCells; ++cell) {
        TColourLabel* label = HistoryLabel[static_cast<size_t>(cell - 1)];
        label->setColour(QColor(QRgb(strip.colour(cell))));
        label->setText(QString::fromStdString(strip.text(cell)));
    }
    if (m_playerAids) m_playerAids->stripShown();
}

void BoardView::showBet(const std::string& text) {
    Bet->setText(QString::fromStdString(text));
    if (m_playerAids) m_playerAids->stakeShown();
}

void BoardView::showProgress(int progress) {
    ProgressBar->setProgress(progress);
}

void BoardView::showLock(bool locked) {
    for (TFlatSpeedButton* b : FlatButton)
        b->setHidden(locked);
}

void BoardView::showValues(const vantel::TrackerState& st, int currentNum, int safeLevel) {
    Balance->setText(QString::number(st.Balance_Value));
    Balance2->setText(QString::number(st.Balance2_Value));
    Label17->setText(QString::number(st.Loss_Streak));
    CurrentNum->setText(QString::number(currentNum));
    Sequential_Numbers_Count->setText(QString::number(st.Sequential_Count));
    const uint32_t indicator = vantel::indicatorColour(st.Loss_Streak, safeLevel);
    Shape1->setBrushColor(QColor(QRgb(indicator)));
    if (m_playerAids) m_playerAids->indicatorShown(indicator == vantel::kColourGreen);
}

void BoardView::showSequentialCount(bool shown) {
    Label25->setVisible(shown);
    Sequential_Numbers_Count->setVisible(shown);
}

bool BoardView::stepRecalculation() {
    CGauge2->setProgress(CGauge2->Progress() + 2);
    if (CGauge2->Progress() != 100) return false;
    CGauge2->setProgress(0);
    return true;
}

bool BoardView::litShown(int n) const {
    return isNumber(n) && !Act_Number[static_cast<size_t>(n)]->isHidden();
}

std::string BoardView::historyText(int cell) const {
    if (!isCell(cell)) return {};
    return HistoryLabel[static_cast<size_t>(cell - 1)]->text().toStdString();
}

uint32_t BoardView::historyColour(int cell) const {
    if (!isCell(cell)) return vantel::kColourBlack;
    return HistoryLabel[static_cast<size_t>(cell - 1)]->colour().rgb() & 0xFFFFFFu;
}
