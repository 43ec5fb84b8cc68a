#pragma once

#include <QByteArray>
#include <QString>

/// The identity and version replies of the controller's text command set.
namespace Identity {

/// AA CC 02 00 01 0D 0A: asks for the model name.
QByteArray identityQuery();
/// AA CC 02 00 03 0D 0A: asks for the firmware version.
QByteArray versionQuery();

/// What the link itself reads from a receive buffer.
struct LinkReading
{
    enum Kind {
        Nothing,
        Model,          ///< a model name such as "ZT-3"; the version query is due
        Version,        ///< a complete version reply; text holds "V..."
        PartialVersion, ///< AA CC 06 56 without its CR LF yet
    };
    Kind kind = Nothing;
    QString text;
};
LinkReading readForLink(const QByteArray &data);

/// What the main window reads from a receive buffer.
struct WindowReading
{
    bool ignored = false; ///< erase confirmation, a seven-byte buffer or a reset reply
    bool hasModel = false;
    QString model;
    bool hasVersion = false;
    QString version;
};
WindowReading readForWindow(const QByteArray &data);

/// True when byte 6 of the buffer is the letter 'o'; such buffers never
/// complete an identity.
bool byteSixIsO(const QByteArray &data);

/// 2 for the "30" models, 1 otherwise.
int modelVariant(const QString &model);

} // namespace Identity
