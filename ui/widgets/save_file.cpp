#include "widgets/save_file.h"

#include <QMessageBox>
#include <QSaveFile>

SaveOutcome saveWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return {false,
                QStringLiteral("%1 could not be written: %2.").arg(path, file.errorString())};
    return {true, {}};
}

bool saveWholeOrSay(QWidget* parent, const QString& path, const QByteArray& bytes) {
    const SaveOutcome outcome = saveWhole(path, bytes);
    if (!outcome.ok) QMessageBox::warning(parent, QStringLiteral("Not saved"), outcome.error);
    return outcome.ok;
}
