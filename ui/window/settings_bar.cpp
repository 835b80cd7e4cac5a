#include "window/settings_bar.h"

#include "art/fonts.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/drop_down.h"
#include "widgets/setting_choices.h"
#include "window/window_room.h"

#include <QCheckBox>
#include <QFrame>
#include <QSlider>

using vantel::arialFont;
using vantel::Settings;

namespace {

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kOlive(0x80, 0x80, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kGrey(0x80, 0x80, 0x80);

// Where each setting of the field table stands, in the table's order: its
// control's object name and geometry, and its caption's object name and place
// (the window's layout). The texts, choices and ranges are the table's.
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

template <class Member> const vantel::SettingField& fieldOf(Member Settings::*member) {
    return vantel::kSettingFields[static_cast<size_t>(vantel::settingIndex(member))];
}

template <class Member> const SettingPlace& placeOf(Member Settings::*member) {
    return kSettingPlaces[static_cast<size_t>(vantel::settingIndex(member))];
}

template <class Member> void place(QWidget* control, Member Settings::*member) {
    control->setObjectName(QString::fromLatin1(placeOf(member).control));
    control->setGeometry(placeOf(member).geometry);
}

// A setting's caption over its control, as the table names the setting: Arial
// 9, as wide as its text.
template <class Member> void makeCaption(QWidget& parent, Member Settings::*member) {
    const SettingPlace& at = placeOf(member);
    auto* l = new TColourLabel(&parent);
    l->setObjectName(QString::fromLatin1(at.caption));
    l->setGeometry(at.captionAt.x(), at.captionAt.y(), 0, 12);
    l->setFont(arialFont(9, false));
    l->setAutoSize(true);
    l->setText(settingText(fieldOf(member).name.name) +
               (at.colon ? QStringLiteral(":") : QString()));
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

// Settings controls: black, with their text in the given colour.
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

// A spin edit of a setting: its range and default from the table.
TCSpinEdit* makeSpin(QWidget& parent, int Settings::*member, const QColor& text) {
    const vantel::SettingField& range = fieldOf(member);
    auto* s = new TCSpinEdit(&parent);
    s->setObjectName(QString::fromLatin1(placeOf(member).control));
    // Font first: the edit's minimum height follows its font.
    styleSetting(s, text, 9);
    s->setGeometry(placeOf(member).geometry);
    s->setCursor(Qt::PointingHandCursor);
    s->setMaxValue(range.max);
    s->setMinValue(range.min);
    s->setValue(range.defaultValue);
    return s;
}

// A drop-down list of a setting's choices.
template <class Member>
QComboBox* makeList(QWidget& parent, Member Settings::*member, const QColor& text) {
    auto* c = new TDropDown(&parent);
    place(c, member);
    c->addItems(choiceNames(fieldOf(member)));
    styleSetting(c, text, 9);
    return c;
}

// A spin edit's value as reading it would give, without the rewrite of its
// text that a reading may make.
int32_t peek(const TCSpinEdit* edit) {
    const vantel::SpinBounds bounds{edit->MinValue(), edit->MaxValue(), edit->Increment()};
    return vantel::spinClamp(bounds, vantel::spinRead(bounds, edit->text().toStdString()).value);
}

} // namespace

SettingsBar::SettingsBar(QWidget& window) {
    buildCaptions(window);
    buildSettings(window);
    buildSequentialPanel(window);
    QWidget::setTabOrder(Game_Mode, SafeLevel);
    QWidget::setTabOrder(SafeLevel, Fixed_Matrix);
    QWidget::setTabOrder(Fixed_Matrix, Betting_System);
    QWidget::setTabOrder(Betting_System, Initial_Bet);
}

SettingsBar::~SettingsBar() {
    // The edits outlive the bar by a moment: their changes reach nothing any more.
    for (vantel::SpinSetting s : vantel::kSpinSettings)
        spinEditOf(s)->OnChange = nullptr;
}

void SettingsBar::buildCaptions(QWidget& window) {
    makeCaption(window, &Settings::gameMode);
    makeCaption(window, &Settings::bettingSystem);
    makeCaption(window, &Settings::safeLevel);
    makeCaption(window, &Settings::initialBet);
}

void SettingsBar::buildSettings(QWidget& window) {
    Initial_Bet = makeSpin(window, &Settings::initialBet, kOlive);

    Game_Mode = makeList(window, &Settings::gameMode, kOlive);
    Game_Mode->setCursor(Qt::PointingHandCursor);
    Betting_System = makeList(window, &Settings::bettingSystem, kOlive);
    Betting_System->setCursor(Qt::PointingHandCursor);

    const vantel::SettingField& safeLevel = fieldOf(&Settings::safeLevel);
    SafeLevel = new QSlider(Qt::Horizontal, &window);
    place(SafeLevel, &Settings::safeLevel);
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

    Fixed_Matrix = new QCheckBox(settingText(fieldOf(&Settings::fixedMatrix).name.name), &window);
    place(Fixed_Matrix, &Settings::fixedMatrix);
    styleSetting(Fixed_Matrix, kWhite, 11);
    giveFrameColour(Fixed_Matrix);
    Fixed_Matrix->setFont(arialFont(11, false));
    Fixed_Matrix->setCursor(Qt::PointingHandCursor);
}

void SettingsBar::buildSequentialPanel(QWidget& window) {
    Panel1 = new QFrame(&window);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(680, 232, 377, 41);
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setAutoFillBackground(true);
    Panel1->hide();

    auto bevel = [this](const char* name, QRect geometry) {
        auto* line = new QFrame(Panel1);
        line->setObjectName(QString::fromLatin1(name));
        // Only the left edge of the box is drawn: a sunken vertical line.
        line->setGeometry(geometry.x(), geometry.y(), 2, geometry.height());
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
    };
    // The tooltips are the player aids' (the field table's).
    makeCaption(*Panel1, &Settings::mode3Reset);
    Mode3_Reset = makeList(*Panel1, &Settings::mode3Reset, kWhite);
    bevel("Bevel2", QRect(76, 9, 9, 26));
    makeCaption(*Panel1, &Settings::increaseTill);
    Increase_Till = makeSpin(*Panel1, &Settings::increaseTill, kWhite);
    bevel("Bevel1", QRect(152, 8, 9, 26));
    makeCaption(*Panel1, &Settings::progression);
    Progression = makeList(*Panel1, &Settings::progression, kWhite);
    makeCaption(*Panel1, &Settings::sequentialLosses);
    Sequential_Losses = makeSpin(*Panel1, &Settings::sequentialLosses, kWhite);
    makeCaption(*Panel1, &Settings::sequentialWins);
    Sequential_Wins = makeSpin(*Panel1, &Settings::sequentialWins, kWhite);
}

void SettingsBar::bind(WindowRoom& room) {
    vantel::Tracker& tracker = room.tracker();
    tracker.setSettings(settings());
    for (vantel::SpinSetting s : vantel::kSpinSettings) {
        TCSpinEdit* edit = spinEditOf(s);
        tracker.setSettingTextQuietly(s, edit->text().toStdString());
        // A change of Init. Bet, M. Count or W. Count starts the stakes over.
        edit->OnChange = [&room, s, edit] {
            room.guarded([&room, s, edit] {
                room.tracker().typeSettingText(s, edit->text().toStdString());
            });
        };
    }
    connect(Game_Mode, &QComboBox::currentIndexChanged, this,
            [&tracker](int index) { tracker.setGameMode(index); });
    connect(Betting_System, &QComboBox::currentIndexChanged, this, [this, &tracker] {
        tracker.setBettingSystem(Betting_System->currentText().toStdString());
    });
    connect(SafeLevel, &QSlider::valueChanged, this,
            [&tracker](int level) { tracker.setSafeLevel(level); });
    connect(Fixed_Matrix, &QCheckBox::toggled, this,
            [&tracker](bool on) { tracker.setFixedMatrix(on); });
    connect(Mode3_Reset, &QComboBox::currentIndexChanged, this,
            [&tracker](int index) { tracker.setMode3Reset(index); });
    connect(Progression, &QComboBox::currentIndexChanged, this,
            [&tracker](int index) { tracker.setProgression(index); });
    connect(Game_Mode, &QComboBox::currentIndexChanged, this, &SettingsBar::gameModeChosen);
}

Settings SettingsBar::settings() const {
    Settings s;
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

void SettingsBar::applySettings(const Settings& s) {
    Game_Mode->setCurrentIndex(s.gameMode);
    Betting_System->setCurrentIndex(vantel::setting::kBettingSystem.indexOf(s.bettingSystem));
    Initial_Bet->setValue(s.initialBet);
    SafeLevel->setValue(s.safeLevel);
    Fixed_Matrix->setChecked(s.fixedMatrix);
    Mode3_Reset->setCurrentIndex(s.mode3Reset);
    Increase_Till->setValue(s.increaseTill);
    Progression->setCurrentIndex(s.progression);
    Sequential_Losses->setValue(s.sequentialLosses);
    Sequential_Wins->setValue(s.sequentialWins);
}

TCSpinEdit* SettingsBar::spinEditOf(vantel::SpinSetting s) const {
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

std::string SettingsBar::spinText(vantel::SpinSetting s) const {
    return spinEditOf(s)->text().toStdString();
}

void SettingsBar::showSettingText(vantel::SpinSetting s, const std::string& text) {
    spinEditOf(s)->showText(QString::fromStdString(text));
}

int SettingsBar::safeLevel() const {
    return SafeLevel->value();
}

void SettingsBar::showSequential(bool shown) {
    if (shown) Panel1->move(8, 261);
    Panel1->setVisible(shown);
}

std::array<QWidget*, vantel::kSettingCount> SettingsBar::controls() const {
    return {Game_Mode,   Betting_System, Initial_Bet, SafeLevel,         Fixed_Matrix,
            Mode3_Reset, Increase_Till,  Progression, Sequential_Losses, Sequential_Wins};
}

std::array<QWidget*, vantel::kSettingCount + 2>
SettingsBar::lockedControls(QWidget* reset, QWidget* recalculate) const {
    return {reset,         Initial_Bet,  Game_Mode,         Betting_System,
            SafeLevel,     Fixed_Matrix, recalculate,       Mode3_Reset,
            Increase_Till, Progression,  Sequential_Losses, Sequential_Wins};
}

QWidget* SettingsBar::sequentialPanel() const {
    return Panel1;
}

std::vector<QWidget*> SettingsBar::bevels() const {
    std::vector<QWidget*> lines;
    for (QFrame* bevel : Panel1->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly))
        if (bevel->frameShape() == QFrame::VLine) lines.push_back(bevel);
    return lines;
}
