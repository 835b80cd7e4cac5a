#include "window/journal_recorder.h"

#include "session_file.h"
#include "spins_file.h"
#include "spins_import.h"
#include "window/session_files.h"
#include "window/spin_undo.h"
#include "window/window_room.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using namespace vantel::journal;

QSettings settingsStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vantel"),
                     QStringLiteral("vantel"));
}

std::int64_t nowSeconds() {
    return QDateTime::currentSecsSinceEpoch();
}

QString fileName(const QString& path) {
    return QFileInfo(path).fileName();
}

// The journal's file and a wheel: the line edit and its "Choose…" button, and
// the wheels the journal has, any of them chosen or a new name typed.
struct WheelFields {
    QLineEdit* path = nullptr;
    QComboBox* wheel = nullptr;

    WheelFields(QDialog* dialog, QFormLayout* form, const QString& path0, const QString& wheel0) {
        path = new QLineEdit(path0, dialog);
        path->setObjectName(QStringLiteral("JournalPath"));
        auto* choose = new QPushButton(QStringLiteral("Choose…"), dialog);
        auto* row = new QHBoxLayout;
        row->addWidget(path, 1);
        row->addWidget(choose);
        form->addRow(QStringLiteral("Journal:"), row);
        wheel = new QComboBox(dialog);
        wheel->setObjectName(QStringLiteral("WheelName"));
        wheel->setEditable(true);
        form->addRow(QStringLiteral("Wheel:"), wheel);
        fillWheels(wheel0);
        QObject::connect(choose, &QPushButton::clicked, dialog, [this, dialog] {
            const QString chosen = QFileDialog::getSaveFileName(
                dialog, QStringLiteral("Journal"), path->text(),
                QStringLiteral("Wheel journals (*.sqlite);;All files (*)"), nullptr,
                QFileDialog::DontConfirmOverwrite);
            if (!chosen.isEmpty()) {
                path->setText(chosen);
                fillWheels(wheel->currentText());
            }
        });
    }
    void fillWheels(const QString& current) {
        wheel->clear();
        try {
            auto store = openJournal(path->text().toStdString(), OpenMode::ReadOnly);
            for (const WheelInfo& w : store->wheels())
                wheel->addItem(QString::fromStdString(w.name));
        } catch (const std::exception&) {
            // A journal still to be made has no wheels yet.
        }
        wheel->setCurrentText(current.isEmpty() ? QStringLiteral("Table 1") : current);
    }
};

} // namespace

JournalRecorder::JournalRecorder(WindowRoom& form, SessionFiles& files, QObject* parent)
    : QObject(parent), m_form(form), m_files(files) {
    // Once the tick that ends a draw is over, before the next click.
    m_form.OnUnlocked = [this] {
        if (m_statePending || !m_pending.empty())
            QTimer::singleShot(0, this, &JournalRecorder::saveStateWhenDrawn);
    };
}

JournalRecorder::~JournalRecorder() {
    m_form.OnUnlocked = nullptr;
}

QString JournalRecorder::defaultJournal() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("journal.sqlite"));
}

std::optional<std::pair<QString, QString>> JournalRecorder::remembered() {
    QSettings s = settingsStore();
    const QString path = s.value(QStringLiteral("journal/file")).toString();
    const QString wheel = s.value(QStringLiteral("journal/wheel")).toString();
    if (path.isEmpty() || wheel.isEmpty()) return std::nullopt;
    return std::make_pair(path, wheel);
}

void JournalRecorder::startRemembered() {
    if (auto r = remembered()) start(r->first, r->second);
}

QString JournalRecorder::statusText() const {
    if (!m_store) return {};
    return QStringLiteral("Recording to '%1' in %2").arg(m_wheelName, fileName(m_path));
}

bool JournalRecorder::start(const QString& path, const QString& wheel) {
    if (m_store) stop();
    try {
        m_store = openJournal(path.toStdString(), OpenMode::ReadWrite, OpenOptionsHook);
        m_wheel = m_store->openWheel(wheel.toStdString()).id;
    } catch (const std::exception& e) {
        m_store.reset();
        say(QStringLiteral("Not recording"),
            QStringLiteral("Vantel cannot record to '%1' in %2: %3 The window goes on without "
                           "recording.")
                .arg(wheel, QDir::toNativeSeparators(path), QString::fromStdString(e.what())));
        return false;
    }
    m_path = path;
    m_wheelName = wheel;
    QSettings s = settingsStore();
    s.setValue(QStringLiteral("journal/file"), path);
    s.setValue(QStringLiteral("journal/wheel"), wheel);
    begin(true);
    if (m_store) emit statusChanged(statusText());
    return m_store != nullptr;
}

void JournalRecorder::stop() {
    if (m_store) {
        guardedWrite([&] { m_store->endNight(m_night, nowSeconds()); });
        m_store.reset();
    }
    m_pending.clear();
    QSettings s = settingsStore();
    s.remove(QStringLiteral("journal"));
    emit statusChanged(QString());
}

// A night to record into: the open one resumed when the player wants it, or a
// new one holding the spins the window has now.
void JournalRecorder::begin(bool offerResume) {
    const auto& entered = m_form.spinUndo().history().entered();
    m_known = entered.size();
    m_statePending = false;
    m_pending.clear();
    std::optional<NightInfo> open;
    if (!guardedWrite([&] { open = m_store->openNight(m_wheel); })) return;
    if (open && offerResume && (open->spins > 0 || m_store->state(open->id))) {
        const QString when =
            QDateTime::fromSecsSinceEpoch(open->began).toString(QStringLiteral("d MMM yyyy hh:mm"));
        const QString title = QStringLiteral("Resume the night");
        QString text = QStringLiteral("The night recorded to '%1' since %2 was not ended; it has "
                                      "%3 spins. Resume it where it stood?")
                           .arg(m_wheelName, when)
                           .arg(open->spins);
        if (m_known > 0)
            text += QStringLiteral(" Its spins take the place of the %1 spins in the window.")
                        .arg(m_known);
        const bool resume = ResumeHook
                                ? ResumeHook(title, text)
                                : QMessageBox::question(&m_form.widget(), title, text,
                                                        QMessageBox::Yes | QMessageBox::No,
                                                        QMessageBox::Yes) == QMessageBox::Yes;
        if (resume) {
            resumeNight(*open);
            return;
        }
    }
    guardedWrite([&] {
        if (open) m_store->endNight(open->id, nowSeconds());
        m_night = m_store->beginNight(m_wheel, nowSeconds());
        m_lastOrder = 0;
        const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
        for (const vantel::EnteredSpin& e : entered)
            m_lastOrder = m_store->addSpin(m_night, e.number, now);
        if (!m_form.buttonsLocked())
            m_store->saveState(m_night, vantel::sessionText(m_files.session()), m_lastOrder);
        else
            m_statePending = true;
    });
}

// The window as it was after the night's last finished draw, and the spins
// recorded after it (a draw cut short) entered again as redo would.
void JournalRecorder::resumeNight(const vantel::journal::NightInfo& night) {
    m_night = night.id;
    std::optional<JournalStore::NightState> state;
    std::vector<std::pair<std::int64_t, int>> live;
    if (!guardedWrite([&] {
            state = m_store->state(night.id);
            m_store->forEachSpin(m_wheel, night.id, [&](const SpinRecord& r) {
                if (!r.takenBack) live.push_back({r.order, r.number});
            });
        }))
        return;
    vantel::Session session;
    std::int64_t through = 0;
    if (state) {
        try {
            session = vantel::parseSession(state->state, fileName(m_path).toStdString());
            through = state->throughOrder;
        } catch (const vantel::SessionFileError&) {
            // A state that cannot be read: the night's spins are entered anew.
            session = vantel::Session{};
            session.settings = m_form.settings();
        }
    } else {
        session.settings = m_form.settings();
    }
    const bool hadState = state.has_value() && through > 0;
    m_replaying = true;
    if (hadState) m_files.apply(std::move(session));
    m_replaying = false;
    // The state kept next covers the spins entered again so far, no more.
    m_lastOrder = through;
    for (const auto& spin : live)
        if (spin.first > through) m_pending.push_back(spin);
    m_known = m_form.spinUndo().history().entered().size();
    enterPending();
}

void JournalRecorder::enterPending() {
    while (!m_pending.empty() && m_store && !m_form.buttonsLocked()) {
        const int number = m_pending.front().second;
        m_lastOrder = m_pending.front().first;
        m_pending.erase(m_pending.begin());
        m_replaying = true;
        m_form.guarded([&] { m_form.tracker().numberClick(number); });
        m_replaying = false;
        m_statePending = true;
    }
    if (m_statePending) QTimer::singleShot(0, this, &JournalRecorder::saveStateWhenDrawn);
}

void JournalRecorder::historyChanged() {
    if (!m_store) return;
    const auto& entered = m_form.spinUndo().history().entered();
    const std::size_t now = entered.size();
    if (m_replaying) {
        m_known = now;
        return;
    }
    if (now == m_known + 1) {
        m_known = now;
        recordSpin(entered.back().number);
    } else if (now + 1 == m_known) {
        m_known = now;
        const std::string state = vantel::sessionText(m_files.session());
        guardedWrite([&] { m_store->takeBack(m_night, state); });
    } else if (now != m_known) {
        // A session opened in place of the window's: a night of its own.
        guardedWrite([&] { m_store->endNight(m_night, nowSeconds()); });
        if (m_store) begin(false);
    }
}

void JournalRecorder::recordSpin(int number) {
    if (!guardedWrite([&] {
            m_lastOrder = m_store->addSpin(m_night, number, QDateTime::currentMSecsSinceEpoch());
        }))
        return;
    m_statePending = true;
    // A spin without a draw (the first four) is kept at once.
    QTimer::singleShot(0, this, &JournalRecorder::saveStateWhenDrawn);
}

// Once the draw is over, the window's state is kept with the night.
void JournalRecorder::saveStateWhenDrawn() {
    if (!m_store || m_form.buttonsLocked()) return;
    if (m_statePending) {
        m_statePending = false;
        const std::string state = vantel::sessionText(m_files.session());
        guardedWrite([&] { m_store->saveState(m_night, state, m_lastOrder); });
    }
    enterPending();
}

bool JournalRecorder::guardedWrite(const std::function<void()>& write) {
    if (!m_store) return false;
    try {
        write();
        return true;
    } catch (const std::exception& e) {
        failed(e);
        return false;
    }
}

void JournalRecorder::failed(const std::exception& e) {
    const QString where = statusText();
    m_store.reset();
    m_pending.clear();
    emit statusChanged(QString());
    const QString text = QStringLiteral("%1 stopped: %2 The window goes on without recording; the "
                                        "spins recorded before are kept.")
                             .arg(where, QString::fromStdString(e.what()));
    // Said once the procedure that wrote is over: the click goes on meanwhile.
    QTimer::singleShot(0, this, [this, text] { say(QStringLiteral("Recording stopped"), text); });
}

void JournalRecorder::say(const QString& title, const QString& text) {
    if (SayHook) {
        SayHook(title, text);
        return;
    }
    auto* box =
        new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, &m_form.widget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void JournalRecorder::addEntries(QMenu* menu) {
    if (m_store) {
        QAction* stop =
            menu->addAction(QStringLiteral("Stop recording"), this, &JournalRecorder::stop);
        stop->setObjectName(QStringLiteral("StopRecordingEntry"));
        stop->setToolTip(statusText());
    } else {
        QAction* record = menu->addAction(QStringLiteral("Record to a wheel…"), this,
                                          &JournalRecorder::askAndStart);
        record->setObjectName(QStringLiteral("RecordEntry"));
    }
    QAction* import =
        menu->addAction(QStringLiteral("Import spins…"), this, &JournalRecorder::askAndImport);
    import->setObjectName(QStringLiteral("ImportEntry"));
}

void JournalRecorder::askAndStart() {
    QString path, wheel;
    if (AskWheelHook) {
        std::tie(path, wheel) = AskWheelHook();
    } else {
        const auto last = remembered();
        QDialog dialog(&m_form.widget());
        dialog.setWindowTitle(QStringLiteral("Record to a wheel"));
        auto* form = new QFormLayout;
        auto* intro = new QLabel(QStringLiteral("Every spin entered from now on is kept in the "
                                                "journal, night by night, for the wheel's "
                                                "figures; a night cut short is resumed at the "
                                                "next start."),
                                 &dialog);
        intro->setWordWrap(true);
        WheelFields fields(&dialog, form, last ? last->first : defaultJournal(),
                           last ? last->second : QString());
        auto* buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Record"));
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(intro);
        layout->addLayout(form);
        layout->addWidget(buttons);
        if (dialog.exec() != QDialog::Accepted) return;
        path = fields.path->text().trimmed();
        wheel = fields.wheel->currentText().trimmed();
    }
    if (path.isEmpty() || wheel.isEmpty()) return;
    start(path, wheel);
}

std::int64_t JournalRecorder::importText(const QString& path, const QString& wheel,
                                         const std::string& text, const QString& origin) {
    try {
        const ImportedSpins spins = parseImport(text, origin.toStdString());
        const bool same = m_store && QFileInfo(path) == QFileInfo(m_path);
        std::unique_ptr<JournalStore> own;
        JournalStore* store = m_store.get();
        if (!same) {
            own = openJournal(path.toStdString(), OpenMode::ReadWrite, OpenOptionsHook);
            store = own.get();
        }
        const auto id = store->openWheel(wheel.toStdString()).id;
        importSpins(*store, id, spins, origin.toStdString(), nowSeconds());
        return static_cast<std::int64_t>(spins.spins.size());
    } catch (const std::exception& e) {
        say(QStringLiteral("Spins not imported"),
            QStringLiteral("%1 Nothing was imported.").arg(QString::fromStdString(e.what())));
        return 0;
    }
}

void JournalRecorder::askAndImport() {
    QDialog dialog(&m_form.widget());
    dialog.setWindowTitle(QStringLiteral("Import spins"));
    auto* form = new QFormLayout;
    const auto last = remembered();
    WheelFields fields(&dialog, form,
                       m_store ? m_path
                       : last  ? last->first
                               : defaultJournal(),
                       m_store ? m_wheelName
                       : last  ? last->second
                               : QString());
    auto* paste = new QPlainTextEdit(&dialog);
    paste->setObjectName(QStringLiteral("PastedSpins"));
    paste->setPlaceholderText(QStringLiteral("Paste spins here: numbers from 0 to 36, separated "
                                             "by commas, semicolons, blanks or new lines"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    QPushButton* importPasted =
        buttons->addButton(QStringLiteral("Import pasted"), QDialogButtonBox::AcceptRole);
    QPushButton* importFile =
        buttons->addButton(QStringLiteral("Import file…"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    const auto done = [&](std::int64_t spins, const QString& origin) {
        if (spins == 0) return;
        say(QStringLiteral("Spins imported"),
            QStringLiteral("%1 spins from %2 are a night of their own in '%3'.")
                .arg(spins)
                .arg(origin, fields.wheel->currentText()));
        dialog.accept();
    };
    connect(importPasted, &QPushButton::clicked, &dialog, [&] {
        done(importText(fields.path->text(), fields.wheel->currentText(),
                        paste->toPlainText().toStdString(), QStringLiteral("pasted text")),
             QStringLiteral("the pasted text"));
    });
    connect(importFile, &QPushButton::clicked, &dialog, [&] {
        const QString file = QFileDialog::getOpenFileName(
            &dialog, QStringLiteral("Import spins"), {},
            QStringLiteral("Spins and sessions (*.txt *.csv *.vantel);;All files (*)"));
        if (file.isEmpty()) return;
        std::string text;
        try {
            text = readImportFile(file.toStdString());
        } catch (const std::exception& e) {
            say(QStringLiteral("Spins not imported"), QString::fromStdString(e.what()));
            return;
        }
        done(importText(fields.path->text(), fields.wheel->currentText(), text, fileName(file)),
             fileName(file));
    });
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(paste, 1);
    layout->addWidget(buttons);
    dialog.resize(480, 360);
    paste->setFocus();
    dialog.exec();
}
