#pragma once

#include "sim/controllerbehaviour.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

/// A pedal controller behind a pseudo-terminal. The application opens the
/// slave side (portName(), e.g. /dev/pts/7) with QSerialPort as it would a
/// real controller's port; the controller answers on the master side as
/// ControllerBehaviour decides, records everything it receives with its time,
/// and can be made to misbehave: late, split or missing replies, garbage,
/// live events, and a cable pulled out.
///
/// Output is only sent while a host has the port open, as a controller whose
/// port nobody reads drops what it sends; replies are queued in order.
///
/// In upgrade mode the controller is its bootloader: it answers the identity
/// and version queries, and after an erase command and its "ERASE END" takes
/// every byte it receives as firmware image, until it is unplugged or
/// re-enumerated. The erase command also loses every stored message
/// definition, as a factory reset does.
class SimulatedController : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultGapMs = 50;
    static constexpr int defaultUpgradeReappearDelayMs = 300;
    static constexpr int defaultEraseDelayMs = 200;

    enum class Mode { Normal, Upgrade };

    /// Times are milliseconds on the controller's own clock (elapsedMs()).
    struct Chunk {
        qint64 ms;
        QByteArray bytes;
    };
    struct TimedCommand {
        qint64 ms;
        ControllerCommand command;
    };

    /// A controller of the named model (see SimulatedModel::all()), plugged in.
    explicit SimulatedController(const QString &modelName = QStringLiteral("ZT-3"),
                                 QObject *parent = nullptr);
    ~SimulatedController() override;

    ControllerBehaviour &behaviour() { return m_behaviour; }
    const SimulatedModel &model() const { return m_behaviour.model(); }
    /// Unique per controller object, e.g. "SIM0003".
    QString serialNumber() const { return m_serialNumber; }
    /// USB instance id in the current mode, e.g. USB\VID_3A1D&PID_5203\SIM0003.
    QString instanceId() const;
    /// What the bus reports in the current mode: "Veltrano ZT-3 MIDI", or
    /// "ZT-3 Bootloader" in upgrade mode.
    QString usbDescription() const;
    int vendorId() const { return model().vendorId; }
    /// The model's product id, or its bootloader product id in upgrade mode.
    int productId() const;
    /// The slave path while plugged in, else empty.
    QString portName() const { return m_portName; }
    bool isPluggedIn() const { return m_master >= 0; }
    /// Whether some program has the slave side open.
    bool isHostConnected() const { return m_hostConnected; }
    QString errorString() const { return m_errorString; }

    /// Opens a fresh pseudo-terminal (a new port name) unless plugged in
    /// already. A re-enumeration under way (setMode()) ends at once.
    bool plugIn();
    /// Closes the master side at once, like a cable pulled out: the host's
    /// tty is hung up, as a USB serial device's is when it is unplugged, and
    /// pending output is lost. Stored definitions are kept, so is the image
    /// received; an erase or image transfer under way is abandoned, and so
    /// is a re-enumeration. (Qt 5.15 on Linux reports a hung-up tty as
    /// ReadError, again on every event loop pass until the port is closed.)
    void vanish();

    /// The mode of the present pseudo-terminal; a re-enumeration changes it
    /// when the new one appears.
    Mode mode() const { return m_mode; }
    /// Re-enumerates in the given mode: the current pseudo-terminal vanishes
    /// (as vanish()) and, after delayMs (0 = at once, synchronously), a fresh
    /// one appears with a new port name and the mode's USB description and
    /// product id; modeChanged() follows.
    void setMode(Mode mode, int delayMs = 0);
    /// Normal mode: the enter-upgrade-mode command AA CC 02 00 09 0D 0A makes
    /// the controller leave normal mode and reappear in upgrade mode after
    /// this delay; < 0 ignores the command.
    void setUpgradeReappearDelay(int ms) { m_upgradeReappearDelayMs = ms; }
    /// Upgrade mode: time from the erase command to "ERASE END" (reply delay
    /// and split settings apply to it as well); < 0 never confirms the erase.
    void setEraseDelay(int ms) { m_eraseDelayMs = ms; }
    /// Upgrade mode: vanish (cable pulled) as soon as at least this many image
    /// bytes have arrived, after the read that brought them; < 0 never.
    void vanishAfterImageBytes(qint64 count) { m_vanishAfterImageBytes = count; }
    /// Every image byte received since the last erase command, in order.
    QByteArray receivedImage() const { return m_image; }
    /// Number of reads that delivered image bytes since the last erase command.
    int imageChunks() const { return m_imageChunks; }
    bool isReceivingImage() const { return m_imagePhase; }

    qint64 elapsedMs() const { return m_clock.elapsed(); }
    QList<Chunk> received() const { return m_received; }
    QByteArray receivedBytes() const;
    QList<TimedCommand> commands() const { return m_commands; }
    /// The bytes of the received commands of one kind, in order.
    QList<QByteArray> commandsOf(ControllerCommand::Kind kind) const;
    QList<Chunk> sent() const { return m_sent; }
    void clearRecords();

    /// Time between a command and the start of its reply.
    void setReplyDelay(int ms) { m_replyDelayMs = ms; }
    /// A silent controller records commands but answers none.
    void setSilent(bool silent) { m_silent = silent; }
    /// Cuts the next reply frame at the given byte offsets; the pieces follow
    /// each other gapMs apart, so the host reads them separately.
    void splitNextReply(const QList<int> &cuts, int gapMs = defaultGapMs);
    /// The same for every reply frame until called with no cuts.
    void splitAllReplies(const QList<int> &cuts, int gapMs = defaultGapMs);

    /// Sends bytes after delayMs, behind everything already queued.
    void send(const QByteArray &bytes, int delayMs = 0);
    /// Sends bytes cut at the given offsets, the pieces gapMs apart.
    void sendSplit(const QByteArray &bytes, const QList<int> &cuts, int gapMs = defaultGapMs);
    /// The six-byte status reply F0 00 21 5E xx F7.
    void sendStatus(quint8 value);
    /// `count` pseudo-random bytes (never F0, so they open no frame).
    void sendGarbage(int count, quint32 seed = 1);
    /// One four-byte USB-MIDI event packet.
    void sendEvent(quint8 status, quint8 data1, quint8 data2);
    /// Sends live events at the given rate while a host is connected: the
    /// sequence given, or ControllerBehaviour's demonstration pattern.
    void startEvents(double perSecond, const QList<QByteArray> &sequence = {});
    void stopEvents();

signals:
    void bytesReceived(const QByteArray &bytes);
    /// kind is a ControllerCommand::Kind.
    void commandReceived(int kind, const QByteArray &bytes);
    void bytesSent(const QByteArray &bytes);
    void hostConnectedChanged(bool connected);
    /// mode is a Mode; emitted when the re-enumerated controller appears.
    void modeChanged(int mode);
    /// total: image bytes received since the last erase command.
    void imageBytesReceived(qint64 total);

private:
    struct Pending {
        qint64 due;
        QByteArray bytes;
    };

    void onMasterReadable();
    void onMasterWritable();
    void onWatchEvent();
    void refreshHostState();
    void setHostConnected(bool connected);
    void handleReceived(const QByteArray &bytes);
    void handleCommand(const ControllerCommand &command);
    void handleImage(const QByteArray &bytes);
    void onEraseDone();
    void endUpgradeSession();
    void queueReply(const QByteArray &frame);
    void enqueue(const QByteArray &bytes, qint64 due);
    void flushDue();
    void writeOut(const QByteArray &bytes);
    void onEventTick();
    void closeDescriptors();

    ControllerBehaviour m_behaviour;
    QString m_serialNumber;
    QString m_portName;
    QString m_previousPortName;
    QString m_errorString;
    int m_master = -1;
    int m_watch = -1;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QSocketNotifier *m_watchNotifier = nullptr;
    bool m_hostConnected = false;

    QElapsedTimer m_clock;
    QList<Chunk> m_received;
    QList<TimedCommand> m_commands;
    QList<Chunk> m_sent;

    int m_replyDelayMs = 0;
    bool m_silent = false;
    QList<int> m_nextCuts;
    int m_nextGapMs = defaultGapMs;
    QList<int> m_allCuts;
    int m_allGapMs = defaultGapMs;

    QList<Pending> m_outbox;
    QByteArray m_backlog;
    QTimer *m_sendTimer = nullptr;

    QTimer *m_eventTimer = nullptr;
    QList<QByteArray> m_eventSequence;
    int m_eventStep = 0;

    Mode m_mode = Mode::Normal;
    Mode m_nextMode = Mode::Normal;
    QTimer *m_reappearTimer = nullptr;
    int m_upgradeReappearDelayMs = defaultUpgradeReappearDelayMs;
    int m_eraseDelayMs = defaultEraseDelayMs;
    qint64 m_vanishAfterImageBytes = -1;
    QTimer *m_eraseTimer = nullptr;
    bool m_imagePhase = false;
    QByteArray m_image;
    int m_imageChunks = 0;
};
