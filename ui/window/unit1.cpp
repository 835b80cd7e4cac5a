#include "window/unit1.h"

#include "art/artwork.h"
#include "art/fonts.h"
#include "art/ready_art.h"
#include "widgets/accessibility.h"
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/drop_down.h"
#include "widgets/flat_button.h"
#include "widgets/focus_cue.h"
#include "widgets/program_timer.h"
#include "widgets/setting_choices.h"
#include "widgets/shape.h"
#include "window/board_geometry.h"
#include "window/number_entry.h"
#include "window/player_aids.h"
#include "window/session_tools.h"
#include "window/spin_undo.h"
#include "window/tracker_signals.h"
#include "window/window_placement.h"

#include "settings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>
#include <QWindow>

#include <array>
#include <exception>
#include <optional>

TForm1* Form1 = nullptr;

using vantel::TimerId;
namespace setting = vantel::setting;

namespace {

// A new line edit lays out its empty text once in the application's font
// before it takes its own. With the desktop's font that loads a face the
// window never shows, a tenth of the start-up's font work; so while the
// controls are built the application's font is the window's, and the
// desktop's is put back before anything is shown. Having been set, the
// application's font no longer follows the desktop's by itself: the window
// passes on each change of the desktop's theme (changeEvent).
class ApplicationFontWhileBuilding {
  public:
    explicit ApplicationFontWhileBuilding(const QFont& font) : m_saved(QApplication::font()) {
        QApplication::setFont(font);
    }
    ~ApplicationFontWhileBuilding() { QApplication::setFont(m_saved); }
    ApplicationFontWhileBuilding(const ApplicationFontWhileBuilding&) = delete;
    ApplicationFontWhileBuilding& operator=(const ApplicationFontWhileBuilding&) = delete;

  private:
    const QFont m_saved;
};

// The order in which the overlays (and the tiles, Image2 to Image38) are created.
constexpr std::array<int, 37> kOverlayOrder = {3,  2,  1,  6,  5,  4,  9,  8,  7,  12, 11, 10, 15,
                                               14, 13, 18, 17, 16, 21, 20, 19, 24, 26, 22, 0,  27,
                                               23, 25, 30, 29, 28, 33, 32, 31, 36, 35, 34};
// The order in which the board cell buttons are created: later ones lie on top,
// so a click on a shared line goes to the later button.
constexpr std::array<int, 37> kButtonOrder = {1,  2,  3,  6,  5,  4,  12, 11, 10, 9,  8,  7,  24,
                                              23, 22, 21, 20, 19, 18, 17, 16, 13, 14, 15, 36, 35,
                                              34, 33, 32, 31, 30, 29, 28, 25, 26, 27, 0};

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kOlive(0x80, 0x80, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kGrey(0x80, 0x80, 0x80);

using vantel::arialFont;

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

QColor rgb(uint32_t v) {
    return QColor(QRgb(v));
}

uint32_t rgbOf(const QColor& c) {
    return c.rgb() & 0xFFFFFFu;
}

TForm1::ErrorSink& errorSink() {
    static TForm1::ErrorSink sink;
    return sink;
}

// Settings controls: black, with their text in the given colour.
void styleArrows(TCSpinEdit* edit);

void styleSetting(QWidget* w, const QColor& text, int fontPixels) {
    QPalette pal = w->palette();
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
        pal.setColor(role, kBlack);
    // A locked setting shows its text in grey.
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
        pal.setColor(QPalette::Active, role, text);
        pal.setColor(QPalette::Inactive, role, text);
        pal.setColor(QPalette::Disabled, role, kGrey);
    }
    pal.setColor(QPalette::Highlight, QColor(0x40, 0x40, 0x40));
    pal.setColor(QPalette::HighlightedText, text);
    w->setPalette(pal);
    w->setFont(arialFont(fontPixels, true));
    if (auto* edit = qobject_cast<TCSpinEdit*>(w)) styleArrows(edit);
}

// The arrow pair keeps the grey face of a button whatever the edit's colours.
void styleArrows(TCSpinEdit* edit) {
    QPalette pal = edit->Button()->palette();
    const QColor face(0xD4, 0xD0, 0xC8);
    pal.setColor(QPalette::Button, face);
    pal.setColor(QPalette::Window, face);
    pal.setColor(QPalette::Light, QColor(0xFF, 0xFF, 0xFF));
    pal.setColor(QPalette::Midlight, face);
    pal.setColor(QPalette::Mid, QColor(0x80, 0x80, 0x80));
    pal.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    pal.setColor(QPalette::Shadow, QColor(0x40, 0x40, 0x40));
    edit->Button()->setPalette(pal);
}

// Windowed settings paint their own black background, as the window does; the
// toolkit draws handles and check boxes from the button and base colours, which
// need a grey of their own to show on black.
void giveFrameColour(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, kBlack);
    pal.setColor(QPalette::Button, QColor(0xA0, 0xA0, 0xA0));
    pal.setColor(QPalette::Base, QColor(0x30, 0x30, 0x30));
    pal.setColor(QPalette::Highlight, QColor(0x81, 0xA8, 0x2D));
    w->setPalette(pal);
    w->setBackgroundRole(QPalette::Window);
    w->setAutoFillBackground(true);
}

} // namespace

namespace {

TColourLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text) {
    auto* l = new TColourLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setText(text);
    return l;
}

// A caption: Arial 9, as wide as its text.
TColourLabel* makeCaption(QWidget* parent, const char* name, int x, int y, const QString& text) {
    TColourLabel* l = makeLabel(parent, name, QRect(x, y, 0, 12), text);
    l->setFont(arialFont(9, false));
    l->setAutoSize(true);
    return l;
}

TColourLabel* makeHidden(QWidget* parent, const char* name, QRect geometry, const QString& text) {
    TColourLabel* l = makeLabel(parent, name, geometry, text);
    l->hide();
    return l;
}

// The settings bar: where each setting of the field table stands, in the
// table's order: its control's object name and geometry, and its caption's
// object name and place (the window's layout). The texts, choices and ranges
// are the table's (settings.h).
struct SettingPlace {
    const char* control;
    QRect geometry;
    const char* caption; // none: a check box says its name
    QPoint captionAt;
    bool colon; // the caption ends in a colon
};

const std::array<SettingPlace, vantel::kSettingCount> kSettingPlaces{{
    {"Game_Mode", QRect(8, 232, 72, 19), "Label12", QPoint(9, 220), false},
    {"Betting_System", QRect(89, 232, 80, 19), "Label14", QPoint(89, 220), false},
    {"Initial_Bet", QRect(8, 186, 41, 19), "Label18", QPoint(9, 174), true},
    {"SafeLevel", QRect(176, 234, 102, 17), "Label15", QPoint(180, 220), false},
    {"Fixed_Matrix", QRect(312, 232, 81, 17), nullptr, QPoint(), false},
    {"Mode3_Reset", QRect(0, 16, 65, 19), "Label13", QPoint(0, 4), true},
    {"Increase_Till", QRect(88, 16, 52, 19), "Label19", QPoint(88, 4), true},
    {"Progression", QRect(164, 16, 77, 19), "Label22", QPoint(164, 4), true},
    {"Sequential_Losses", QRect(252, 16, 45, 19), "Label20", QPoint(252, 4), true},
    {"Sequential_Wins", QRect(305, 16, 45, 19), "Label21", QPoint(305, 4), true},
}};

template <class Member> const vantel::SettingField& fieldOf(Member vantel::Settings::*member) {
    return vantel::kSettingFields[static_cast<size_t>(vantel::settingIndex(member))];
}

template <class Member> const SettingPlace& placeOf(Member vantel::Settings::*member) {
    return kSettingPlaces[static_cast<size_t>(vantel::settingIndex(member))];
}

// A setting's caption over its control, as the table names the setting.
template <class Member>
TColourLabel* makeSettingCaption(QWidget* parent, Member vantel::Settings::*member) {
    const SettingPlace& place = placeOf(member);
    return makeCaption(parent, place.caption, place.captionAt.x(), place.captionAt.y(),
                       settingText(fieldOf(member).name.name) +
                           (place.colon ? QStringLiteral(":") : QString()));
}

} // namespace

TForm1::TForm1(vantel::CalendarClock clock, QWidget* parent)
    : QWidget(parent), m_clock(std::move(clock)) {
    followTracker();
    // Before any control: a tool may ask for one while it is built.
    vantel::accessibility::install();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vantel 2.0"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    move(252, 129);
    // The icon is painted once the window is on the screen (showEvent), so
    // that it does not hold back the window's first appearance.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBlack);
    pal.setColor(QPalette::WindowText, kWhite);
    pal.setColor(QPalette::ButtonText, kWhite);
    setPalette(pal);
    setFont(arialFont(11, false));

    // The art is painted at the screen's density, so it stays sharp when scaled.
    m_pixelRatio = qApp->devicePixelRatio();
    {
        const ApplicationFontWhileBuilding windowFont(font());
        buildControls();
        buildTimers();
        bindProcedures();
        m_spinUndo = std::make_unique<SpinUndo>(*this);
        m_sessionTools = std::make_unique<SessionTools>(*this);
        m_spinUndo->MoreEntries = [this](QMenu* menu) {
            m_playerAids->addEntries(menu);
            menu->addSeparator();
            m_sessionTools->addEntries(menu);
        };
        setUpPlayerAids();
        m_sessionTools->Announce = [this](const QString& text) { m_playerAids->announce(text); };
    }
    Game_Mode->setFocus();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ThemeChange)
        QApplication::setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    QWidget::changeEvent(event);
}

TForm1::~TForm1() {
    // The controls outlive the tracker by a moment: nothing may call it any more.
    for (ProgramTimer* t : {ShowValues, Timer_Classic, Timer_Recalculate, Fixed_Matrix_Timer,
                            Sequential_Timer, Timer_Mode2}) {
        t->setEnabled(false);
        t->OnTimer = nullptr;
    }
    for (TCSpinEdit* edit : {Initial_Bet, Increase_Till, Sequential_Losses, Sequential_Wins})
        edit->OnChange = nullptr;
    for (QObject* child : children())
        disconnect(child, nullptr, this, nullptr);
    // Hiding while the base class tears the window down moves the focus and
    // sends events: neither may reach this half-destroyed window any more.
    disconnect(qApp, nullptr, this, nullptr);
    if (m_playerAids) m_playerAids->release();
    if (Form1 == this) Form1 = nullptr;
}

// Controls are created bottom first, so each later one lies above the earlier
// ones; windowed controls (the settings) lie above every non-windowed one. The
// builders run in that stacking order.
void TForm1::buildControls() {
    buildArtAndGauge();
    buildTiles();
    buildHistoryStrip();
    buildStakeBar();
    buildOverlays();
    buildIndicatorAndCaptions();
    buildBoardButtons();
    buildHiddenLabels();
    buildSettings();
    buildSequentialPanel();

    setTabOrder(Game_Mode, SafeLevel);
    setTabOrder(SafeLevel, Fixed_Matrix);
    setTabOrder(Fixed_Matrix, Betting_System);
    setTabOrder(Betting_System, Initial_Bet);
}

void TForm1::buildArtAndGauge() {
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 520, 241);
    Image1->setPixmap(vantel::backgroundArt(m_pixelRatio));

    CGauge2 = new TCGauge(this);
    CGauge2->setObjectName(QStringLiteral("CGauge2"));
    CGauge2->setGeometry(400, 232, 65, 17);
    CGauge2->setShowText(false);
    CGauge2->setForeColor(kOlive);
    CGauge2->setBackColor(kBlack);

    CurrentNum =
        makeHidden(this, "CurrentNum", QRect(8, 368, 57, 14), QStringLiteral("CurrentNum"));
}

void TForm1::buildTiles() {
    for (size_t i = 0; i < kOverlayOrder.size(); ++i) {
        const int n = kOverlayOrder[i];
        auto* tile = new QLabel(this);
        tile->setObjectName(QStringLiteral("Image%1").arg(i + 2));
        tile->setGeometry(vantel::cellRect(n));
        tile->setPixmap(vantel::tileArt(n, m_pixelRatio));
        Tiles[static_cast<size_t>(n)] = tile;
    }
}

void TForm1::buildHistoryStrip() {
    for (int i = 0; i < vantel::kHistoryCells; ++i) {
        auto* cell = new TColourLabel(this);
        cell->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        cell->setGeometry(154 + 24 * i, 23, 17, 12);
        cell->setFont(arialFont(9, false));
        cell->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        HistoryLabel[static_cast<size_t>(i)] = cell;
    }
}

void TForm1::buildStakeBar() {
    ProgressBar = new TCGauge(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(135, 194, 224, 7);
    ProgressBar->setShowText(false);
    ProgressBar->setBorderStyle(TCGauge::bsNone);
    ProgressBar->setForeColor(QColor(0x99, 0xBF, 0x13));
    ProgressBar->setBackColor(kBlack);
    ProgressBar->setMaxValue(18);

    Bet = makeLabel(this, "Bet", QRect(87, 190, 25, 12), QStringLiteral("1"));
    Bet->setTransparent(true);
    Bet->setFont(arialFont(9, true));
    Bet->setTextColour(kSilver);
    Bet->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void TForm1::buildOverlays() {
    for (int n : kOverlayOrder) {
        auto* overlay = new LitOverlay(n, m_pixelRatio, this);
        overlay->setObjectName(QStringLiteral("Act_Number%1").arg(n));
        overlay->setGeometry(vantel::cellRect(n));
        overlay->setScaledContents(true);
        overlay->setCursor(Qt::ArrowCursor);
        Act_Number[static_cast<size_t>(n)] = overlay;
    }
}

void TForm1::buildIndicatorAndCaptions() {
    Shape1 = new TShape(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(280, 232, 17, 17);

    Label11 = makeLabel(this, "Label11", QRect(282, 233, 15, 15), QStringLiteral("0"));
    Label11->setTransparent(true);
    Label11->setFont(arialFont(11, true));
    Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Reset_Bets = new TFlatSpeedButton(this);
    Reset_Bets->setObjectName(QStringLiteral("Reset_Bets"));
    Reset_Bets->setGeometry(378, 187, 55, 17);
    Reset_Bets->setText(QStringLiteral("Reset"));
    Reset_Bets->setFont(arialFont(11, true));

    Label12 = makeSettingCaption(this, &vantel::Settings::gameMode);
    Label14 = makeSettingCaption(this, &vantel::Settings::bettingSystem);
    Label15 = makeSettingCaption(this, &vantel::Settings::safeLevel);

    ReCalculate = new TFlatSpeedButton(this);
    ReCalculate->setObjectName(QStringLiteral("ReCalculate"));
    ReCalculate->setGeometry(400, 232, 65, 17);
    ReCalculate->setText(QStringLiteral("ReCalculate"));
    ReCalculate->setFont(arialFont(9, true));
}

void TForm1::buildBoardButtons() {
    m_board = new QButtonGroup(this);
    m_board->setExclusive(false);
    for (int n : kButtonOrder) {
        auto* button = new TFlatSpeedButton(this);
        button->setObjectName(QStringLiteral("FlatButton%1").arg(n));
        button->setGeometry(vantel::cellRect(n));
        FlatButton[static_cast<size_t>(n)] = button;
        m_board->addButton(button, n);
    }
}

void TForm1::buildHiddenLabels() {
    Label17 = makeHidden(this, "Label17", QRect(24, 264, 6, 14), QStringLiteral("0"));
    Label18 = makeSettingCaption(this, &vantel::Settings::initialBet);
    Balance = makeHidden(this, "Balance", QRect(8, 40, 39, 14), QStringLiteral("Balance"));
    Balance2 = makeHidden(this, "Balance2", QRect(64, 40, 39, 14), QStringLiteral("Balance"));
    Label25 = makeHidden(this, "Label25", QRect(4, 45, 46, 14), QStringLiteral("Numbers:"));
    Sequential_Numbers_Count =
        makeHidden(this, "Sequential_Numbers_Count", QRect(52, 45, 6, 14), QStringLiteral("0"));
    Sequential_Numbers_Count->setAutoSize(true);
}

void TForm1::buildSettings() {
    using vantel::Settings;
    const auto place = [](QWidget* control, const SettingPlace& at) {
        control->setObjectName(QString::fromLatin1(at.control));
        control->setGeometry(at.geometry);
    };
    const vantel::SettingField& initialBet = fieldOf(&Settings::initialBet);
    Initial_Bet = new TCSpinEdit(this);
    Initial_Bet->setObjectName(QString::fromLatin1(placeOf(&Settings::initialBet).control));
    // Font first: the edit's minimum height follows its font.
    styleSetting(Initial_Bet, kOlive, 9);
    Initial_Bet->setGeometry(placeOf(&Settings::initialBet).geometry);
    Initial_Bet->setCursor(Qt::PointingHandCursor);
    Initial_Bet->setMaxValue(initialBet.max);
    Initial_Bet->setMinValue(initialBet.min);
    Initial_Bet->setValue(initialBet.defaultValue);

    Game_Mode = new TDropDown(this);
    place(Game_Mode, placeOf(&Settings::gameMode));
    Game_Mode->addItems(choiceNames(fieldOf(&Settings::gameMode)));
    styleSetting(Game_Mode, kOlive, 9);
    Game_Mode->setCursor(Qt::PointingHandCursor);

    Betting_System = new TDropDown(this);
    place(Betting_System, placeOf(&Settings::bettingSystem));
    Betting_System->addItems(choiceNames(fieldOf(&Settings::bettingSystem)));
    styleSetting(Betting_System, kOlive, 9);
    Betting_System->setCursor(Qt::PointingHandCursor);

    const vantel::SettingField& safeLevel = fieldOf(&Settings::safeLevel);
    SafeLevel = new QSlider(Qt::Horizontal, this);
    place(SafeLevel, placeOf(&Settings::safeLevel));
    SafeLevel->setRange(safeLevel.min, safeLevel.max);
    SafeLevel->setTickInterval(1);
    SafeLevel->setTickPosition(QSlider::TicksBelow);
    SafeLevel->setSingleStep(1);
    SafeLevel->setPageStep(2);
    SafeLevel->setCursor(Qt::PointingHandCursor);
    styleSetting(SafeLevel, kWhite, 11);
    giveFrameColour(SafeLevel);
    // The tick marks are drawn in the window colour: grey, over a black fill.
    QPalette slider = SafeLevel->palette();
    slider.setColor(QPalette::Window, kGrey);
    slider.setColor(QPalette::Base, kBlack);
    SafeLevel->setPalette(slider);
    SafeLevel->setBackgroundRole(QPalette::Base);

    Fixed_Matrix = new QCheckBox(settingText(fieldOf(&Settings::fixedMatrix).name.name), this);
    place(Fixed_Matrix, placeOf(&Settings::fixedMatrix));
    styleSetting(Fixed_Matrix, kWhite, 11);
    giveFrameColour(Fixed_Matrix);
    Fixed_Matrix->setFont(arialFont(11, false));
    Fixed_Matrix->setCursor(Qt::PointingHandCursor);
}

void TForm1::buildSequentialPanel() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(680, 232, 377, 41);
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);
    Panel1->hide();

    using vantel::Settings;
    auto caption = [this](auto member) {
        const SettingPlace& place = placeOf(member);
        auto* l = new TColourLabel(Panel1);
        l->setObjectName(QString::fromLatin1(place.caption));
        l->setGeometry(place.captionAt.x(), place.captionAt.y(), 0, 12);
        l->setFont(arialFont(9, false));
        l->setAutoSize(true);
        l->setText(settingText(fieldOf(member).name.name) +
                   (place.colon ? QStringLiteral(":") : QString()));
    };
    auto bevel = [this](const char* name, QRect geometry) {
        auto* line = new QFrame(Panel1);
        line->setObjectName(QString::fromLatin1(name));
        // Only the left edge of the box is drawn: a sunken vertical line.
        line->setGeometry(geometry.x(), geometry.y(), 2, geometry.height());
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
    };
    // The tooltips are the player aids' (the field table's).
    auto combo = [this](int Settings::*member) {
        const SettingPlace& place = placeOf(member);
        auto* c = new TDropDown(Panel1);
        c->setObjectName(QString::fromLatin1(place.control));
        c->setGeometry(place.geometry);
        c->addItems(choiceNames(fieldOf(member)));
        styleSetting(c, kWhite, 9);
        return c;
    };
    auto spin = [this](int Settings::*member) {
        const SettingPlace& place = placeOf(member);
        const vantel::SettingField& range = fieldOf(member);
        auto* s = new TCSpinEdit(Panel1);
        s->setObjectName(QString::fromLatin1(place.control));
        styleSetting(s, kWhite, 9);
        s->setGeometry(place.geometry);
        s->setCursor(Qt::PointingHandCursor);
        s->setMaxValue(range.max);
        s->setMinValue(range.min);
        s->setValue(range.defaultValue);
        return s;
    };

    caption(&Settings::mode3Reset);
    Mode3_Reset = combo(&Settings::mode3Reset);
    bevel("Bevel2", QRect(76, 9, 9, 26));
    caption(&Settings::increaseTill);
    Increase_Till = spin(&Settings::increaseTill);
    bevel("Bevel1", QRect(152, 8, 9, 26));
    caption(&Settings::progression);
    Progression = combo(&Settings::progression);
    caption(&Settings::sequentialLosses);
    Sequential_Losses = spin(&Settings::sequentialLosses);
    caption(&Settings::sequentialWins);
    Sequential_Wins = spin(&Settings::sequentialWins);
}

void TForm1::buildTimers() {
    auto timer = [this](const char* name, int interval, bool on) {
        auto* t = new ProgramTimer(interval, on, this);
        t->setObjectName(QString::fromLatin1(name));
        return t;
    };
    const auto startInterval = [](TimerId id) {
        return vantel::kTimerStartIntervals[static_cast<size_t>(id)];
    };
    ShowValues = timer("ShowValues", 10, true);
    Timer_Classic = timer("Timer_Classic", startInterval(TimerId::Classic), false);
    Timer_Recalculate = timer("Timer_Recalculate", 60, false);
    Fixed_Matrix_Timer = timer("Fixed_Matrix_Timer", startInterval(TimerId::FixedMatrix), false);
    Sequential_Timer = timer("Sequential_Timer", startInterval(TimerId::Sequential), false);
    Timer_Mode2 = timer("Timer_Mode2", startInterval(TimerId::Mode2), false);
}

// The tracker reads the window's calendar and tells the controls what changed.
void TForm1::followTracker() {
    m_tracker.setCalendar(m_clock);
    auto* tell = new TrackerSignals(this);
    m_tracker.setObserver(tell);
    connect(tell, &TrackerSignals::markLit, this, &TForm1::showLit);
    connect(tell, &TrackerSignals::stripShown, this, &TForm1::showStrip);
    connect(tell, &TrackerSignals::stakeShown, this, &TForm1::showBet);
    connect(tell, &TrackerSignals::progressShown, this, &TForm1::showProgress);
    connect(tell, &TrackerSignals::lockShown, this, &TForm1::showLock);
    connect(tell, &TrackerSignals::settingTextShown, this, &TForm1::showSettingText);
    connect(tell, &TrackerSignals::timerRequested, this, &TForm1::showTimer);
}

void TForm1::bindProcedures() {
    connect(m_board, &QButtonGroup::idClicked, this, [this](int n) {
        guarded([this, n] { m_tracker.numberClick(n); });
        m_playerAids->spinEntered(n);
    });
    connect(Reset_Bets, &QAbstractButton::clicked, this,
            [this] { guarded([this] { m_tracker.Reset_BetsClick(); }); });
    connect(ReCalculate, &QAbstractButton::clicked, this,
            [this] { guarded([this] { ReCalculateClick(); }); });

    // The tracker takes the settings as the controls stand now, and every
    // change from here on, before anything else the change runs. Bound only
    // now, so that the values set while building raise no change.
    m_tracker.setSettings(settings());
    for (vantel::SpinSetting s : vantel::kSpinSettings) {
        TCSpinEdit* edit = spinEditOf(s);
        m_tracker.setSettingTextQuietly(s, edit->text().toStdString());
        // A change of Init. Bet, M. Count or W. Count starts the stakes over.
        edit->OnChange = [this, s, edit] {
            guarded([this, s, edit] { m_tracker.typeSettingText(s, edit->text().toStdString()); });
        };
    }
    connect(Game_Mode, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_tracker.setGameMode(index); });
    connect(Betting_System, &QComboBox::currentIndexChanged, this,
            [this] { m_tracker.setBettingSystem(Betting_System->currentText().toStdString()); });
    connect(SafeLevel, &QSlider::valueChanged, this,
            [this](int level) { m_tracker.setSafeLevel(level); });
    connect(Fixed_Matrix, &QCheckBox::toggled, this,
            [this](bool on) { m_tracker.setFixedMatrix(on); });
    connect(Mode3_Reset, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_tracker.setMode3Reset(index); });
    connect(Progression, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_tracker.setProgression(index); });

    ShowValues->OnTimer = [this] { guarded([this] { ShowValuesTimer(); }); };
    Timer_Recalculate->OnTimer = [this] { guarded([this] { Timer_RecalculateTimer(); }); };
    for (TimerId id : vantel::kTrackerTimers)
        timerOf(id)->OnTimer = [this, id] { guarded([this, id] { m_tracker.tick(id); }); };

    connect(Game_Mode, &QComboBox::currentIndexChanged, this, &TForm1::gameModeChosen);
}

void TForm1::setUpPlayerAids() {
    PlayerAids::Controls c;
    c.window = this;
    c.settings = lockedSettings();
    // In the field table's order.
    c.fields = {Game_Mode,   Betting_System, Initial_Bet, SafeLevel,         Fixed_Matrix,
                Mode3_Reset, Increase_Till,  Progression, Sequential_Losses, Sequential_Wins};
    c.reset = Reset_Bets;
    c.recalculate = ReCalculate;
    c.bet = Bet;
    c.drawProgress = ProgressBar;
    c.recalculation = CGauge2;
    c.indicator = Shape1;
    c.sequentialPanel = Panel1;
    c.cells = FlatButton;
    c.history = HistoryLabel;
    // The pictures, the fixed "0" of the indicator and the labels only the core reads.
    c.decorative = {Image1, Label11, CurrentNum, Balance, Balance2, Label17};
    c.decorative.insert(c.decorative.end(), Tiles.begin(), Tiles.end());
    c.decorative.insert(c.decorative.end(), Act_Number.begin(), Act_Number.end());
    for (QFrame* bevel : Panel1->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly))
        if (bevel->frameShape() == QFrame::VLine) c.decorative.push_back(bevel);
    m_playerAids = new PlayerAids(c, [this](int n) { return enterSpin(n); });
}

bool TForm1::enterSpin(int n) {
    if (n < 0 || n > vantel::kHighestNumber || m_tracker.buttonsLocked()) {
        QApplication::beep();
        return false;
    }
    guarded([this, n] { m_tracker.numberClick(n); });
    m_playerAids->spinEntered(n);
    return true;
}

void TForm1::openNumberEntry() {
    m_playerAids->openNumberEntry();
}

TNumberEntry* TForm1::numberEntry() {
    return m_playerAids->numberEntry();
}

TFocusCue* TForm1::focusCue() const {
    return m_playerAids->focusCue();
}

void TForm1::ensureIcon() {
    if (m_iconSet) return;
    m_iconSet = true;
    setWindowIcon(QIcon(vantel::iconArt()));
}

void TForm1::showEvent(QShowEvent* event) {
    if (!m_placed) {
        m_placed = true;
        window_placement::placeAtOpening(*this);
        window_placement::offerNoResize(*this);
        // The icon waits for the window's first appearance on the screen.
        if (windowHandle())
            windowHandle()->installEventFilter(this);
        else
            ensureIcon();
    }
    QWidget::showEvent(event);
    m_playerAids->followFocus();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() &&
        windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &TForm1::ensureIcon, Qt::QueuedConnection);
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

// The right button anywhere on the window, wherever no control takes it first.
void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    m_spinUndo->showMenu(event->globalPos());
    event->accept();
}

void TForm1::FormCreate() {
    m_tracker.Hide_Active();
}

void TForm1::gameModeChosen(int index) {
    const bool sequential = index == setting::kSequential;
    if (sequential) Panel1->move(8, 261);
    Panel1->setVisible(sequential);
    Label25->setVisible(sequential);
    Sequential_Numbers_Count->setVisible(sequential);
    setFixedSize(kClientWidth, sequential ? kSequentialClientHeight : kClientHeight);
}

// ---- Errors ----

void TForm1::setErrorSink(ErrorSink sink) {
    errorSink() = std::move(sink);
}

QString TForm1::applicationTitle(const QString& programPath) {
    QString name = QFileInfo(programPath).baseName();
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString TForm1::errorText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

void TForm1::showError(const QString& message) {
    const QString caption = applicationTitle(QCoreApplication::applicationFilePath());
    const QString text = errorText(message);
    if (errorSink()) {
        errorSink()(caption, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, Form1);
    box.exec();
}

void TForm1::guarded(const std::function<void()>& procedure) {
    if (m_guardDepth > 0) {
        // Run from inside another procedure: an error ends that one too.
        procedure();
        return;
    }
    std::optional<QString> error;
    ++m_guardDepth;
    try {
        procedure();
    } catch (const std::exception& e) {
        error = QString::fromStdString(e.what());
    } catch (...) {
        error = QString();
    }
    --m_guardDepth;
    if (!error) return;
    // Shown once the click, tick or change has been handled, so that a timer whose
    // tick failed goes on ticking behind the box.
    QMetaObject::invokeMethod(
        this,
        [this, message = *error] {
            showError(message);
            recoverAfterError();
        },
        Qt::QueuedConnection);
}

void TForm1::recoverAfterError() {
    // An error inside the evaluation of a spin leaves the window locked with no
    // analysis to unlock it; once the player has read the message, unlock it.
    if (Timer_Recalculate->enabled()) return;
    m_tracker.recoverAfterError();
}

// ---- Refresh and the recalculation animation ----

namespace {

// A spin edit's value as reading it would give, without the rewrite of its
// text that a reading may make.
int32_t peek(const TCSpinEdit* edit) {
    const vantel::SpinBounds bounds{edit->MinValue(), edit->MaxValue(), edit->Increment()};
    return vantel::spinClamp(bounds, vantel::spinRead(bounds, edit->text().toStdString()).value);
}

} // namespace

vantel::Settings TForm1::settings() const {
    vantel::Settings s;
    s.gameMode = Game_Mode->currentIndex();
    s.bettingSystem = Betting_System->currentText().toStdString();
    s.initialBet = peek(Initial_Bet);
    s.safeLevel = SafeLevel->value();
    s.fixedMatrix = Fixed_Matrix->isChecked();
    s.mode3Reset = Mode3_Reset->currentIndex();
    s.increaseTill = peek(Increase_Till);
    s.progression = Progression->currentIndex();
    s.sequentialLosses = peek(Sequential_Losses);
    s.sequentialWins = peek(Sequential_Wins);
    return s;
}

void TForm1::applySettings(const vantel::Settings& s) {
    Game_Mode->setCurrentIndex(s.gameMode);
    Betting_System->setCurrentIndex(setting::kBettingSystem.indexOf(s.bettingSystem));
    Initial_Bet->setValue(s.initialBet);
    SafeLevel->setValue(s.safeLevel);
    Fixed_Matrix->setChecked(s.fixedMatrix);
    Mode3_Reset->setCurrentIndex(s.mode3Reset);
    Increase_Till->setValue(s.increaseTill);
    Progression->setCurrentIndex(s.progression);
    Sequential_Losses->setValue(s.sequentialLosses);
    Sequential_Wins->setValue(s.sequentialWins);
}

void TForm1::refresh() {
    guarded([this] { ShowValuesTimer(); });
}

void TForm1::ShowValuesTimer() {
    const vantel::TrackerState& st = m_tracker.state();
    Balance->setText(QString::number(st.Balance_Value));
    Balance2->setText(QString::number(st.Balance2_Value));
    Label17->setText(QString::number(st.Loss_Streak));
    CurrentNum->setText(QString::number(m_tracker.currentNum()));
    Sequential_Numbers_Count->setText(QString::number(st.Sequential_Count));
    const uint32_t indicator = vantel::indicatorColour(st.Loss_Streak, SafeLevel->value());
    Shape1->setBrushColor(rgb(indicator));
    m_playerAids->indicatorShown(indicator == vantel::kColourGreen);
}

void TForm1::ReCalculateClick() {
    m_tracker.Disable_Buttons();
    Timer_Recalculate->setEnabled(true);
}

void TForm1::Timer_RecalculateTimer() {
    CGauge2->setProgress(CGauge2->Progress() + 2);
    if (CGauge2->Progress() == 100) {
        Timer_Recalculate->setEnabled(false);
        CGauge2->setProgress(0);
        m_tracker.Enable_Buttons();
    }
}

// ---- Locking ----

std::array<QWidget*, 12> TForm1::lockedSettings() const {
    return {Reset_Bets,    Initial_Bet,  Game_Mode,         Betting_System,
            SafeLevel,     Fixed_Matrix, ReCalculate,       Mode3_Reset,
            Increase_Till, Progression,  Sequential_Losses, Sequential_Wins};
}

void TForm1::showLock(bool locked) {
    if (!locked) return showUnlocked();
    // The window's own focus, also while another window of the program (the
    // number entry) is the active one.
    if (!m_shownLocked) m_focusBeforeLock = focusWidget();
    m_shownLocked = true;
    if (m_playerAids) m_playerAids->locked();
    for (QWidget* w : lockedSettings())
        w->setEnabled(false);
    for (TFlatSpeedButton* b : FlatButton)
        b->hide();
}

void TForm1::showUnlocked() {
    m_shownLocked = false;
    for (QWidget* w : lockedSettings())
        w->setEnabled(true);
    for (TFlatSpeedButton* b : FlatButton)
        b->show();
    // Locking took the focus away; it goes back where it was, when it can.
    QWidget* back = m_focusBeforeLock;
    m_focusBeforeLock = nullptr;
    if (back && back->isEnabled() && back->isVisible() && focusWidget() != back)
        back->setFocus(Qt::OtherFocusReason);
    if (m_playerAids) {
        m_playerAids->followFocus();
        m_playerAids->unlocked();
    }
    if (OnUnlocked) OnUnlocked();
}

// ---- Window items ----

int64_t TForm1::calendarSeconds() const {
    return m_clock();
}
TCSpinEdit* TForm1::spinEditOf(vantel::SpinSetting s) const {
    switch (s) {
    case vantel::SpinSetting::InitialBet:
        return Initial_Bet;
    case vantel::SpinSetting::IncreaseTill:
        return Increase_Till;
    case vantel::SpinSetting::MCount:
        return Sequential_Losses;
    case vantel::SpinSetting::WCount:
        return Sequential_Wins;
    }
    return Initial_Bet;
}

void TForm1::showSettingText(vantel::SpinSetting s, const std::string& text) {
    spinEditOf(s)->showText(QString::fromStdString(text));
}

bool TForm1::actNumberVisible(int n) const {
    return n >= 0 && n <= 36 && !Act_Number[static_cast<size_t>(n)]->isHidden();
}

void TForm1::showLit(int n, bool visible) {
    if (n < 0 || n > 36) return;
    QLabel* overlay = Act_Number[static_cast<size_t>(n)];
    if (overlay->isHidden() == !visible) return;
    overlay->setVisible(visible);
    if (m_playerAids) m_playerAids->describeCell(n, visible);
}

std::string TForm1::historyText(int cell) const {
    if (cell < 1 || cell > 10) return {};
    return HistoryLabel[static_cast<size_t>(cell - 1)]->text().toStdString();
}

void TForm1::showStrip(const vantel::HistoryStrip& strip) {
    for (int cell = 1; cell <= vantel::kHistoryCells; ++cell) {
        TColourLabel* label = HistoryLabel[static_cast<size_t>(cell - 1)];
        label->setColour(rgb(strip.colour(cell)));
        label->setText(QString::fromStdString(strip.text(cell)));
    }
    if (m_playerAids) m_playerAids->stripShown();
}

uint32_t TForm1::historyColour(int cell) const {
    if (cell < 1 || cell > 10) return vantel::kColourBlack;
    return rgbOf(HistoryLabel[static_cast<size_t>(cell - 1)]->colour());
}

void TForm1::showBet(const std::string& text) {
    Bet->setText(QString::fromStdString(text));
    if (m_playerAids) m_playerAids->stakeShown();
}

void TForm1::showProgress(int progress) {
    ProgressBar->setProgress(progress);
}

ProgramTimer* TForm1::timerOf(TimerId id) const {
    switch (id) {
    case TimerId::Classic:
        return Timer_Classic;
    case TimerId::FixedMatrix:
        return Fixed_Matrix_Timer;
    case TimerId::Mode2:
        return Timer_Mode2;
    case TimerId::Sequential:
        return Sequential_Timer;
    }
    return Timer_Classic;
}

bool TForm1::timerEnabled(TimerId id) const {
    return timerOf(id)->enabled();
}
int TForm1::timerInterval(TimerId id) const {
    return timerOf(id)->interval();
}

void TForm1::showTimer(TimerId id, bool on, int interval, bool restart) {
    ProgramTimer* t = timerOf(id);
    // The timer restarts its count by itself when switched on or given another
    // interval while on; a request that restarts it at the interval it already
    // has restarts it here.
    if (restart && t->enabled() && t->interval() == interval) t->setEnabled(false);
    t->setInterval(interval);
    t->setEnabled(on);
}
