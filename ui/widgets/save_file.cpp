#include "widgets/save_file.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

namespace {

SaveOutcome failure(const QString& path, QString reason) {
    reason = reason.trimmed();
    if (reason.isEmpty()) reason = QStringLiteral("the system gave no reason");
    // The reason reads as part of the sentence.
    if (reason.size() > 1 && reason[0].isUpper() && reason[1].isLower())
        reason[0] = reason[0].toLower();
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return {false, QStringLiteral("%1 was not saved: %2; any file that was there is unchanged.")
                       .arg(QDir::toNativeSeparators(path), reason)};
}

} // namespace

SaveOutcome saveWhole(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) return failure(path, QStringLiteral("no file name was given"));
    if (QFileInfo(path).isDir()) return failure(path, QStringLiteral("it is a folder"));
    QSaveFile file(path);
    // Never write into the target itself, not even where no temporary file
    // can be made beside it.
    file.setDirectWriteFallback(false);
    // Unbuffered, and flushed by hand before the commit: a write the disk
    // refuses must be seen here, for the commit does not look at what the
    // close flushes last.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(path, reason);
    }
    // Flushes, syncs to the disk and renames; on failure the temporary goes.
    if (!file.commit()) return failure(path, file.errorString());
    return {true, {}};
}

SaveOutcome notSaved(const QString& path, const QString& reason) {
    return failure(path, reason);
}

bool saveWholeOrSay(QWidget* parent, const QString& path, const QByteArray& bytes) {
    return sayIfNotSaved(parent, path, saveWhole(path, bytes));
}

bool sayIfNotSaved(QWidget* parent, const QString& path, const SaveOutcome& outcome) {
    if (!outcome.ok) {
        QMessageBox box(QMessageBox::Warning,
                        QStringLiteral("Could not save %1").arg(QFileInfo(path).fileName()),
                        outcome.error, QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("SaveFailedBox"));
        box.exec();
    }
    return outcome.ok;
}
