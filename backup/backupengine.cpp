#include "backup/backupengine.h"

#include "core/logging.h"
#include "pedal/configcommands.h"
#include "pedal/replyplan.h"

#include <QJsonArray>
#include <QTimer>

namespace {

int byteAt(const QByteArray &frame, int i)
{
    return i < frame.size() ? quint8(frame.at(i)) : -1;
}

QString valueText(const QJsonValue &v)
{
    if (v.isUndefined())
        return QStringLiteral("nothing");
    if (v.isString())
        return v.toString();
    if (v.isArray()) {
        QStringList parts;
        const QJsonArray a = v.toArray();
        for (const QJsonValue &item : a)
            parts.append(valueText(item));
        return parts.join(QStringLiteral(" to "));
    }
    return QString::number(v.toDouble());
}

/// "channel 1 read back as 2; ..." for every field that differs, or the raw
/// bytes when only bytes outside the named fields differ.
QString differences(const PedalMessage &written, const PedalMessage &read)
{
    const QJsonObject a = ControllerBackup::describe(written);
    const QJsonObject b = ControllerBackup::describe(read);
    QStringList keys = a.keys() + b.keys();
    keys.removeDuplicates();
    QStringList parts;
    for (const QString &key : qAsConst(keys)) {
        if (a.value(key) != b.value(key))
            parts.append(QStringLiteral("%1 %2 read back as %3")
                             .arg(key, valueText(a.value(key)), valueText(b.value(key))));
    }
    if (parts.isEmpty())
        parts.append(QStringLiteral("bytes %1 read back as %2")
                         .arg(ControllerBackup::hexBytes(written), ControllerBackup::hexBytes(read)));
    return parts.join(QStringLiteral("; "));
}

} // namespace

BackupEngine::BackupEngine(Send send, QObject *parent)
    : QObject(parent), m_send(std::move(send)), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &BackupEngine::onTimeout);
}

BackupEngine::~BackupEngine() = default;

void BackupEngine::begin(Job job, const AskContext &ask)
{
    m_job = job;
    m_ask = ask;
    m_straggler = Awaited();
    m_outcome = Outcome();
    m_outcome.job = job;
    m_toWrite.clear();
    m_emptySkipped = 0;
    m_index = 0;
}

bool BackupEngine::startBackup(const ControllerBackup &header, const AskContext &ask)
{
    if (isRunning() || header.pedalCount < 1 || header.pedalCount > ControllerBackup::MaxPedals)
        return false;
    begin(Job::Backup, ask);
    m_outcome.backup = header;
    m_outcome.backup.entries.clear();
    m_outcome.backup.partial = false;
    m_outcome.total = header.pedalCount * ControllerBackup::SlotCount;
    qCDebug(lcReplies) << "Backup of" << header.pedalCount << "pedals";
    askNextBackupSlot();
    return true;
}

bool BackupEngine::startRestore(const ControllerBackup &backup, const AskContext &ask)
{
    if (isRunning() || backup.definitionCount() == 0)
        return false;
    begin(Job::Restore, ask);
    for (const ControllerBackup::Entry &e : backup.entries) {
        if (!e.empty)
            m_toWrite.append(e);
    }
    m_emptySkipped = backup.entries.size() - m_toWrite.size();
    m_outcome.total = m_toWrite.size();
    qCDebug(lcReplies) << "Restore of" << m_toWrite.size() << "definitions";
    writeNextDefinition();
    return true;
}

QByteArray BackupEngine::askFor(int pedal, int slot, int longTypeIndex) const
{
    const ConfigCommands::AskForm form =
        ConfigCommands::checkAskForm(m_ask.deviceText, m_ask.extractedValue, pedal);
    return form == ConfigCommands::AskForm::Long
               ? ConfigCommands::askLong(pedal, slot, longTypeIndex)
               : ConfigCommands::askShort(pedal, slot);
}

bool BackupEngine::sendAwaiting(const QByteArray &command, int type, int pedal, int slot)
{
    m_awaited = {type, pedal, slot};
    if (!m_send(command)) {
        m_awaited = Awaited();
        finish(Ending::LinkClosed,
               QStringLiteral("The command for %1 could not be written: the controller's port "
                              "is closed.")
                   .arg(ControllerBackup::placeName(pedal, slot)));
        return false;
    }
    m_timer->start(m_replyTimeoutMs);
    return true;
}

bool BackupEngine::matches(const Awaited &awaited, const Protocol::MsgPackage &frame) const
{
    if (frame.type != awaited.type)
        return false;
    if (frame.type == Protocol::SetPadelReply)
        return byteAt(frame.frame, 6) == awaited.pedal;
    PedalMessage m;
    return ReplyPlan::decodeReply(frame.frame, &m) && m.pedal == awaited.pedal
           && m.message == awaited.slot;
}

bool BackupEngine::takeFrame(const Protocol::MsgPackage &frame)
{
    const bool configuration =
        frame.type == Protocol::SetPadelReply || frame.type == Protocol::CheckPadelReply;
    if (!isRunning()) {
        if (m_straggler.type < 0 || !m_stragglerClock.isValid()
            || m_stragglerClock.elapsed() > m_replyTimeoutMs || !matches(m_straggler, frame))
            return false;
        m_straggler = Awaited();
        return true;
    }
    if (!configuration)
        return false;
    // Answers to other commands (an ask the window sent before the job) are
    // swallowed too: the editor stays as the user left it.
    if (!matches(m_awaited, frame))
        return true;
    m_timer->stop();
    m_awaited = Awaited();
    if (m_job == Job::Backup)
        onBackupReply(frame);
    else if (frame.type == Protocol::SetPadelReply)
        onSetReply(frame);
    else
        onReadBack(frame);
    return true;
}

void BackupEngine::askNextBackupSlot()
{
    if (m_index >= m_outcome.total) {
        finish(Ending::Completed,
               QStringLiteral("All %1 message slots were read.").arg(m_outcome.total));
        return;
    }
    const int pedal = m_index / ControllerBackup::SlotCount;
    const int slot = m_index % ControllerBackup::SlotCount;
    sendAwaiting(askFor(pedal, slot, m_ask.pedalTypeIndex), Protocol::CheckPadelReply, pedal, slot);
}

void BackupEngine::onBackupReply(const Protocol::MsgPackage &frame)
{
    ControllerBackup::Entry e;
    ReplyPlan::decodeReply(frame.frame, &e.message);
    e.pedal = e.message.pedal;
    e.slot = e.message.message;
    // A slot without a definition answers with no pedal type.
    e.empty = e.message.pedalType == 0;
    m_outcome.backup.entries.append(e);
    ++m_index;
    emit progress(m_index, m_outcome.total);
    askNextBackupSlot();
}

void BackupEngine::writeNextDefinition()
{
    if (m_index >= m_toWrite.size()) {
        finish(Ending::Completed, restoreSummary(true));
        return;
    }
    const ControllerBackup::Entry &e = m_toWrite.at(m_index);
    sendAwaiting(ConfigCommands::set(e.message), Protocol::SetPadelReply, e.pedal, e.slot);
}

void BackupEngine::onSetReply(const Protocol::MsgPackage &frame)
{
    const ControllerBackup::Entry &e = m_toWrite.at(m_index);
    const int status = byteAt(frame.frame, 7);
    if (status != 0) {
        const QString text = ReplyPlan::setStatusText(status);
        m_outcome.mismatches.append(
            QStringLiteral("%1: refused by the controller (%2)")
                .arg(ControllerBackup::placeName(e.pedal, e.slot),
                     text.isEmpty() ? QStringLiteral("status %1").arg(status) : text.trimmed()));
        ++m_index;
        emit progress(m_index, m_outcome.total);
        writeNextDefinition();
        return;
    }
    m_outcome.written.append({e.pedal, e.slot});
    sendAwaiting(askFor(e.pedal, e.slot, e.message.pedalType - 1), Protocol::CheckPadelReply,
                 e.pedal, e.slot);
}

void BackupEngine::onReadBack(const Protocol::MsgPackage &frame)
{
    const ControllerBackup::Entry &e = m_toWrite.at(m_index);
    PedalMessage read;
    ReplyPlan::decodeReply(frame.frame, &read);
    if (read != e.message)
        m_outcome.mismatches.append(QStringLiteral("%1: %2").arg(
            ControllerBackup::placeName(e.pedal, e.slot), differences(e.message, read)));
    ++m_index;
    emit progress(m_index, m_outcome.total);
    writeNextDefinition();
}

void BackupEngine::onTimeout()
{
    if (!isRunning())
        return;
    const Awaited missed = m_awaited;
    const QString place = ControllerBackup::placeName(missed.pedal, missed.slot);
    const QString what = missed.type == Protocol::SetPadelReply
                             ? QStringLiteral("the set command")
                             : QStringLiteral("the ask");
    QString message = QStringLiteral("The controller stopped answering: no reply to %1 for %2 "
                                     "within %3 ms.")
                          .arg(what, place)
                          .arg(m_replyTimeoutMs);
    if (m_job == Job::Backup)
        message += QStringLiteral(" %1 of %2 message slots were read.")
                       .arg(m_outcome.backup.entries.size())
                       .arg(m_outcome.total);
    else
        message += QLatin1Char(' ') + restoreSummary(false);
    finish(Ending::NoAnswer, message);
}

void BackupEngine::cancel()
{
    if (!isRunning())
        return;
    QString message;
    if (m_job == Job::Backup) {
        message = QStringLiteral("Backup cancelled: %1 of %2 message slots were read.")
                      .arg(m_outcome.backup.entries.size())
                      .arg(m_outcome.total);
    } else {
        message = QStringLiteral("Restore cancelled. ") + restoreSummary(false);
        if (m_awaited.type == Protocol::SetPadelReply)
            message += QStringLiteral(" The set command for %1 was sent; its answer had not come.")
                           .arg(ControllerBackup::placeName(m_awaited.pedal, m_awaited.slot));
    }
    finish(Ending::Cancelled, message);
}

QString BackupEngine::restoreSummary(bool completed) const
{
    const int written = m_outcome.written.size();
    QString text;
    if (completed && m_outcome.mismatches.isEmpty()) {
        text = QStringLiteral("All %1 definitions were written and read back as in the backup.")
                   .arg(written);
    } else {
        QStringList places;
        if (!completed) {
            for (const auto &w : m_outcome.written)
                places.append(ControllerBackup::placeName(w.first, w.second));
        }
        text = QStringLiteral("%1 of %2 definitions were written").arg(written).arg(m_outcome.total);
        text += places.isEmpty() ? QStringLiteral(".")
                                 : QStringLiteral(": %1.").arg(places.join(QStringLiteral("; ")));
        if (!m_outcome.mismatches.isEmpty())
            text += QStringLiteral("\nThese slots did not match:\n")
                    + m_outcome.mismatches.join(QLatin1Char('\n'));
    }
    if (m_emptySkipped > 0)
        text += QStringLiteral("\nThe %1 empty slots of the backup were left as the controller has "
                               "them.")
                    .arg(m_emptySkipped);
    return text;
}

void BackupEngine::finish(Ending ending, const QString &message)
{
    m_timer->stop();
    if (m_job == Job::Backup)
        m_outcome.backup.partial = ending != Ending::Completed;
    m_outcome.ending = ending;
    m_outcome.message = message;
    m_straggler = m_awaited;
    m_stragglerClock.start();
    m_awaited = Awaited();
    m_job = Job::None;
    m_toWrite.clear();
    qCDebug(lcReplies) << "Backup job ended:" << message;
    const Outcome outcome = m_outcome;
    QTimer::singleShot(0, this, [this, outcome] { emit finished(outcome); });
}
