#pragma once

#include "tracker_observer.h"
#include "tracker_shown.h"

#include <QObject>

#include <string>

// The tracker's notifications as signals: the one object through which the
// window's widgets follow what the tracker keeps. Each signal is emitted at
// once, inside the tracker's step that made the change.
class TrackerSignals final : public QObject, public vantel::TrackerObserver {
    Q_OBJECT
  public:
    explicit TrackerSignals(QObject* parent = nullptr) : QObject(parent) {}

    void litChanged(int n, bool lit) override { emit markLit(n, lit); }
    void stripMoved(const vantel::HistoryStrip& strip) override { emit stripShown(strip); }
    void stakeChanged(const std::string& text) override { emit stakeShown(text); }
    void progressChanged(int progress) override { emit progressShown(progress); }
    void lockChanged(bool locked) override { emit lockShown(locked); }
    void settingTextChanged(vantel::SpinSetting s, const std::string& text) override {
        emit settingTextShown(s, text);
    }
    void timerChanged(vantel::TimerId id, bool on, int interval, bool restart) override {
        emit timerRequested(id, on, interval, restart);
    }

  signals:
    void markLit(int n, bool lit);
    void stripShown(const vantel::HistoryStrip& strip);
    void stakeShown(const std::string& text);
    void progressShown(int progress);
    void lockShown(bool locked);
    void settingTextShown(vantel::SpinSetting s, const std::string& text);
    void timerRequested(vantel::TimerId id, bool on, int interval, bool restart);
};
