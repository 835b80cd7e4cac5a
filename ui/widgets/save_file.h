#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// The one way the program writes a file the player asked for: the bytes go to
// a temporary file beside the target, and only once they are wholly written
// and flushed to the disk does it take the target's name.

// Replaces path with bytes only once they are wholly written and flushed (QSaveFile); on failure
// the old file is left byte for byte.
struct SaveOutcome {
    bool ok = false;
    QString error; // one clear sentence naming the file and the reason
};
SaveOutcome saveWhole(const QString& path, const QByteArray& bytes);

// The same, and on failure shows one warning message box over parent (title naming what failed);
// returns ok.
bool saveWholeOrSay(QWidget* parent, const QString& path, const QByteArray& bytes);

// The failure of a file whose contents could not be made, for the reason
// given: nothing was written.
SaveOutcome notSaved(const QString& path, const QString& reason);
// Shows outcome's failure as saveWholeOrSay does; returns outcome.ok.
bool sayIfNotSaved(QWidget* parent, const QString& path, const SaveOutcome& outcome);
