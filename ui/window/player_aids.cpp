// What the main window adds for the player beyond its defined look: a visible
// focus, a wheel that acts only on the focused setting, the focus kept across
// a locked spin, drop-down lists in the window's look, no resize offered to
// the window manager, an opening place on the screen, tooltips, names for
// screen readers, and a keyboard entry for spins.
#include "window/unit1.h"

#include "art/ready_art.h"
#include "int_convert.h"
#include "tracker.h"
#include "widgets/colour_label.h"
#include "widgets/cspinedit.h"
#include "widgets/flat_button.h"
#include "widgets/focus_cue.h"
#include "widgets/shape.h"
#include "window/number_entry.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QWheelEvent>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>

namespace {

QString colourName(int n) {
    const uint32_t colour = vantel::historyColourOf(vantel::IntToStr(n));
    if (colour == vantel::kColourGreen) return QStringLiteral("green");
    return colour == vantel::kColourMaroon ? QStringLiteral("red") : QStringLiteral("black");
}

} // namespace

void TForm1::setUpPlayerAids() {
    m_focusCue = new TFocusCue(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget*) { focusChanged(); });

    for (QWidget* w : lockedSettings()) {
        if (!qobject_cast<QComboBox*>(w) && !qobject_cast<QSlider*>(w)) continue;
        // The wheel no longer takes the focus, and without it does nothing.
        w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(this);
    }

    // A locked button shows its caption greyed, as the locked settings do.
    for (TFlatSpeedButton* b : {Reset_Bets, ReCalculate}) {
        QPalette pal = b->palette();
        pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
        b->setPalette(pal);
    }

    Bet->setShrinkToFit(true);

    auto* entry = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this);
    entry->setObjectName(QStringLiteral("NumberEntryShortcut"));
    connect(entry, &QShortcut::activated, this, &TForm1::openNumberEntry);

    describeControls();
}

void TForm1::describeControls() {
    struct Description {
        QWidget* widget;
        const char* name;
        const char* tip;
    };
    const Description descriptions[] = {
        {Initial_Bet, "Initial bet",
         "The stake per number at the start of a progression, 1 to 10000; a change starts the "
         "progression over"},
        {Game_Mode, "Game mode",
         "Mode1: 18 numbers at random, six from each third. Mode2: the 18 hottest numbers of the "
         "last 37 spins. Sequential: the numbers that have waited longest, with a count-and-stake "
         "progression"},
        {Betting_System, "Betting system",
         "Martingale doubles the stake after a lit miss and goes back to the initial bet on a "
         "hit; Donald adds one initial bet after a miss and takes one away after a hit"},
        {SafeLevel, "Safe level",
         "Bet only after this many misses in a row. The square beside it is green when a miss on "
         "the next spin leads to a lit suggestion, maroon when it does not"},
        {Fixed_Matrix, "Fixed matrix",
         "After a hit, suggest the very same numbers again instead of drawing new ones"},
        {Reset_Bets, "Reset", "Start the stake progression over at the initial bet"},
        {ReCalculate, "ReCalculate", "Play the recalculation animation"},
        {Mode3_Reset, "Reset on", nullptr},
        {Increase_Till, "Increase till", nullptr},
        {Progression, "Progression", nullptr},
        {Sequential_Losses, "Misses before a step up", nullptr},
        {Sequential_Wins, "Hits before a step down", nullptr},
        {Bet, "Stake per number", nullptr},
    };
    for (const Description& d : descriptions) {
        d.widget->setAccessibleName(QString::fromLatin1(d.name));
        if (d.tip) d.widget->setToolTip(QString::fromLatin1(d.tip));
        d.widget->setAccessibleDescription(d.tip ? QString::fromLatin1(d.tip)
                                                 : d.widget->toolTip());
    }
    for (int n = 0; n <= vantel::kHighestNumber; ++n)
        describeCell(n);
}

void TForm1::describeCell(int n) {
    if (n < 0 || n > vantel::kHighestNumber || !FlatButton[static_cast<size_t>(n)]) return;
    QString name = QStringLiteral("%1, %2").arg(n).arg(colourName(n));
    if (actNumberVisible(n)) name += QStringLiteral(", lit");
    FlatButton[static_cast<size_t>(n)]->setAccessibleName(name);
}

bool TForm1::enterSpin(int n) {
    if (n < 0 || n > vantel::kHighestNumber || m_locked) {
        QApplication::beep();
        return false;
    }
    guarded([this, n] { m_tracker.numberClick(n); });
    return true;
}

TNumberEntry* TForm1::numberEntry() {
    if (!m_numberEntry) {
        m_numberEntry = new TNumberEntry(this);
        m_numberEntry->OnEnter = [this](int n) { return enterSpin(n); };
    }
    return m_numberEntry;
}

void TForm1::openNumberEntry() {
    // Over the history strip, where the entered number will show.
    numberEntry()->open(mapToGlobal(QPoint(154, 40)));
}

void TForm1::focusChanged() {
    // The window's own focus widget: shown even while another window is active.
    QWidget* now = focusWidget();
    const auto settings = lockedSettings();
    QWidget* framed = nullptr;
    for (QWidget* w : settings)
        if (now && (now == w || w->isAncestorOf(now))) framed = w;
    m_focusCue->follow(framed);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() &&
        windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &TForm1::ensureIcon, Qt::QueuedConnection);
        return false;
    }
    if (event->type() == QEvent::Wheel) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && !w->hasFocus()) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QPoint TForm1::openingPosition(const QRect& available, QSize frame) {
    const int maxX = std::max(available.left(), available.right() + 1 - frame.width());
    const int maxY = std::max(available.top(), available.bottom() + 1 - frame.height());
    return {std::clamp(252, available.left(), maxX), std::clamp(129, available.top(), maxY)};
}

void TForm1::ensureIcon() {
    if (m_iconSet) return;
    m_iconSet = true;
    setWindowIcon(QIcon(vantel::iconArt()));
}

void TForm1::showEvent(QShowEvent* event) {
    if (!m_placed) {
        m_placed = true;
        if (QScreen* s = screen()) {
            // Placed in device pixels, so a scaled window opens where an unscaled one does.
            const qreal ratio = s->devicePixelRatio();
            const QRect logical = s->availableGeometry();
            const QRect device(
                QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio)),
                QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
            const QSize frame(qRound(frameGeometry().width() * ratio),
                              qRound(frameGeometry().height() * ratio));
            const QPoint at = openingPosition(device, frame);
            move(qRound(at.x() / ratio), qRound(at.y() / ratio));
            placeNatively(at);
        }
        offerNoResize();
        // The icon waits for the window's first appearance on the screen.
        if (windowHandle())
            windowHandle()->installEventFilter(this);
        else
            ensureIcon();
    }
    QWidget::showEvent(event);
    focusChanged();
}

namespace {

xcb_connection_t* xcbConnection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

void TForm1::placeNatively(QPoint devicePos) {
    // A scaled position can fall between device pixels; the X window is put
    // on the exact one before it is mapped.
    xcb_connection_t* c = xcbConnection();
    if (!c) return;
    const uint32_t xy[2] = {static_cast<uint32_t>(devicePos.x()),
                            static_cast<uint32_t>(devicePos.y())};
    xcb_configure_window(c, static_cast<xcb_window_t>(winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, xy);
    xcb_flush(c);
}

void TForm1::offerNoResize() {
    // The toolkit always offers resizing in the Motif hints; this window is of
    // one size, so it offers only moving, minimising and closing.
    xcb_connection_t* c = xcbConnection();
    if (!c) return;
    const char atomName[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof(atomName) - 1, atomName), nullptr);
    if (!reply) return;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    enum : uint32_t {
        HintFunctions = 1,
        HintDecorations = 2,
        FuncMove = 4,
        FuncMinimize = 8,
        FuncClose = 32,
        DecorBorder = 2,
        DecorTitle = 8,
        DecorMenu = 16,
        DecorMinimize = 32,
    };
    const uint32_t hints[5] = {HintFunctions | HintDecorations, FuncMove | FuncMinimize | FuncClose,
                               DecorBorder | DecorTitle | DecorMenu | DecorMinimize, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(winId()), atom, atom,
                        32, 5, hints);
    xcb_flush(c);
}
