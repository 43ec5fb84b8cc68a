#pragma once

#include "backup/controllerbackup.h"
#include "device/protocol.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

/// Reads every message slot of a controller into a ControllerBackup, or
/// writes a backup back and reads each definition again to compare. One job
/// at a time, one command in flight: the engine writes only through the send
/// function its owner gives it, and is handed the link's frames by its owner
/// (takeFrame); the frames of its own job go no further.
///
/// A job ends on its own, by cancel(), when a reply does not come within the
/// reply time limit, or when a command cannot be written; finished() then
/// follows from the event loop, never from within takeFrame(), so its
/// receiver may open boxes.
class BackupEngine : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultReplyTimeoutMs = 1000;

    /// Writes a command to the controller; false when it could not be written.
    using Send = std::function<bool(const QByteArray &)>;

    /// What decides the ask form, as for the editor's Check button.
    struct AskContext {
        QString deviceText;      ///< the selected device-list entry
        int extractedValue = -1; ///< the controller's last status value; -1 before any
        /// The pedal type index (0..2) a long ask names during a backup; a
        /// restore's read-back names the type of the definition it wrote.
        int pedalTypeIndex = 0;
    };

    enum class Job { None, Backup, Restore };
    enum class Ending { Completed, Cancelled, NoAnswer, LinkClosed };

    struct Outcome {
        Job job = Job::None;
        Ending ending = Ending::Completed;
        /// What happened, in sentences for the user.
        QString message;
        /// Backup: every slot read so far (partial unless completed).
        ControllerBackup backup;
        /// Restore: the slots whose set command the controller accepted.
        QList<QPair<int, int>> written;
        /// Restore: one line per slot that was refused or read back otherwise.
        QStringList mismatches;
        int total = 0; ///< slots to read, or definitions to write
    };

    explicit BackupEngine(Send send, QObject *parent = nullptr);
    ~BackupEngine() override;

    /// Time each reply may take; tests shorten it.
    void setReplyTimeout(int ms) { m_replyTimeoutMs = ms; }
    int replyTimeout() const { return m_replyTimeoutMs; }

    Job job() const { return m_job; }
    /// The outcome of the job that ended last, as finished() carried it.
    const Outcome &lastOutcome() const { return m_outcome; }
    bool isRunning() const { return m_job != Job::None; }

    /// Reads slots 0..15 of pedals 0..header.pedalCount-1; model, firmware
    /// version and pedal count are taken from header. False when a job runs
    /// or the pedal count is out of range.
    bool startBackup(const ControllerBackup &header, const AskContext &ask);
    /// Writes every definition of a checked backup and reads each back.
    /// Empty slots are not written (the controller has no command to empty
    /// one slot). False when a job runs or there is nothing to write.
    bool startRestore(const ControllerBackup &backup, const AskContext &ask);
    /// Ends the job under way; its outcome says what was done.
    void cancel();

    /// A frame from the link: true when it belongs to the job (a set or
    /// configuration reply while a job runs, or the late answer to a command
    /// of a job that ended), which then goes no further.
    bool takeFrame(const Protocol::MsgPackage &frame);

signals:
    void progress(int done, int total);
    void finished(const BackupEngine::Outcome &outcome);

private:
    /// The reply the command in flight waits for.
    struct Awaited {
        int type = -1; ///< Protocol::FrameType; -1 when nothing is awaited
        int pedal = -1;
        int slot = -1;
    };

    void begin(Job job, const AskContext &ask);
    bool matches(const Awaited &awaited, const Protocol::MsgPackage &frame) const;
    QByteArray askFor(int pedal, int slot, int longTypeIndex) const;
    bool sendAwaiting(const QByteArray &command, int type, int pedal, int slot);
    void askNextBackupSlot();
    void onBackupReply(const Protocol::MsgPackage &frame);
    void writeNextDefinition();
    void onSetReply(const Protocol::MsgPackage &frame);
    void onReadBack(const Protocol::MsgPackage &frame);
    void onTimeout();
    void finish(Ending ending, const QString &message);
    QString restoreSummary(bool completed) const;

    Send m_send;
    int m_replyTimeoutMs = defaultReplyTimeoutMs;
    QTimer *m_timer = nullptr;

    Job m_job = Job::None;
    AskContext m_ask;
    Awaited m_awaited;
    /// After a job ended with a command in flight: its answer is still swallowed
    /// for one reply time limit.
    Awaited m_straggler;
    QElapsedTimer m_stragglerClock;

    int m_index = 0; ///< backup: slot number over all pedals; restore: entry index
    Outcome m_outcome;
    QList<ControllerBackup::Entry> m_toWrite;
    int m_emptySkipped = 0;
};
