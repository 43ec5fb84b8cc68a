#include "app/statusline.h"

#include "pedal/replyplan.h"

#include <QStringList>

namespace StatusLine {

namespace {

const QLatin1String kSeparator(" | ");

bool known(const QString &identity)
{
    return !identity.isEmpty() && identity != QLatin1String("xx");
}

/// "Message 3 of pedal 1", from selector indexes; parts without a selection are left out.
QString slotName(int pedal, int message)
{
    QString text = message >= 0 ? QStringLiteral("Message %1").arg(message + 1)
                                : QStringLiteral("Message");
    if (pedal >= 0)
        text += QStringLiteral(" of pedal %1").arg(pedal + 1);
    return text;
}

/// Whole seconds, rounded up: a window is never said to be shorter than it is.
int seconds(int ms)
{
    return ms <= 0 ? 0 : (ms + 999) / 1000;
}

int byteAt(const QByteArray &frame, int i)
{
    return i < frame.size() ? quint8(frame.at(i)) : -1;
}

} // namespace

QString text(const State &state)
{
    QStringList parts;
    switch (state.link) {
    case Link::Closed:
        parts << QStringLiteral("Not connected");
        break;
    case Link::Upgrade:
        parts << QStringLiteral("In use by firmware upgrade");
        break;
    case Link::Window:
        if (state.reconnected)
            parts << (state.port.isEmpty() ? QStringLiteral("Reconnected")
                                           : QStringLiteral("Reconnected to %1").arg(state.port));
        else
            parts << (state.port.isEmpty() ? QStringLiteral("Connected")
                                           : QStringLiteral("Connected to %1").arg(state.port));
        if (known(state.model) || known(state.version)) {
            QStringList identity;
            if (known(state.model))
                identity << state.model;
            if (known(state.version))
                identity << QStringLiteral("firmware %1").arg(state.version);
            parts << identity.join(QLatin1Char(' '));
        }
        if (state.pedals == 1)
            parts << QStringLiteral("1 pedal");
        else if (state.pedals >= 0)
            parts << QStringLiteral("%1 pedals").arg(state.pedals);
        break;
    }
    if (!state.note.isEmpty())
        parts << state.note;
    return parts.join(kSeparator);
}

QString replyNote(int type, const QByteArray &frame, const Command &last)
{
    switch (type) {
    case 0: {
        // Six-byte status frames travel in this class too and name no count.
        const int pedals = byteAt(frame, 5);
        if (pedals < 0 || pedals >= 10)
            return QString();
        return pedals == 1 ? QStringLiteral("Controller has 1 pedal")
                           : QStringLiteral("Controller has %1 pedals").arg(pedals);
    }
    case 1: {
        const int status = byteAt(frame, 7);
        if (status < 0)
            return QString();
        const QString what = last.kind == Command::Set ? slotName(last.pedal, last.message)
                                                       : QStringLiteral("Message");
        if (status == 0)
            return what + QStringLiteral(" saved");
        const QString reason = ReplyPlan::setStatusText(status).trimmed();
        if (reason.isEmpty())
            return QStringLiteral("%1 not saved (status %2)").arg(what).arg(status);
        return QStringLiteral("%1 not saved: %2").arg(what, reason);
    }
    case 2: {
        PedalMessage m;
        if (!ReplyPlan::decodeReply(frame, &m))
            return QStringLiteral("Reply without a stored message");
        return slotName(m.pedal, m.message) + QStringLiteral(" loaded");
    }
    case 3:
        if (last.kind == Command::FactoryReset)
            return QStringLiteral("Factory settings restored");
        if (last.kind == Command::Delete && last.pedal >= 0)
            return QStringLiteral("Messages of pedal %1 deleted").arg(last.pedal + 1);
        return QStringLiteral("Delete confirmed");
    default:
        return QString();
    }
}

QString notConnectedNote(Action action)
{
    switch (action) {
    case Action::Set:
        return QStringLiteral("Not sent: connect a controller to set a message");
    case Action::Check:
        return QStringLiteral("Not sent: connect a controller to read a message");
    case Action::Delete:
        return QStringLiteral("Not sent: connect a controller to delete messages");
    }
    return QString();
}

QString lostNote(const QString &port)
{
    return port.isEmpty() ? QStringLiteral("Controller unplugged")
                          : QStringLiteral("Controller on %1 unplugged").arg(port);
}

QString openFailedNote(const QString &port)
{
    return QStringLiteral("Could not open %1").arg(port.isEmpty() ? QStringLiteral("the port")
                                                                 : port);
}

QString waitingNote(const QString &port, int windowMs)
{
    return lostNote(port)
           + QStringLiteral("; waiting up to %1 s for it to return").arg(seconds(windowMs));
}

QString notReturnedNote(const QString &port, int windowMs)
{
    const QString who = port.isEmpty() ? QStringLiteral("Controller")
                                       : QStringLiteral("Controller on %1").arg(port);
    return who + QStringLiteral(" did not return within %1 s").arg(seconds(windowMs));
}

QString ambiguousNote(const QStringList &ports)
{
    return QStringLiteral("Several controllers like the unplugged one appeared (%1): choose one "
                          "and press Connect")
        .arg(ports.join(QStringLiteral(", ")));
}

QString reconnectFailedNote(const QString &port, bool retrying)
{
    return QStringLiteral("Could not reconnect to %1; %2")
        .arg(port.isEmpty() ? QStringLiteral("the controller") : port,
             retrying ? QStringLiteral("trying again")
                      : QStringLiteral("press Connect to try again"));
}

} // namespace StatusLine
