// The main window's handling of the frames the link delivers: pedal count,
// set and delete verdicts, stored definitions written back into the editor,
// and live events handed to the monitor.
#include "app/widget.h"
#include "midiout/midioutput.h"
#include "ui_widget.h"

#include "core/releasenotice.h"
#include "backup/backupengine.h"
#include "pedal/replyplan.h"
#include "core/logging.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>

namespace {

/// Byte i of a frame, or -1 when the frame is shorter.
int byteAt(const QByteArray &frame, int i)
{
    return i < frame.size() ? quint8(frame.at(i)) : -1;
}

} // namespace

void Widget::pedalMidiDataSlot(Protocol::MsgPackage data)
{
    qCDebug(lcReplies) << "Frame:" << data.type << data.frame.toHex(' ');
    // The replies of a backup or restore are the engine's alone.
    if (backupEngine && backupEngine->takeFrame(data))
        return;
    switch (data.type) {
    case Protocol::HandshadeReplyCmd: {
        // A six-byte status frame has F7 at byte 5 and so changes nothing here.
        const int pedals = byteAt(data.frame, 5);
        qCDebug(lcReplies) << "Pedal count:" << pedals;
        if (pedals >= 0 && pedals < 10) {
            ui->Pedal_Number->clear();
            for (int n = 1; n <= pedals; ++n)
                ui->Pedal_Number->addItem(QString::number(n));
            ui->Pedal_Number->setCurrentIndex(0);
        }
        break;
    }
    case Protocol::SetPadelReply: {
        const int status = byteAt(data.frame, 7);
        if (status < 0)
            break;
        const QString text = ReplyPlan::setStatusText(status);
        if (text.isEmpty())
            QMetaObject::invokeMethod(this, "showLatestReleaseNotice", Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(this, "showReplyInformation", Qt::QueuedConnection,
                                      Q_ARG(QString, text));
        break;
    }
    case Protocol::CheckPadelReply:
        qCDebug(lcReplies) << "Configuration reply loaded";
        applyPedalReply(data.frame);
        break;
    case Protocol::DeletePadelReply:
        QMetaObject::invokeMethod(this, "showReplyInformation", Qt::QueuedConnection,
                                  Q_ARG(QString, QStringLiteral("Delete message success!")));
        break;
    case Protocol::PadelUploadCmd:
        midiOutput->forwardFrame(data.frame);
        enqueuePedalFrame(data.frame);
        break;
    default:
        break;
    }
}

void Widget::applyPedalReply(const QByteArray &r)
{
    PedalMessage m;
    if (!ReplyPlan::decodeReply(r, &m)) {
        qCDebug(lcReplies) << "Configuration reply without a definition:" << r.toHex(' ');
        return;
    }

    const auto run = [this](const QList<ReplyPlan::Write> &writes) {
        for (const ReplyPlan::Write &w : writes) {
            if (w.field == ReplyPlan::Field::PedalPicture) {
                showPedalPicture(w.value);
                continue;
            }
            const QString name = QLatin1String(ReplyPlan::fieldName(w.field));
            if (ReplyPlan::isCheckBox(w.field)) {
                if (auto *box = findChild<QCheckBox *>(name))
                    box->setChecked(w.value != 0);
            } else if (auto *box = findChild<QComboBox *>(name)) {
                // An event is chosen by its text; a list without it keeps its choice.
                if (ReplyPlan::isEventSelection(w.field))
                    box->setCurrentText(eventNames.value(w.value));
                else
                    box->setCurrentIndex(w.value);
            }
        }
    };

    run(ReplyPlan::headWrites(m));
    if (!ReplyPlan::writesEventFields(m))
        return;
    // The page is whatever event the pedal type shows after the selection.
    const QComboBox *events = m.pedalType == PedalTypeExpression ? ui->expression_comboBox0
                              : m.pedalType == PedalTypeSwitch   ? ui->switch_comboBox0
                                                                 : ui->hat_comboBox0;
    run(ReplyPlan::pageWrites(m, eventCodes.value(events->currentText(), -1)));
}

void Widget::showReplyInformation(QString text)
{
    replyBoxes.post([this, text] {
        QMessageBox::information(this, tr("Information"), tr(text.toUtf8().constData()));
    });
}

void Widget::showLatestReleaseNotice()
{
    replyBoxes.post([this] { execLatestReleaseNotice(this); });
}

void Widget::showPedalPicture(int pedalType)
{
    // Each pedal type's page carries its picture (widget_4, widget_5, widget_7).
    if (pedalType >= PedalTypeExpression && pedalType <= PedalTypeHiHat)
        ui->pedal_type_stack->setCurrentIndex(pedalType - 1);
}
