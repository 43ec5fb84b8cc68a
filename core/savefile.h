#pragma once

#include <QByteArray>
#include <QString>

/// Writes bytes to path atomically (QSaveFile): the file is replaced only
/// once every byte is written, and is left as it was otherwise. False with
/// the failed step and the system's reason in error ("cannot open the file:
/// ...", "cannot write the file: ...", "cannot complete the file: ...").
bool saveFileAtomically(const QString &path, const QByteArray &bytes, QString *error);
