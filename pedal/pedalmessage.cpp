#include "pedal/pedalmessage.h"

namespace {

// Field order on the wire; one table shared by the encoder and the decoder.
constexpr quint8 PedalMessage::*fieldOrder[PedalMessage::FieldCount] = {
    &PedalMessage::pedal,        &PedalMessage::message,     &PedalMessage::pedalType,
    &PedalMessage::channel,      &PedalMessage::event,       &PedalMessage::dataA,
    &PedalMessage::dataB,        &PedalMessage::valueA,      &PedalMessage::valueB,
    &PedalMessage::triggerMode,  &PedalMessage::gain,        &PedalMessage::triggerLevel,
    &PedalMessage::pressNote,    &PedalMessage::releaseNote, &PedalMessage::curve,
    &PedalMessage::curveCode,    &PedalMessage::triggerLevelHigh,
};

void encode(const PedalMessage &m, char *out)
{
    for (int i = 0; i < PedalMessage::FieldCount; ++i)
        out[i] = static_cast<char>(m.*fieldOrder[i]);
}

PedalMessage decode(const char *in)
{
    PedalMessage m;
    for (int i = 0; i < PedalMessage::FieldCount; ++i)
        m.*fieldOrder[i] = static_cast<quint8>(in[i]);
    return m;
}

} // namespace

QByteArray PedalMessage::toFields() const
{
    QByteArray fields(FieldCount, '\0');
    encode(*this, fields.data());
    return fields;
}

bool PedalMessage::fromFields(const QByteArray &fields, PedalMessage *out)
{
    if (fields.size() < FieldCount)
        return false;
    *out = decode(fields.constData());
    return true;
}

void PedalMessage::writeTo(QByteArray &frame) const
{
    if (frame.size() < FrameOffset + FieldCount)
        frame.resize(FrameOffset + FieldCount);
    encode(*this, frame.data() + FrameOffset);
}

bool PedalMessage::readFrom(const QByteArray &frame, PedalMessage *out)
{
    if (frame.size() < FrameOffset + FieldCount)
        return false;
    *out = decode(frame.constData() + FrameOffset);
    return true;
}
