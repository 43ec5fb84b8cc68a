#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// The texts of the main window's status line, made from what the window has
/// heard: who holds the link, the port, the controller's identity, its pedal
/// count, and the last thing worth a note (a reply, a refused command, a
/// lost port). No widget is touched here.
namespace StatusLine {

enum class Link { Closed, Window, Upgrade };

/// A command the window sent, remembered so that its reply can be named
/// (set and delete replies do not say which slot they answer).
struct Command {
    enum Kind { None, Set, Delete, FactoryReset };
    Kind kind = None;
    int pedal = -1;   ///< selector index; -1 when no pedal was selected
    int message = -1; ///< selector index (Set only)
};

struct State {
    Link link = Link::Closed;
    /// The port the window opened last (the upgrade dialog's own while it holds the link).
    QString port;
    /// The window opened the port by itself, to a controller that came back.
    bool reconnected = false;
    /// Identity as the window records it: "xx" (or empty) while not reported.
    QString model;
    QString version;
    int pedals = -1; ///< from the handshake reply; -1 until one came
    QString note;    ///< the last activity; empty for none
};

/// The whole line, for example
/// "Connected to ttyACM0 | QRX-30 firmware V1.2 | 3 pedals | Message 3 of pedal 1 saved".
QString text(const State &state);

/// The note for a reply frame of types 0..3 (Protocol::MsgPackage::type);
/// empty for a frame that earns none (live events, unknown types).
QString replyNote(int type, const QByteArray &frame, const Command &last);

enum class Action { Set, Check, Delete };
/// A command refused because no controller is connected.
QString notConnectedNote(Action action);

/// The controller on port went away while connected.
QString lostNote(const QString &port);
/// The port could not be opened.
QString openFailedNote(const QString &port);

/// The controller on port went away; the window waits for it to come back.
QString waitingNote(const QString &port, int windowMs);
/// The window waited for the controller on port in vain.
QString notReturnedNote(const QString &port, int windowMs);
/// Several controllers like the lost one came back, on these ports.
QString ambiguousNote(const QStringList &ports);
/// Reopening port failed; retrying: another try follows.
QString reconnectFailedNote(const QString &port, bool retrying);

} // namespace StatusLine
