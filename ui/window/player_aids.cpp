// What the main window offers a player beyond its defined look.
#include "window/player_aids.h"

#include "board.h"
#include "outlay.h"
#include "settings.h"
#include "widgets/accessibility.h"
#include "widgets/beeper.h"
#include "widgets/cgauge.h"
#include "widgets/colour_label.h"
#include "widgets/flat_button.h"
#include "widgets/focus_cue.h"
#include "widgets/setting_choices.h"
#include "widgets/shape.h"
#include "window/board_geometry.h"
#include "window/number_entry.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QMenu>
#include <QPalette>
#include <QShortcut>
#include <QSlider>
#include <QTimer>

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

// A board number's text with its colour in words; any other text as it stands.
QString inWords(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 0 || n > vantel::kHighestNumber) return text;
    return QStringLiteral("%1 %2").arg(n).arg(colourName(n));
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
    connect(m_controls.recalculate, &QAbstractButton::clicked, this, [this] {
        // The click has locked the window: its unlocking ends the recalculation.
        m_recalculating = m_recalculationStarted = m_isLocked;
        if (m_recalculating) later();
    });

    // Reset always tells the stake it leaves, changed or not.
    connect(m_controls.reset, &QAbstractButton::clicked, this, [this] {
        m_stakeAsked = true;
        later();
    });

    // A drop-down's new choice, made by the keys where it has the focus: a
    // screen reader hears a closed list's change only from here.
    for (QWidget* w : m_controls.fields) {
        auto* combo = qobject_cast<QComboBox*>(w);
        if (!combo) continue;
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] {
            if (combo->hasFocus()) announce(combo->currentText());
        });
    }

    m_controls.bet->setShrinkToFit(true);

    auto* entry = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), window);
    entry->setObjectName(QStringLiteral("NumberEntryShortcut"));
    connect(entry, &QShortcut::activated, this, &PlayerAids::openNumberEntry);
    makeKeys();

    // The texts only assistive tools see, over what they stand for.
    vantel::accessibility::install();
    const QRect strip(154, 23, 233, 12);
    m_announcer = new TAccessibleText(window, TAccessibleText::Kind::Notification,
                                      QStringLiteral("Game"), strip);
    m_strip = new TAccessibleText(window, TAccessibleText::Kind::Text,
                                  QStringLiteral("Last spins, newest first"), strip);
    m_strip->setText(stripSentence());
    m_litText = new TAccessibleText(window, TAccessibleText::Kind::Text, QStringLiteral("Lit"),
                                    vantel::cellRect(0).united(vantel::cellRect(36)));
    m_litText->setText(QStringLiteral("none"));
    m_toldStake = m_controls.bet->text();

    describeControls();
}

void PlayerAids::release() {
    disconnect(qApp, nullptr, this, nullptr);
    for (QWidget* w : m_controls.settings)
        w->removeEventFilter(this);
    m_focusCue->follow(nullptr);
}

void PlayerAids::makeKeys() {
    QWidget* window = m_controls.window;
    auto key = [&](const char* name, const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, window);
        s->setObjectName(QString::fromLatin1(name));
        connect(s, &QShortcut::activated, this, slot);
        return s;
    };
    m_resetKey =
        key("ResetKey", QKeySequence(Qt::CTRL | Qt::Key_B), [this] { press(m_controls.reset); });
    m_recalculateKey =
        key("ReCalculateKey", QKeySequence(Qt::Key_F9), [this] { press(m_controls.recalculate); });
    m_sayAgainKey = key("SayAgainKey", QKeySequence(Qt::Key_F2), [this] { sayAgain(); });
    m_litKey =
        key("LitNumbersKey", QKeySequence(Qt::CTRL | Qt::Key_L), [this] { sayLitNumbers(); });
}

void PlayerAids::press(TFlatSpeedButton* button) {
    if (!button->isEnabled() || !button->isVisible()) {
        Beeper::beep();
        return;
    }
    // The key takes the focus there, so that Space presses it again.
    if (button->window()->isActiveWindow()) button->setFocus(Qt::ShortcutFocusReason);
    button->click();
}

void PlayerAids::describeControls() {
    namespace a11y = vantel::accessibility;
    const Controls& c = m_controls;
    struct Description {
        QWidget* widget;
        const char* name;
        const char* tip;
    };
    const Description descriptions[] = {
        {c.reset, "Reset", "Start the stake progression over at the initial bet (Ctrl+B)"},
        {c.recalculate, "ReCalculate", "Play the recalculation animation (F9)"},
        {c.bet, "Stake per number", nullptr},
        {c.drawProgress, "Draw progress", nullptr},
        {c.recalculation, "Recalculation progress", nullptr},
    };
    // The settings, as the field table names them; a range's tooltip names its ends.
    for (size_t i = 0; i < vantel::kSettingFields.size(); ++i) {
        const vantel::SettingField& f = vantel::kSettingFields[i];
        QString tip = settingText(f.tip);
        if (f.kind == vantel::SettingKind::Range && tip.contains(QStringLiteral("%1")))
            tip = tip.arg(f.min).arg(f.max);
        QWidget* w = c.fields[i];
        w->setAccessibleName(settingText(f.spokenName));
        w->setToolTip(tip);
        w->setAccessibleDescription(tip);
        // A slider's value, in its tooltip as well.
        if (auto* slider = qobject_cast<QSlider*>(w)) {
            auto sliderTip = [slider, name = settingText(f.spokenName), tip] {
                slider->setToolTip(name + QStringLiteral(" %1. ").arg(slider->value()) + tip);
            };
            sliderTip();
            connect(slider, &QSlider::valueChanged, this, sliderTip);
        }
    }
    for (const Description& d : descriptions) {
        d.widget->setAccessibleName(QString::fromLatin1(d.name));
        if (d.tip) d.widget->setToolTip(QString::fromLatin1(d.tip));
        d.widget->setAccessibleDescription(d.tip ? QString::fromLatin1(d.tip)
                                                 : d.widget->toolTip());
    }
    c.reset->setProperty("vantelKey", m_resetKey->key().toString(QKeySequence::NativeText));
    c.recalculate->setProperty("vantelKey",
                               m_recalculateKey->key().toString(QKeySequence::NativeText));

    a11y::markFrame(c.window);
    a11y::markGroup(c.sequentialPanel, QStringLiteral("Sequential settings"));
    a11y::markValue(c.bet);
    a11y::hideFromTools(m_focusCue);
    for (QWidget* w : c.decorative)
        a11y::hideFromTools(w);
    for (TColourLabel* cell : c.history)
        a11y::hideFromTools(cell);
    indicatorShown(true);
    for (int n = 0; n <= vantel::kHighestNumber; ++n)
        describeCell(n, false);
}

void PlayerAids::describeCell(int n, bool lit) {
    if (n < 0 || n > vantel::kHighestNumber) return;
    m_lit[static_cast<size_t>(n)] = lit;
    TFlatSpeedButton* cell = m_controls.cells[static_cast<size_t>(n)];
    if (!cell) return;
    QString name = QStringLiteral("%1, %2").arg(n).arg(colourName(n));
    if (lit) name += QStringLiteral(", lit");
    cell->setAccessibleName(name);
    vantel::accessibility::setChecked(cell, lit);
}

TNumberEntry* PlayerAids::numberEntry() {
    if (!m_numberEntry) {
        m_numberEntry = new TNumberEntry(m_controls.window);
        m_numberEntry->OnEnter = [this](int n) { return m_enterSpin(n); };
        m_numberEntry->OnRefused = [this](const QString& why) { announce(why); };
    }
    return m_numberEntry;
}

void PlayerAids::openNumberEntry() {
    // Over the history strip, where the entered number will show.
    numberEntry()->openAt(m_controls.window->mapToGlobal(QPoint(154, 40)));
}

void PlayerAids::addEntries(QMenu* menu) {
    const bool free = m_controls.reset->isEnabled();
    QAction* reset = menu->addAction(QStringLiteral("Reset the stake"), this,
                                     [this] { press(m_controls.reset); });
    reset->setObjectName(QStringLiteral("ResetEntry"));
    reset->setShortcut(m_resetKey->key());
    reset->setEnabled(free);
    QAction* recalculate = menu->addAction(QStringLiteral("ReCalculate"), this,
                                           [this] { press(m_controls.recalculate); });
    recalculate->setObjectName(QStringLiteral("ReCalculateEntry"));
    recalculate->setShortcut(m_recalculateKey->key());
    recalculate->setEnabled(free);
    QAction* again = menu->addAction(QStringLiteral("Say again"), this, &PlayerAids::sayAgain);
    again->setObjectName(QStringLiteral("SayAgainEntry"));
    again->setShortcut(m_sayAgainKey->key());
    QAction* lit =
        menu->addAction(QStringLiteral("Say the lit numbers"), this, &PlayerAids::sayLitNumbers);
    lit->setObjectName(QStringLiteral("LitNumbersEntry"));
    lit->setShortcut(m_litKey->key());
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

// ---- The game, told ----

void PlayerAids::spinEntered(int n) {
    m_entered = n;
    later();
}

void PlayerAids::stripShown() {
    m_stripChanged = true;
    later();
}

void PlayerAids::stakeShown() {
    m_stakeChanged = true;
    // Past a table's end the stake is no number for a moment, until the
    // progression starts over: told even so.
    if (!vantel::stakeOfText(m_controls.bet->text().toStdString())) m_tableEnd = true;
    later();
}

void PlayerAids::locked() {
    m_isLocked = true;
}

void PlayerAids::unlocked() {
    m_isLocked = false;
    if (m_recalculating)
        m_recalculated = true;
    else
        m_drawEnded = true;
    m_recalculating = false;
    later();
}

void PlayerAids::indicatorShown(bool nextMissLights) {
    if (m_nextMissLights == int(nextMissLights)) return;
    m_nextMissLights = int(nextMissLights);
    m_controls.indicator->setAccessibleName(
        nextMissLights ? QStringLiteral("Safe-level indicator: next miss lights the suggestion")
                       : QStringLiteral("Safe-level indicator: next miss does not light the "
                                        "suggestion"));
}

void PlayerAids::later() {
    // Told once the click, key or tick that made the change is over, all in
    // one sentence, and a moment later: locking and unlocking the board sends
    // screen readers a burst of changes, and one still busy with them may
    // drop a sentence that comes in the middle.
    if (m_tellPending) return;
    m_tellPending = true;
    QTimer::singleShot(TellDelayMs, this, &PlayerAids::tell);
}

QString PlayerAids::litSentence() const {
    QStringList numbers;
    for (int n = 0; n <= vantel::kHighestNumber; ++n)
        if (m_lit[static_cast<size_t>(n)]) numbers << QString::number(n);
    if (numbers.isEmpty()) return QStringLiteral("No numbers lit");
    return QStringLiteral("%1 %2 lit: %3")
        .arg(numbers.size())
        .arg(numbers.size() == 1 ? QStringLiteral("number") : QStringLiteral("numbers"))
        .arg(numbers.join(QStringLiteral(", ")));
}

QString PlayerAids::stakeSentence() const {
    const QString text = m_controls.bet->text();
    if (!vantel::stakeOfText(text.toStdString())) return QStringLiteral("stake table's end");
    return QStringLiteral("stake ") + text;
}

QString PlayerAids::stripSentence() const {
    QStringList spins;
    for (const TColourLabel* cell : m_controls.history)
        if (!cell->text().isEmpty()) spins << inWords(cell->text());
    return spins.isEmpty() ? QStringLiteral("none") : spins.join(QStringLiteral(", "));
}

void PlayerAids::tell() {
    m_tellPending = false;
    QStringList parts = m_news;
    m_news.clear();
    const bool drawing = m_isLocked && !m_recalculating;
    if (m_entered >= 0) {
        QString entered = inWords(QString::number(m_entered)) + QStringLiteral(" entered");
        if (m_drawnLit.any())
            entered += m_drawnLit[static_cast<size_t>(m_entered)] ? QStringLiteral(", a hit")
                                                                  : QStringLiteral(", a miss");
        if (drawing) entered += QStringLiteral(", drawing");
        parts << entered;
        if (m_numberEntry && m_numberEntry->isVisible()) m_numberEntry->confirm(entered);
    }
    if (m_recalculationStarted) parts << QStringLiteral("recalculating");
    if (m_recalculated) parts << QStringLiteral("recalculated");
    if (m_tableEnd) parts << QStringLiteral("stake table's end");
    if (m_drawEnded) parts << litSentence();
    if (m_stripChanged) m_strip->setText(stripSentence());
    if (m_drawEnded || m_stakeChanged || m_entered >= 0) {
        QStringList lit;
        for (int n = 0; n <= vantel::kHighestNumber; ++n)
            if (m_lit[static_cast<size_t>(n)]) lit << QString::number(n);
        m_litText->setText(lit.isEmpty() ? QStringLiteral("none")
                                         : lit.join(QStringLiteral(", ")) +
                                               QStringLiteral(", %1 numbers").arg(lit.size()));
    }
    // A stake changed by a spin that draws is told with the draw's end.
    const QString stake = m_controls.bet->text();
    if (!drawing && (m_drawEnded || m_stakeAsked || (m_stakeChanged && stake != m_toldStake))) {
        if (parts.isEmpty() || parts.back() != stakeSentence()) parts << stakeSentence();
        m_toldStake = stake;
    }
    if (!m_isLocked) m_drawnLit = m_lit;
    m_entered = -1;
    m_stakeChanged = m_stakeAsked = m_stripChanged = m_drawEnded = m_recalculated = false;
    m_recalculationStarted = m_tableEnd = false;
    if (!parts.isEmpty()) m_announcer->say(parts.join(QStringLiteral("; ")));
}

void PlayerAids::sayLitNumbers() {
    m_announcer->say(litSentence());
}

void PlayerAids::announce(const QString& text) {
    // With what else is told, after the burst a new window or a refusal makes.
    m_news << text;
    later();
}

void PlayerAids::sayAgain() {
    m_announcer->repeat();
}
