#include "core/savefile.h"

#include <QSaveFile>

bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    const auto fail = [&](const QString &step) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(step, file.errorString());
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot open the file"));
    if (file.write(bytes) != bytes.size())
        return fail(QStringLiteral("cannot write the file"));
    if (!file.commit())
        return fail(QStringLiteral("cannot complete the file"));
    return true;
}
