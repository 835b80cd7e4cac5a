// What the main window offers a player beyond its defined look.
#include "window/player_aids.h"

#include "board.h"
#include "settings.h"
#include "widgets/colour_label.h"
#include "widgets/flat_button.h"
#include "widgets/focus_cue.h"
#include "window/number_entry.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPalette>
#include <QShortcut>
#include <QSlider>

namespace {

QString colourName(int n) {
    switch (vantel::colourOf(n)) {
    case vantel::NumberColour::Green:
        return QStringLiteral("green");
    case vantel::NumberColour::Red:
        return QStringLiteral("red");
    case vantel::NumberColour::Black:
        break;
    }
    return QStringLiteral("black");
}

} // namespace

PlayerAids::PlayerAids(const Controls& controls, std::function<bool(int)> enterSpin)
    : QObject(controls.window), m_controls(controls), m_enterSpin(std::move(enterSpin)) {
    QWidget* window = m_controls.window;
    m_focusCue = new TFocusCue(window);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget*) { followFocus(); });

    for (QWidget* w : m_controls.settings) {
        if (!qobject_cast<QComboBox*>(w) && !qobject_cast<QSlider*>(w)) continue;
        // The wheel no longer takes the focus, and without it does nothing.
        w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(this);
    }

    // A locked button shows its caption greyed, as the locked settings do.
    for (TFlatSpeedButton* b : {m_controls.reset, m_controls.recalculate}) {
        QPalette pal = b->palette();
        pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
        b->setPalette(pal);
    }

    m_controls.bet->setShrinkToFit(true);

    auto* entry = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), window);
    entry->setObjectName(QStringLiteral("NumberEntryShortcut"));
    connect(entry, &QShortcut::activated, this, &PlayerAids::openNumberEntry);

    describeControls();
}

void PlayerAids::release() {
    disconnect(qApp, nullptr, this, nullptr);
    for (QWidget* w : m_controls.settings)
        w->removeEventFilter(this);
    m_focusCue->follow(nullptr);
}

void PlayerAids::describeControls() {
    const Controls& c = m_controls;
    const QByteArray initialBetTip =
        QStringLiteral("The stake per number at the start of a progression, %1 to %2; a change "
                       "starts the progression over")
            .arg(vantel::setting::kInitialBet.min)
            .arg(vantel::setting::kInitialBet.max)
            .toLatin1();
    struct Description {
        QWidget* widget;
        const char* name;
        const char* tip;
    };
    const Description descriptions[] = {
        {c.initialBet, "Initial bet", initialBetTip.constData()},
        {c.gameMode, "Game mode",
         "Mode1: 18 numbers at random, six from each third. Mode2: the 18 hottest numbers of the "
         "last 37 spins. Sequential: the numbers that have waited longest, with a count-and-stake "
         "progression"},
        {c.bettingSystem, "Betting system",
         "Martingale doubles the stake after a lit miss and goes back to the initial bet on a "
         "hit; Donald adds one initial bet after a miss and takes one away after a hit"},
        {c.safeLevel, "Safe level",
         "Bet only after this many misses in a row. The square beside it is green when a miss on "
         "the next spin leads to a lit suggestion, maroon when it does not"},
        {c.fixedMatrix, "Fixed matrix",
         "After a hit, suggest the very same numbers again instead of drawing new ones"},
        {c.reset, "Reset", "Start the stake progression over at the initial bet"},
        {c.recalculate, "ReCalculate", "Play the recalculation animation"},
        {c.resetOn, "Reset on", nullptr},
        {c.increaseTill, "Increase till", nullptr},
        {c.progression, "Progression", nullptr},
        {c.mCount, "Misses before a step up", nullptr},
        {c.wCount, "Hits before a step down", nullptr},
        {c.bet, "Stake per number", nullptr},
    };
    for (const Description& d : descriptions) {
        d.widget->setAccessibleName(QString::fromLatin1(d.name));
        if (d.tip) d.widget->setToolTip(QString::fromLatin1(d.tip));
        d.widget->setAccessibleDescription(d.tip ? QString::fromLatin1(d.tip)
                                                 : d.widget->toolTip());
    }
    for (int n = 0; n <= vantel::kHighestNumber; ++n)
        describeCell(n, false);
}

void PlayerAids::describeCell(int n, bool lit) {
    if (n < 0 || n > vantel::kHighestNumber) return;
    TFlatSpeedButton* cell = m_controls.cells[static_cast<size_t>(n)];
    if (!cell) return;
    QString name = QStringLiteral("%1, %2").arg(n).arg(colourName(n));
    if (lit) name += QStringLiteral(", lit");
    cell->setAccessibleName(name);
}

TNumberEntry* PlayerAids::numberEntry() {
    if (!m_numberEntry) {
        m_numberEntry = new TNumberEntry(m_controls.window);
        m_numberEntry->OnEnter = [this](int n) { return m_enterSpin(n); };
    }
    return m_numberEntry;
}

void PlayerAids::openNumberEntry() {
    // Over the history strip, where the entered number will show.
    numberEntry()->open(m_controls.window->mapToGlobal(QPoint(154, 40)));
}

void PlayerAids::followFocus() {
    // The window's own focus widget: shown even while another window is active.
    QWidget* now = m_controls.window->focusWidget();
    QWidget* framed = nullptr;
    for (QWidget* w : m_controls.settings)
        if (now && (now == w || w->isAncestorOf(now))) framed = w;
    m_focusCue->follow(framed);
}

bool PlayerAids::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && !w->hasFocus()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
