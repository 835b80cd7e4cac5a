#pragma once

// Temporary stand-in with the declared API of the one file writer, until it
// lands on main; replaced by that one on merge.

#include <QByteArray>
#include <QString>

class QWidget;

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
