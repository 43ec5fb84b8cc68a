#pragma once

#include <QByteArray>
#include <QMetaType>

namespace Protocol {

/// Frame types delivered by the link's framing.
enum FrameType {
    HandshadeReplyCmd = 0, ///< 6/7-byte short reply: handshake (pedal count) or status
    SetPadelReply = 1,     ///< 8/9-byte answer to a set command, byte 5 = 03
    CheckPadelReply = 2,   ///< 23/24-byte stored message configuration, byte 5 = 04
    DeletePadelReply = 3,  ///< 7/8-byte answer to a delete command, byte 5 = 05
    PadelUploadCmd = 4,    ///< four-byte USB-MIDI event of a pedal
};

struct MsgPackage {
    int type = 0;
    QByteArray frame;
};

} // namespace Protocol

Q_DECLARE_METATYPE(Protocol::MsgPackage)
