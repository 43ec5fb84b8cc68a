// The main window's status line: it hears the link holder, the identity
// replies, the configuration replies and link errors, and says in one line
// what the window is connected to and what happened last.
#include "app/widget.h"
#include "ui_widget.h"

#include <QLabel>
#include <QVBoxLayout>

void Widget::buildStatusLine()
{
    statusLine = new QLabel(this);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    statusLine->setAccessibleName(tr("Status"));
    statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLine->setStyleSheet(QStringLiteral(
        "QLabel#statusLine { color: #FFFFFF; border-top: 1px solid #444444; padding: 0 6px; }"));
    statusLine->setFixedHeight(statusLine->fontMetrics().height() + 8);
    // Below the form's five rows, without stretch: the rows keep the height
    // they had, and the window grows by this line (see statusLineGrowth()).
    ui->verticalLayout_52->addWidget(statusLine, 0);

    connect(handle, &SerialPort::holderChanged, this, &Widget::statusHolderChanged);
    connect(handle, &SerialPort::pedalMidiDataSignal, this, &Widget::statusReplySeen);
    refreshStatusLine();
}

int Widget::statusLineGrowth() const
{
    return statusLine->maximumHeight() + qMax(0, ui->verticalLayout_52->spacing());
}

void Widget::refreshStatusLine()
{
    statusLine->setText(StatusLine::text(statusState));
}

void Widget::setStatusNote(const QString &note)
{
    statusState.note = note;
    refreshStatusLine();
}

void Widget::statusHolderChanged(SerialPort::Holder holder)
{
    switch (holder) {
    case SerialPort::Holder::MainWindow:
        statusState = StatusLine::State();
        statusState.link = StatusLine::Link::Window;
        statusState.port = handle->portName();
        lastCommand = StatusLine::Command();
        break;
    case SerialPort::Holder::FirmwareUpgrade:
        statusState.link = StatusLine::Link::Upgrade;
        statusState.note.clear();
        break;
    case SerialPort::Holder::Nobody: {
        // The window closes the port when its controller is unplugged (a
        // resource or read error stays recorded on the port); a Disconnect
        // leaves no error.
        const QSerialPort::SerialPortError error = handle->error();
        if (statusState.link == StatusLine::Link::Window
            && (error == QSerialPort::ResourceError || error == QSerialPort::ReadError))
            statusState.note = StatusLine::lostNote(statusState.port);
        statusState.link = StatusLine::Link::Closed;
        statusState.model.clear();
        statusState.version.clear();
        statusState.pedals = -1;
        break;
    }
    }
    refreshStatusLine();
}

void Widget::statusIdentitySeen()
{
    if (statusState.link != StatusLine::Link::Window)
        return;
    statusState.model = deviceMtd;
    statusState.version = deviceVersion;
    refreshStatusLine();
}

void Widget::statusReplySeen(const Protocol::MsgPackage &package)
{
    // Live events come by the thousand and change nothing here.
    if (package.type == Protocol::PadelUploadCmd || statusState.link != StatusLine::Link::Window)
        return;
    if (package.type == Protocol::HandshadeReplyCmd) {
        const int pedals = package.frame.size() > 5 ? quint8(package.frame.at(5)) : -1;
        if (pedals >= 0 && pedals < 10)
            statusState.pedals = pedals;
    }
    const QString note = StatusLine::replyNote(package.type, package.frame, lastCommand);
    if (!note.isEmpty())
        statusState.note = note;
    refreshStatusLine();
}

bool Widget::commandReady(StatusLine::Action action)
{
    if (handle->isOpen() && handle->holder() == SerialPort::Holder::MainWindow)
        return true;
    setStatusNote(StatusLine::notConnectedNote(action));
    return false;
}
